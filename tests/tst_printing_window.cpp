// Print Signs and Print Preview through the real main window.

#include "PrintTestSupport.h"
#include "support/TestSupport.h"

#include "base/SettingsKeys.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QCheckBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace PrintTest;
using Answer = DialogService::Answer;

namespace {

QString run(const char* program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdf)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", { pdf }));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

void toPdf(frmSigns& w, const QString& file)
{
    w.printer()->setOutputFormat(QPrinter::PdfFormat);
    w.printer()->setOutputFileName(file);
    w.printer()->setPageSize(QPageSize(QPageSize::Letter));
}

} // namespace

class TestPrintingWindow : public QObject
{
    Q_OBJECT

private slots:
    void printSignsFromMenuAndButton()
    {
        TestSettingsScope scope;
        QTemporaryDir dir;
        frmSigns w(dialogs());
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(messageTexts(), QStringList { "No data to print." });
        dialogs().reset();
        fill(*w.model(), { typicalSign(1), typicalSign(2), typicalSign(3) });
        child<QCheckBox>(w, "ckbTitle")->setChecked(true);
        child<EntryBox>(w, "txtTitle")->setText("SALE");
        child<QRadioButton>(w, "ckbBullet")->setChecked(true);

        // 2-Up from the menu: two pages.
        w.mnuFormatSel_Click(1);
        const QString first = dir.path() + "/menu.pdf";
        toPdf(w, first);
        trigger(w, "mnuFilePrintGrid");
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(pdfPages(first), 2);
        QVERIFY(run("pdftotext", { first, "-" }).contains("SALE"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrane"));
        QCOMPARE(w.statusBar()->currentMessage(), "3 signs printed on 2 pages to " + first);

        // 1-Up from the button: three pages.
        w.mnuFormatSel_Click(2);
        const QString second = dir.path() + "/button.pdf";
        toPdf(w, second);
        QTest::mouseClick(child<QPushButton>(w, "cmdPrintGrid"), Qt::LeftButton);
        QCOMPARE(pdfPages(second), 3);
        QCOMPARE(w.printer()->pageLayout().orientation(), QPageLayout::Landscape);
    }

    void previewPagesAndRestoresTheWindow()
    {
        TestSettingsScope scope;
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        dialogs().reset();
        std::vector<SignRow> rows;
        for (int i = 1; i <= 5; ++i)
            rows.push_back(typicalSign(i));
        fill(*w.model(), rows);
        const Qt::WindowStates before = w.windowState();
        dialogs().queueAnswer(Answer::Ok);
        dialogs().queueAnswer(Answer::Ok);
        trigger(w, "mnuFilePrintPreview");
        QCOMPARE(dialogs().messages().size(), 2);
        QVERIFY(messageTexts()[0].startsWith("Previewing page 1 of 2\r\nPress OK"));
        QVERIFY(messageTexts()[1].startsWith("Previewing page 2 of 2\r\nTo move"));
        QVERIFY(!child<QLabel>(w, "picBox")->isVisible());
        QCOMPARE(w.windowState(), before);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("5 signs previewed on 2 pages"));
    }

    void printerFailureOffersSetup()
    {
        TestSettingsScope scope;
        QTemporaryDir dir;
        frmSigns w(dialogs());
        dialogs().reset();
        fill(*w.model(), { typicalSign(1) });
        toPdf(w, dir.path() + "/missing/folder/out.pdf");
        dialogs().queueAnswer(Answer::Yes);
        dialogs().queuePrinter(false);
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(dialogs().messages().size(), 1);
        QVERIFY(messageTexts()[0].startsWith("Runtime Error 482 has been detected.\r\n"));
        QCOMPARE(dialogs().printerRequests(), 1);
    }
};

QTEST_MAIN(TestPrintingWindow)
#include "tst_printing_window.moc"
