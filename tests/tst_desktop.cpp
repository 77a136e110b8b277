// Desktop habits of the main window: the remembered printer, shortcuts,
// recent files, dropped files, tooltips and whole labels, the About box, the
// preview's title and question, the logo and calibration dialogs from the
// File menu, and numbers too large for a double.
#include "PrintTestSupport.h"
#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "printing/CalibrationTestPage.h"
#include "printing/PrinterChoice.h"
#include "support/TestSupport.h"
#include "ui/EntryBox.h"
#include "ui/frmAbout.h"
#include "ui/frmCalibrate.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

#include <limits>

namespace {

// A tab-delimited data file of one sign per SKU.
QString dataFile(const QString& folder, const QString& name, const QStringList& skus)
{
    QByteArray bytes = SignListImportExport::ExportHeader.toLatin1() + "\r\n";
    for (const QString& sku : skus)
        bytes += sku.toLatin1() + "\tHammer\t9.99\t5\t7.99\t\t\t\t\r\n";
    return writeTestFile(folder, name, bytes);
}

QStringList recentEntries(const frmSigns& w)
{
    QStringList shown;
    for (QAction* action : w.findChildren<QAction*>("mnuFileRecent")) {
        if (action->isVisible())
            shown << action->data().toString();
    }
    return shown;
}

QList<frmAbout*> openAboutBoxes()
{
    QList<frmAbout*> open;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<frmAbout*>(top); about && about->isVisible())
            open << about;
    }
    return open;
}

