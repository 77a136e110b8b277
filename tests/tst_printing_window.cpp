// Print Signs and Print Preview through the real main window.

#include "PdfTestSupport.h"
#include "support/TestSupport.h"

#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

using namespace PrintTest;
using Answer = DialogService::Answer;

class TestPrintingWindow : public QObject
{
    Q_OBJECT

private slots:
    void printAndPreview()
    {
        TestSettingsScope scope;
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.printer()->setOutputFormat(QPrinter::PdfFormat);
        w.printer()->setPageSize(QPageSize(QPageSize::Letter));
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(messageTexts(), QStringList { "No data to print." });
        dialogs().reset();
        fill(*w.model(), { typicalSign(1), typicalSign(2), typicalSign(3) });
        child<QCheckBox>(w, "ckbTitle")->setChecked(true);
        child<EntryBox>(w, "txtTitle")->setText("SALE");
        child<QRadioButton>(w, "ckbBullet")->setChecked(true);

        // 2-Up from the menu, 1-Up from the button.
        const QString pdf = scope.path() + "/signs.pdf";
        w.printer()->setOutputFileName(pdf);
        w.mnuFormatSel_Click(1);
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(PdfTest::pageCount(pdf), 2);
        QVERIFY(PdfTest::run("pdftotext", { pdf, "-" }).contains("SALE"));
        QCOMPARE(w.statusBar()->currentMessage(), "3 signs printed on 2 pages to " + pdf);
        w.mnuFormatSel_Click(2);
        QTest::mouseClick(child<QPushButton>(w, "cmdPrintGrid"), Qt::LeftButton);
        QCOMPARE(PdfTest::pageCount(pdf), 3);
        QCOMPARE(w.printer()->pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrane"));

        // The preview pages on, then hides and puts the window back.
        const Qt::WindowStates before = w.windowState();
        dialogs().queueAnswer(Answer::Ok);
        dialogs().queueAnswer(Answer::Ok);
        trigger(w, "mnuFilePrintPreview");
        QCOMPARE(dialogs().messages().size(), 3);
        QVERIFY(!child<QLabel>(w, "picBox")->isVisible());
        QCOMPARE(w.windowState(), before);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("3 signs previewed on 3 pages"));

        // A printer that fails offers the printer setup.
        dialogs().reset();
        w.printer()->setOutputFileName(scope.path() + "/missing/folder/out.pdf");
        dialogs().queueAnswer(Answer::Yes);
        dialogs().queuePrinter(false);
        trigger(w, "mnuFilePrintGrid");
        QCOMPARE(messageTexts().size(), 1);
        QVERIFY(messageTexts()[0].startsWith("Runtime Error 482 has been detected.\r\n"));
        QCOMPARE(dialogs().printerRequests(), 1);
    }
};

QTEST_MAIN(TestPrintingWindow)
#include "tst_printing_window.moc"
