// Desktop habits of the main window: the remembered printer, shortcuts,
// recent files, dropped files, row numbers, the About box, the preview's
// title and question, and numbers too large for a double.

#include "support/TestSupport.h"

#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "printing/CalibrationTestPage.h"
#include "printing/PrinterChoice.h"
#include "printing/RecordingCanvas.h"
#include "printing/RunTimeError.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmAbout.h"
#include "ui/frmSignLogo.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <limits>

namespace {

void store(const QString& key, const QString& value)
{
    SettingsStore::SaveSetting(SettingsKeys::Application, SettingsKeys::Section, key, value);
}

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

void drop(frmSigns& w, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
    QVERIFY(event.isAccepted());
    QCoreApplication::processEvents();
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void printerChoiceSurvivesRestart();
    void unusablePrinterFallsBackWithOneMessage();
    void shortcuts();
    void recentFiles();
    void droppedFiles_data();
    void droppedFiles();
    void everyControlExplainedAndWhole();
    void aboutRaisesTheOpenBox();
    void previewNamesPageAndAsksBesideIt();
    void logoWarnsAboutAFileThatIsNoPicture();
    void tooLargeForADouble_data();
    void tooLargeForADouble();
};

void TestDesktop::printerChoiceSurvivesRestart()
{
    TestSettingsScope scope;
    const QString pdf = scope.path() + "/signs.pdf";
    {
        frmSigns w;
        dialogs().queuePrinter(false);
        w.printer()->setOutputFileName(scope.path() + "/cancelled.pdf");
        child<QAction>(w, "mnuFilePrinterSetup")->trigger();
        QCOMPARE(stored(SettingsKeys::PRINTER), Absent);
        // The scripted dialog stands for the user's choice of a PDF file.
        w.printer()->setOutputFileName(pdf);
        dialogs().queuePrinter(true);
        child<QAction>(w, "mnuFilePrinterSetup")->trigger();
        QCOMPARE(stored(SettingsKeys::PRINTER), "pdf:" + pdf);
    }
    frmSigns w;
    w.model()->setCell(1, SignListModel::ColSku, "100001");
    child<QAction>(w, "mnuFilePrintGrid")->trigger();
    QVERIFY(dialogs().messages().isEmpty());
    QCOMPARE(w.printer()->outputFormat(), QPrinter::PdfFormat);
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestDesktop::unusablePrinterFallsBackWithOneMessage()
{
    // Stored choice, and how the message names it.
    const QList<QPair<QString, QString>> gone = { { "Kestrane Gone 9", "Kestrane Gone 9" },
        { "pdf:/no/such/folder/signs.pdf", "/no/such/folder/signs.pdf" } };
    const QPrinter systemDefault(QPrinter::HighResolution);
    for (const auto& [choice, named] : gone) {
        TestSettingsScope scope;
        store(SettingsKeys::PRINTER, choice);
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

void TestDesktop::shortcuts()
{
    TestSettingsScope scope;
    frmSigns w;
    const QList<QPair<const char*, const char*>> keys = { { "mnuFilePrintGrid", "Ctrl+P" },
        { "mnuFilePrintPreview", "Ctrl+Shift+P" }, { "mnuFileImport", "Ctrl+O" },
        { "mnuFileExport", "Ctrl+S" }, { "mnuEditDeleteRow", "Del" }, { "mnuHelpGuide", "F1" } };
    for (const auto& [action, sequence] : keys) {
        QAction* entry = w.findChild<QAction*>(action);
        QVERIFY2(entry, action);
        QCOMPARE(entry->shortcut(), QKeySequence(sequence));
    }

    // Delete removes a row only in the grid; in an entry box it edits text.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.model()->setRows(4);
    w.model()->setCell(1, SignListModel::ColSku, "A1");
    w.model()->setCell(2, SignListModel::ColSku, "A2");
    child<EntryBox>(w, "txtSku")->setFocus();
    QTest::keyClick(child<EntryBox>(w, "txtSku"), Qt::Key_Delete);
    QCOMPARE(w.model()->Rows(), 4);
    child<QTableView>(w, "msfGrid")->setFocus();
    QTest::keyClick(child<QTableView>(w, "msfGrid"), Qt::Key_Delete);
    QCOMPARE(w.model()->Rows(), 3);
    QCOMPARE(w.model()->cell(1, SignListModel::ColSku), QString("A2"));
}

void TestDesktop::recentFiles()
{
    TestSettingsScope scope;
    QStringList files;
    {
        frmSigns w;
        QVERIFY(recentEntries(w).isEmpty());
        QVERIFY(!w.findChild<QAction*>("mnuFileSepRecent")->isVisible());
        for (int i = 1; i <= 6; ++i) {
            files.prepend(dataFile(scope.path(), QString("f%1.txt").arg(i), { "S" }));
            dialogs().queueFile(files.first());
            child<QAction>(w, "mnuFileImport")->trigger();
        }
        // Read again, the oldest still listed moves to the top.
        w.readDataFile(files.at(4));
        files.move(4, 0);
        files.removeLast();
        QCOMPARE(recentEntries(w), files);
        QCOMPARE(w.findChildren<QAction*>("mnuFileRecent")[0]->text(), "&1 " + files.first());
        // A saved file is listed too.
        dialogs().queueFile(scope.path() + "/saved.txt");
        child<QAction>(w, "mnuFileExport")->trigger();
        files.prepend(scope.path() + "/saved.txt");
        files.removeLast();
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
    QCOMPARE(w.model()->Rows(), rows + 1);
    QCOMPARE(recentEntries(w).constFirst(), files.at(1));
}

void TestDesktop::droppedFiles_data()
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

void TestDesktop::droppedFiles()
{
    QFETCH(QStringList, names);
    QFETCH(int, rows);
    QFETCH(int, messages);
    TestSettingsScope scope;
    frmSigns w;
    QList<QUrl> urls;
    for (const QString& name : names) {
        const QString path = name.endsWith("DAT", Qt::CaseInsensitive)
            ? writeTestFile(scope.path(), name, "1,10\r\n\"D1\",\"Saw\"\r\n\"D2\",\"Axe\"\r\n")
            : dataFile(scope.path(), name, { "T1", "T2" });
        urls << QUrl::fromLocalFile(path);
    }
    drop(w, urls);
    QCOMPARE(dialogs().messages().size(), messages);
    if (messages > 0)
        QVERIFY(dialogs().messages().constLast().text.contains("logo.png is not a data file"));
    QCOMPARE(w.model()->Rows(), rows);
    // Files dragged over an entry box go to the window, text into the box.
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(child<EntryBox>(w, "txtSku"), &enter);
    QVERIFY(enter.isAccepted());
}

void TestDesktop::everyControlExplainedAndWhole()
{
    TestSettingsScope scope;
    frmSigns w;
    const QList<QWidget*> controls = w.centralWidget()->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        // Unnamed ones are parts of a control, such as the grid's corner.
        const bool isControl = qobject_cast<QAbstractButton*>(control)
            || qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractItemView*>(control)
            || qobject_cast<QGroupBox*>(control);
        if (isControl && !control->objectName().isEmpty())
            QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(child<QLabel>(w, "lblCost")->buddy(), child<EntryBox>(w, "txtCost"));
    QVERIFY(child<QLabel>(w, "lblCost")->geometry().right() < child<EntryBox>(w, "txtCost")->x());
    QVERIFY(child<QCheckBox>(w, "ckbGraphic")->width()
        >= child<QCheckBox>(w, "ckbGraphic")->sizeHint().width());

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

void TestDesktop::aboutRaisesTheOpenBox()
{
    TestSettingsScope scope;
    frmSigns w;
    auto openBoxes = [] {
        int n = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            n += qobject_cast<frmAbout*>(top) && top->isVisible() ? 1 : 0;
        return n;
    };
    child<QAction>(w, "mnuHelpAbout")->trigger();
    child<QAction>(w, "mnuHelpAbout")->trigger();
    QCOMPARE(openBoxes(), 1);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<frmAbout*>(top))
            about->cmdOK->click();
    }
    QTRY_COMPARE(openBoxes(), 0);
    child<QAction>(w, "mnuHelpAbout")->trigger();
    QCOMPARE(openBoxes(), 1);
}

void TestDesktop::previewNamesPageAndAsksBesideIt()
{
    TestSettingsScope scope;
    frmSigns w;
    w.printer()->setOutputFileName(scope.path() + "/unused.pdf");
    w.model()->setRows(7);
    for (int r = 1; r <= 5; ++r)
        w.model()->setCell(r, SignListModel::ColSku, QString::number(r));
    w.show();
    QSignalSpy titles(&w, &QWidget::windowTitleChanged);
    child<QAction>(w, "mnuFilePrintPreview")->trigger();
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

void TestDesktop::logoWarnsAboutAFileThatIsNoPicture()
{
    TestSettingsScope scope;
    const QString picture = scope.path() + "/logo.png";
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));
    const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
    CommonDialog common(dialogs(), nullptr);
    frmSignLogo dlg(settings, dialogs(), common, nullptr);
    // File chosen, and the messages shown so far.
    const QList<QPair<QString, int>> choices
        = { { picture, 0 }, { writeTestFile(scope.path(), "notes.jpg", "not a picture\n"), 1 },
              { writeTestFile(scope.path(), "empty.bmp", ""), 2 } };
    for (const auto& [path, messages] : choices) {
        dialogs().queueFile(path);
        dlg.chooseLogoFile();
        QCOMPARE(dialogs().messages().size(), messages);
        QCOMPARE(dlg.LogoFile(), path); // kept, as the user chose it
    }
}

void TestDesktop::tooLargeForADouble_data()
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

void TestDesktop::tooLargeForADouble()
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
    int error = 0;
    try {
        CalibrationTestPage::draw(canvas, values, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
    } catch (const RunTimeError& e) {
        error = e.number();
    }
    QCOMPARE(error, std::isinf(number) ? int(RunTimeError::Overflow) : 0);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
