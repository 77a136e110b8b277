#include "base/SettingsKeys.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/DictionaryCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImportExportCommands.h"
#include "ui/frmSigns.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

SignRow sign(const QStringList& columns)
{
    SignRow row;
    for (int c = 0; c < columns.size() && c < SignRow::FieldCount; ++c)
        row.fields[size_t(c)] = columns.at(c);
    return row;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The first file dialog: mode, title, offered name, filter count and index, must exist.
QString firstRequest()
{
    const DialogService::FileRequest r = dialogs().fileRequests().at(0);
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(r.mode == DialogService::FileMode::Save ? "save" : "open", r.title, r.fileName)
        .arg(r.filters.size())
        .arg(r.filterIndex)
        .arg(r.mustExist);
}

const QByteArray Header = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";

// The import and export commands over a sign list of their own.
struct Fixture
{
    TestSettingsScope scope;
    SignListModel model;
    CommonDialog dialog { dialogs(), nullptr };
    AppSettings settings = appSettings();
    ImportExportCommands io { model, dialogs(), dialog, settings };
    qorDct dict;
    qorDatFile reader { DataFileDialogNotifier(dialogs()) };
    int loads = 0;
    ImportExportCommands::ImportHooks hooks;

    Fixture()
    {
        for (qint16 field = 1; field < 200; ++field)
            dict.setDLen(field, 160);
        hooks.loadSelectedRow = [this]() { ++loads; };
    }
    qint64 importPath(const QString& path)
    {
        dialogs().queueFile(path);
        return io.importFile(reader, dict, hooks);
    }
    bool exportPath(const QString& path)
    {
        dialogs().queueFile(path);
        return io.exportFile();
    }
};

} // namespace

class TestImportExport : public QObject
{
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }
    QTemporaryDir m_dir;