// Triggers the menu entry and, once its modal dialog of class D runs over
// the window, hands it to drive(). A dialog left open is closed so the test
// never hangs. Returns whether such a dialog ran.
template <class D>
bool runFromMenu(frmSigns& window, const char* entry, std::function<void(D*)> drive)
{
    bool ran = false;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || dialog->parentWidget() != &window || !dialog->isModal())
            return;
        ran = true;
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    trigger(window, entry);
    return ran;
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void printerChoiceSurvivesRestart()
    {
        TestSettingsScope scope;
        const QString pdf = scope.path() + "/signs.pdf";
        {
            frmSigns w;
            dialogs().queuePrinter(false);
            w.printer()->setOutputFileName(scope.path() + "/cancelled.pdf");
            trigger(w, "mnuFilePrinterSetup");
            QCOMPARE(stored(SettingsKeys::PRINTER), Absent);
            // The scripted dialog stands for the user's choice of a PDF file.
            w.printer()->setOutputFileName(pdf);
            dialogs().queuePrinter(true);
            trigger(w, "mnuFilePrinterSetup");
            QCOMPARE(dialogs().printerRequests(), 2);
            QCOMPARE(stored(SettingsKeys::PRINTER), "pdf:" + pdf);
        }
        frmSigns w;
        w.model()->setCell(1, SignListModel::ColSku, "100001");
        trigger(w, "mnuFilePrintGrid");
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(w.printer()->outputFormat(), QPrinter::PdfFormat);
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    void unusablePrinterFallsBackWithOneMessage()
    {
        // Stored choice, and how the message names it.
        const QList<QPair<QString, QString>> gone = { { "Kestrane Gone 9", "Kestrane Gone 9" },
            { "pdf:/no/such/folder/signs.pdf", "/no/such/folder/signs.pdf" } };
        const QPrinter systemDefault(QPrinter::HighResolution);
        for (const auto& [choice, named] : gone) {
            TestSettingsScope scope;
            appSettings().save(SettingsKeys::PRINTER, choice);
            frmSigns w;
            QVERIFY(dialogs().messages().isEmpty()); // said when the printer is first used
            w.printer();
            w.printer();
            QCOMPARE(dialogs().messages().size(), 1);
            QVERIFY(dialogs().messages().constFirst().text.contains("\"" + named + "\""));
            QCOMPARE(PrinterChoice::destinationName(*w.printer()),
                PrinterChoice::destinationName(systemDefault));
            // Kept for when it comes back; a new choice in Printer Setup replaces it.
            QCOMPARE(stored(SettingsKeys::PRINTER), choice);
        }
    }

    void shortcuts()
    {
        TestSettingsScope scope;
        frmSigns w;
        const QList<QPair<const char*, const char*>> keys = { { "mnuFilePrintGrid", "Ctrl+P" },
            { "mnuFilePrintPreview", "Ctrl+Shift+P" }, { "mnuFileImport", "Ctrl+O" },
            { "mnuFileExport", "Ctrl+S" }, { "mnuEditDeleteRow", "Del" }, { "mnuHelpGuide", "F1" },
            { "mnuEditUndo", "Ctrl+Z" }, { "mnuEditRedo", "Ctrl+Shift+Z" } };
        for (const auto& [action, sequence] : keys)
            QCOMPARE(child<QAction>(w, action)->shortcut(), QKeySequence(sequence));

        // Delete removes a row only in the grid; in an entry box it edits text.
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.model()->setRows(4);
        w.model()->setCell(1, SignListModel::ColSku, "A1");
        w.model()->setCell(2, SignListModel::ColSku, "A2");
        for (const char* focus : { "txtSku", "msfGrid" }) {
            child<QWidget>(w, focus)->setFocus();
            QTest::keyClick(child<QWidget>(w, focus), Qt::Key_Delete);
        }
        QCOMPARE(skus(w), QStringList({ "A2", "" }));
    }

    void recentFiles()
    {
        TestSettingsScope scope;
        QStringList files;
        {
            frmSigns w;
            QVERIFY(recentEntries(w).isEmpty());
            QVERIFY(!child<QAction>(w, "mnuFileSepRecent")->isVisible());
            for (int i = 1; i <= 6; ++i) {
                files.prepend(dataFile(scope.path(), QString("f%1.txt").arg(i), { "S" }));
                dialogs().queueFile(files.first());
                trigger(w, "mnuFileImport");
            }
            // Read again, the oldest still listed moves to the top.
            w.readDataFile(files.at(4));
            files.move(4, 0);
            files.removeLast();
            QCOMPARE(recentEntries(w), files);
            QCOMPARE(w.findChildren<QAction*>("mnuFileRecent")[0]->text(), "&1 " + files.first());
            // A saved file is listed too.
            dialogs().queueFile(scope.path() + "/saved.txt");
            trigger(w, "mnuFileExport");
            files.prepend(scope.path() + "/saved.txt");
            files.removeLast();
            w.close(); // keeps the whole list for the next window
        }
        frmSigns w;
        QCOMPARE(recentEntries(w), files);
        QFile::remove(files.at(1));
        w.findChildren<QAction*>("mnuFileRecent")[1]->trigger();
        QCOMPARE(dialogs().messages().constLast().text, QString("File not found"));
        files.removeAt(1);
        QCOMPARE(recentEntries(w), files);
        const int rows = w.model()->Rows();
        w.findChildren<QAction*>("mnuFileRecent")[1]->trigger();
        QCOMPARE(w.model()->Rows(), rows + 2); // after the kept list: its empty row, S, a new one
        QCOMPARE(recentEntries(w).constFirst(), files.at(1));
    }

    void droppedFiles_data()
    {
        QTest::addColumn<QStringList>("names");
        // Each file read as Read Data File reads it: its signs, then an empty row.
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("messages");
        QTest::newRow("tab-delimited") << QStringList { "items.txt" } << 4 << 0;
        QTest::newRow("quote and comma") << QStringList { "ITEMS.DAT" } << 4 << 0;
        QTest::newRow("two at once") << QStringList { "a.txt", "b.dat" } << 7 << 0;
        QTest::newRow("a picture") << QStringList { "logo.png" } << 2 << 1;
        QTest::newRow("data file and picture") << QStringList { "a.txt", "logo.png" } << 4 << 1;
    }

    void droppedFiles()
    {
        QFETCH(QStringList, names);
        QFETCH(int, rows);
        QFETCH(int, messages);
        TestSettingsScope scope;
        frmSigns w;
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& name : names) {
            const QString path = name.endsWith("DAT", Qt::CaseInsensitive)
                ? writeTestFile(scope.path(), name, "1,10\r\n\"D1\",\"Saw\"\r\n\"D2\",\"Axe\"\r\n")
                : dataFile(scope.path(), name, { "T1", "T2" });
            urls << QUrl::fromLocalFile(path);
        }
        data.setUrls(urls);
        // Files dragged over an entry box go to the window, text into the box.
        for (QWidget* target : { static_cast<QWidget*>(&w), child<QWidget>(w, "txtSku") }) {
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            QVERIFY(enter.isAccepted());
        }
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QVERIFY(drop.isAccepted());
        QCoreApplication::processEvents();
        QCOMPARE(dialogs().messages().size(), messages);
        if (messages > 0)
            QVERIFY(dialogs().messages().constLast().text.contains("logo.png is not a data file"));
        QCOMPARE(w.model()->Rows(), rows);
    }

    void everyControlExplainedAndWhole()
    {
        TestSettingsScope scope;
        frmSigns w;
        for (QWidget* control : w.centralWidget()->findChildren<QWidget*>()) {
            // Unnamed ones are parts of a control, such as the grid's corner.
            const bool isControl = qobject_cast<QAbstractButton*>(control)
                || qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractItemView*>(control)
                || qobject_cast<QGroupBox*>(control);
            if (isControl && !control->objectName().isEmpty())
                QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
        }
        QCOMPARE(child<QLabel>(w, "lblCost")->buddy(), child<EntryBox>(w, "txtCost"));
        QVERIFY(
            child<QLabel>(w, "lblCost")->geometry().right() < child<QWidget>(w, "txtCost")->x());
        QVERIFY(child<QWidget>(w, "ckbGraphic")->width()
            >= child<QWidget>(w, "ckbGraphic")->sizeHint().width());

        // Row numbers of four digits show whole.
        w.model()->setRows(1200);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        child<QTableView>(w, "msfGrid")->scrollToBottom();
        QHeaderView* numbers = child<QTableView>(w, "msfGrid")->verticalHeader();
        QTRY_VERIFY(numbers->width() > numbers->fontMetrics().horizontalAdvance("1199"));

        // The printer setup's accept button only accepts the choice.
        QPrinter printer;
        const auto setup = DialogService::makePrinterDialog(&printer, nullptr);
        const auto* buttons = setup->findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QString("OK"));
    }

    void aboutBox()
    {
        TestSettingsScope scope;
        frmSigns w;
        trigger(w, "mnuHelpAbout");
        trigger(w, "mnuHelpAbout"); // raises the open box
        QCOMPARE(openAboutBoxes().size(), 1);
        frmAbout* about = openAboutBoxes().first();
        QVERIFY(!about->isModal() && !about->parentWidget());
        QCOMPARE(about->windowTitle() + " " + about->lblVersion->text(),
            QString("About Kestrane Version 1.0.8"));

        frmAbout::setSysInfoToolsForTesting({ "no-such-system-information-tool" });
        QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(messageTexts(), QStringList("System Information Is Unavailable At This Time"));
        QVERIFY(dialogs().messages()[0].title == "Kestrane" && about->isVisible());
        QCOMPARE(dialogs().messages()[0].icon, DialogService::Icon::None);

        QPointer<frmAbout> guard(about);
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
        trigger(w, "mnuHelpAbout");
        QCOMPARE(openAboutBoxes().size(), 1);
    }

    void previewNamesPageAndAsksBesideIt()
    {
        TestSettingsScope scope;
        frmSigns w;
        w.printer()->setOutputFileName(scope.path() + "/unused.pdf");
        w.model()->setRows(7);
        for (int r = 1; r <= 5; ++r)
            w.model()->setCell(r, SignListModel::ColSku, QString::number(r));
        w.show();
        QSignalSpy titles(&w, &QWidget::windowTitleChanged);
        trigger(w, "mnuFilePrintPreview");
        QStringList seen;
        for (const QList<QVariant>& args : titles)
            seen << args.first().toString();
        QVERIFY(seen.contains("Kestrane - Previewing page 1 of 2"));
        QVERIFY(seen.contains("Kestrane - Previewing page 2 of 2"));
        QCOMPARE(w.windowTitle(), QString("Kestrane"));

        // Both questions stand in the strip right of the page, inside the window.
        const QRect client(w.centralWidget()->mapToGlobal(QPoint()), w.centralWidget()->size());
        QCOMPARE(dialogs().messages().size(), 2);
        for (const DialogService::Message& question : dialogs().messages()) {
            QVERIFY(client.contains(question.area));
            QVERIFY(question.area.left() > client.center().x());
            QVERIFY(question.area.width() >= DialogService::messageSize(
                        question.text, question.buttons, question.icon, question.title)
                                                 .width());
        }
    }

    void logoFromMenu()
    {
        TestSettingsScope scope;
        const QString picture = PrintTest::writePicture(scope.path(), "logo.png", 60, 20);
        const QString notPicture = writeTestFile(scope.path(), "notes.jpg", "not a picture\n");
        const QString empty = writeTestFile(scope.path(), "empty.bmp", "");
        frmSigns window(dialogs());
        window.show();
        QVERIFY(runFromMenu<frmSignLogo>(window, "mnuFileLogo", [&](frmSignLogo* logo) {
            // A file that is no picture is named in a message and kept, as the user chose it.
            for (const QString& file : { notPicture, empty, picture }) {
                dialogs().queueFile(file);
                QTest::mouseClick(logo->imgLogo, Qt::LeftButton);
                QCOMPARE(logo->LogoFile(), file);
            }
            QCOMPARE(dialogs().messages().size(), 2);
            logo->txtLogoHeight->setText("0.75");
            logo->optLeft->click();
            logo->cmdSave->click();
        }));
        // The file was chosen through the window's common dialog.
        QCOMPARE(dialogs().fileRequests().constLast().title, QString("Open Logo File"));
        QCOMPARE(storedValues({ SettingsKeys::FILELOGO, SettingsKeys::LOGOHEIGHT,
                     SettingsKeys::LOGOWIDTH, SettingsKeys::LOGOLCR }),
            QStringList({ picture, "0.75", "1.5", "LEFT" }));
    }

    void calibrationFromMenu()
    {
        TestSettingsScope scope;
        frmSigns window(dialogs());
        window.show();
        const AppSettings& settings = window.settings();
        // Margins as the dialog will store them again, so that only the shifts
        // change between the two prints.
        settings.save(SettingsKeys::MARGINTOP, "180");
        settings.save(SettingsKeys::MARGINLEFT, "270");
        PrintTest::fill(*window.model(), { PrintTest::typicalSign(1) });
        PrintTest::FakePrintWindow printWindow; // 4-Up
        PrintTest::jobFor(*window.model(), settings, printWindow).PrintSigns(true);
        const std::vector<CanvasOp> before = PrintTest::textOps(printWindow.printer.ops);
        QVERIFY(!before.empty());

        QVERIFY(runFromMenu<frmCalibrate>(window, "mnuFilePrintTest", [](frmCalibrate* dlg) {
            dlg->txtAdj4UD->setText("360");
            dlg->txtAdj4LR->setText("-180.5");
            dlg->ckbPrintSku->setChecked(false);
            dlg->cmdOk->click();
        }));
        QCOMPARE(storedValues({ SettingsKeys::ADJ4UD, SettingsKeys::ADJ4LR, SettingsKeys::MARGINTOP,
                     SettingsKeys::PRINTSKU }),
            QStringList({ "360", "-180.5", "180", "0" }));

        // The next print moves every text of the sign by exactly the shifts
        // (-180.5 rounds to -180, halves to even); the SKU, which keeps to the
        // cell's corner, is no longer printed.
        PrintTest::jobFor(*window.model(), settings, printWindow).PrintSigns(true);
        QStringList shifted, after;
        for (const CanvasOp& op : before)
            shifted << QString("%1 %2 %3").arg(op.text).arg(op.x - 180).arg(op.y + 360);
        for (const CanvasOp& op : PrintTest::textOps(printWindow.printer.ops))
            after << QString("%1 %2 %3").arg(op.text).arg(op.x).arg(op.y);
        QVERIFY(shifted.takeLast().startsWith("SKU1 "));
        QCOMPARE(after, shifted);
        QVERIFY(dialogs().messages().isEmpty());
    }

    void tooLargeForADouble_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<qint32>("clamped");
        const double inf = std::numeric_limits<double>::infinity();
        const QString digits(400, QLatin1Char('9'));
        QTest::newRow("400 digits") << digits << inf << std::numeric_limits<qint32>::max();
        QTest::newRow("negative, with a fraction")
            << " -" + digits + ".5x" << -inf << std::numeric_limits<qint32>::min();
        QTest::newRow("400 digits after the point") << "0." + digits << 1.0 << 1;
        QTest::newRow("too small: zero") << "0." + QString(400, QLatin1Char('0')) + "1" << 0.0 << 0;
    }

    void tooLargeForADouble()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(qint32, clamped);
        QCOMPARE(NumberText::leadingNumber(text), number);
        QCOMPARE(NumberText::leadingWhole32(text), clamped);

        // On the calibration test page it is the overflow error.
        CalibrationTestPage::Values values;
        values.marginTop = text;
        values.marginLeft = "270";
        RecordingCanvas canvas;
        try {
            CalibrationTestPage::draw(canvas, values, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
            QVERIFY(!std::isinf(number));
        } catch (const RunTimeError& e) {
            QCOMPARE(e.number(), std::isinf(number) ? int(RunTimeError::Overflow) : 0);
        }
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