private slots:
    void exportRows_data()
    {
        QTest::addColumn<QList<SignRow>>("signs");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("filled rows in file order, blank skus skipped")
            << QList<SignRow> { sign({ "100", "1.99", "2.49", "HAMMER", "b1", "b2", "b3", "0.80",
                                    "/p/h.jpg" }),
                   sign({ "   ", "skipped" }), sign({ "200", "", "", " lead and trail  " }),
                   sign({ "300", "x" }) }
            << QByteArray("100\tHAMMER\t2.49\t0.80\t1.99\tb1\tb2\tb3\t/p/h.jpg\r\n"
                          "200\t lead and trail  \t\t\t\t\t\t\t\r\n"
                          "300\t\t\t\tx\t\t\t\t\r\n");
        QTest::newRow("no sku anywhere: header only")
            << QList<SignRow> { SignRow(), sign({ "", "", "", "no sku" }) } << QByteArray();
        QTest::newRow("tabs and line breaks become spaces") << QList<SignRow> {
            sign({ "A\tB", "", "", QString::fromLatin1("two\r\nlines\nand\0nul", 18) })
        } << QByteArray("A B\ttwo  lines and nul\t\t\t\t\t\t\t\r\n");
    }

    // A new file is written without a question.
    void exportRows()
    {
        QFETCH(QList<SignRow>, signs);
        QFETCH(QByteArray, body);
        Fixture f;
        f.model.setRows(int(signs.size()) + 2); // and the usual empty last row
        for (int r = 0; r < signs.size(); ++r)
            f.model.setSignRow(r + 1, signs.at(r));
        f.settings.save(SettingsKeys::FILEIMPEXP, "/previous/file.txt");
        const QString path = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(f.exportPath(path));
        QCOMPARE(readAll(path), Header + body);
        QCOMPARE(firstRequest(), "save|Export File|/previous/file.txt|2|1|0");
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        QVERIFY(dialogs().messages().isEmpty());
    }

    // An existing file is replaced only when the user says so.
    void exportAsksBeforeReplacing()
    {
        for (const auto answer : { DialogService::Answer::Yes, DialogService::Answer::No }) {
            Fixture f;
            f.model.setCell(1, SignListModel::ColSku, "AAA");
            const QString path = write("items.txt", "24 items");
            dialogs().queueAnswer(answer);
            QCOMPARE(f.exportPath(path), answer == DialogService::Answer::Yes);
            QCOMPARE(messageTexts(),
                QStringList { "The file " + path
                    + " already exists.\nDo you want to replace it with the sign list?" });
            QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Export File"));
            QVERIFY(dialogs().messages().at(0).buttons == DialogService::Buttons::YesNo);
            QCOMPARE(readAll(path),
                answer == DialogService::Answer::Yes ? Header + "AAA\t\t\t\t\t\t\t\t\r\n"
                                                     : QByteArray("24 items"));
        }
    }

    // A list without a SKU is not exported; a cancelled file dialog changes nothing.
    void refusedOrCancelled()
    {
        Fixture f;
        QVERIFY(!f.io.exportFile());
        QCOMPARE(messageTexts(), QStringList { "Grid is empty.  No data to export" });
        QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Alert:"));
        QVERIFY(dialogs().fileRequests().isEmpty());
        dialogs().reset();
        f.model.setCell(1, 1, "1");
        f.settings.save(SettingsKeys::FILEIMPEXP, "kept");
        dialogs().queueFile(std::nullopt);
        QVERIFY(!f.io.exportFile());
        dialogs().queueFile(std::nullopt);
        QCOMPARE(f.io.importFile(f.reader, f.dict, f.hooks), qint64(0));
        QCOMPARE(f.model.Rows(), 2);
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), QStringLiteral("kept"));
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(f.loads, 0);
    }

    void unencodableCharacterIsReported()
    {
        Fixture f;
        f.model.appendSigns({ sign({ "1", "", "", QString::fromUtf8("café € ok") }),
            sign({ "2", "", "", "", QString::fromUtf8("bullet Ω") }) });
        const QString path = write("earlier.txt", "earlier content");
        QVERIFY(!f.exportPath(path));
        QCOMPARE(messageTexts().last(),
            QString::fromUtf8("Row 3, bullet line 1: the character \"Ω\" can not be written to a "
                              "data file.  Nothing was written to ")
                + path);
        QCOMPARE(readAll(path), QByteArray("earlier content"));
    }

    void importIntoFreshList()
    {
        Fixture f;
        f.settings.save(SettingsKeys::FILEIMPEXP, "/last/used.txt");
        const QString path = write("three.txt",
            Header
                + "A1\tDesc one\t1.00\t0.50\t0.99\tb1\tb2\tb3\t/p/1.jpg\r\n\tno sku\r\n"
                  "   \tblank sku\r\nA2\tDesc two\r\nA3\r\n");
        QCOMPARE(f.importPath(path), qint64(3));
        QCOMPARE(f.model.signRows(),
            (std::vector<SignRow> {
                sign({ "A1", "0.99", "1.00", "Desc one", "b1", "b2", "b3", "0.50", "/p/1.jpg" }),
                sign({ "A2", "", "", "Desc two" }), sign({ "A3" }), SignRow() }));
        QCOMPARE(f.loads, 1);
        QVERIFY(!f.reader.isOpen());
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        QCOMPARE(firstRequest(), "open|Import File|/last/used.txt|3|2|1");
    }

    void importAppendsAfterExistingRows()
    {
        Fixture f;
        f.model.setCell(1, SignListModel::ColSku, "OLD");
        f.model.setRows(3); // the usual empty last row
        const QString path = write("qc.dat", "1,10,48\r\n\"N1\",\"Claw, 16 oz\",12.99\r\n");
        QCOMPARE(f.importPath(path), qint64(1));
        // A file without a usable SKU adds no sign, only another empty row.
        QCOMPARE(f.importPath(write("nosku.txt", "10\t48\r\nx\t1\r\n")), qint64(0));
        QCOMPARE(f.model.signRows(),
            (std::vector<SignRow> { sign({ "OLD" }), SignRow(),
                sign({ "N1", "", "12.99", "Claw, 16 oz" }), SignRow(), SignRow() }));
    }

    void roundTrip()
    {
        const QString longPath = "/pictures/" + QString(200, QLatin1Char('p')) + ".jpg";
        const SignRow full
            = sign({ "1001", "$9.99", "12.49", QString::fromUtf8("Café hammer – 16 “oz”"), "Forged",
                "Steel", "Warranty", "5.10", longPath });
        // Cells in double quotes keep them.
        const SignRow quoted
            = sign({ "1004", "", "", "\"SPEEDY\" SAW 7-1/4\"", "\"\"", "\"", "a \"b\"" });
        const QString path = m_dir.filePath("roundtrip.txt");
        {
            Fixture f;
            f.model.appendSigns(
                { full, sign({ "1002", " spaced ", "", "x   " }), sign({ "1003" }), quoted });
            f.model.deleteRow(1);
            QVERIFY(f.exportPath(path));
        }
        Fixture g;
        QCOMPARE(g.importPath(path), qint64(4));
        SignRow cut = full;
        cut.column(SignListModel::ColGraphic) = longPath.left(160);
        QCOMPARE(g.model.signRows(),
            (std::vector<SignRow> {
                cut, sign({ "1002", " spaced", "", "x" }), sign({ "1003" }), quoted, SignRow() }));
    }

    // The import lets the window repaint, but the user's clicks and keys and
    // a close request in the middle of it are dropped, not run later.
    void userInputIsBlockedDuringImport()
    {
        Fixture f;
        QWidget window;
        auto* button = new QPushButton("Clear Grid", &window);
        auto* edit = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        int postedWork = 0;
        connect(button, &QPushButton::clicked, [&]() { ++clicks; });
        QList<qint64> progress;
        f.hooks.progress = [&](qint64 records) {
            if (progress.isEmpty()) {
                const QPointF at(5, 5);
                for (const QEvent::Type type :
                    { QEvent::MouseButtonPress, QEvent::MouseButtonRelease })
                    QCoreApplication::postEvent(button,
                        new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(
                    edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
                QCoreApplication::postEvent(&window, new QCloseEvent);
                QMetaObject::invokeMethod(
                    button, [&]() { ++postedWork; }, Qt::QueuedConnection);
            }
            progress << records;
        };
        QByteArray content = Header;
        for (int i = 0; i < 2000; ++i)
            content += "S" + QByteArray::number(i) + "\tdesc\r\n";
        QCOMPARE(f.importPath(write("many.txt", content)), qint64(2000));
        QCOMPARE(postedWork, 1); // other events were delivered during the import
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 0);
        QCOMPARE(edit->text(), QString());
        QVERIFY(window.isVisible());
        QVERIFY(progress.size() >= 2);
        QCOMPARE(progress.last(), qint64(2000));
        QTest::mouseClick(button, Qt::LeftButton); // input works again afterwards
        QCOMPARE(clicks, 1);
    }

    // The window warns at start-up when the dictionary has no master/store
    // block. The item graphic path gets 160 characters whatever the
    // dictionary says, after the Dictionary File command too.
    void windowDictionaryAndImport()
    {
        TestSettingsScope scope;
        const QByteArray fields = "[INV]\r\n1,1,10:SKU\r\n10,1,30:Desc\r\n182,1,12:Graphic\r\n";
        const QString noBlock = write("noblock.dct", fields);
        appSettings().save(SettingsKeys::DICTIONARY, noBlock);
        const QString longPath = "/pictures/" + QString(170, QLatin1Char('g'));
        const QString data = write(
            "win.txt", Header + "W1\tWindow item\t\t\t\t\t\t\t" + longPath.toLatin1() + "\r\n");
        frmSigns w(dialogs());
        QCOMPARE(messageTexts(), QStringList { qorDct::MasterStoreWarning });
        QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Alert:"));
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->cell(1, 9), longPath.left(160));
        QCOMPARE(child<EntryBox>(w, "txtSku")->text(), QStringLiteral("W1"));
        QCOMPARE(w.statusBar()->currentMessage(), "Signs read from the data file: 1");
        dialogs().reset();
        dialogs().queueFile(write("win.dct", fields + "%BEGIN%\r\n%END%\r\n"));
        trigger(w, "mnuFileDict");
        QCOMPARE(firstRequest(), "open|Open the Dictionary File|" + noBlock + "|2|1|1");
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->Rows(), 5); // after the empty row the list had
        QCOMPARE(w.model()->cell(3, 9), longPath.left(160));
        QVERIFY(dialogs().messages().isEmpty());
    }
};

QTEST_MAIN(TestImportExport)
#include "tst_importexport.moc"
