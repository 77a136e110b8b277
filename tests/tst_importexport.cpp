#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
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
#include <QFile>
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

const QByteArray Header = "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n";

// The import and export commands over a sign list of their own, with a
// dictionary that gives each field its usual length.
// The messages shown, but for the question before replacing a file.
QStringList shownBesideQuestions()
{
    QStringList out;
    for (const auto& m : dialogs().messages()) {
        if (!m.text.contains(QLatin1String("already exists")))
            out << m.text;
    }
    return out;
}

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
        for (const qint16 f : { 1, 48, 54, 56 })
            dict.setDLen(f, 12);
        dict.setDLen(10, 30);
        for (const qint16 f : { 177, 178, 179 })
            dict.setDLen(f, 40);
        dict.setDLen(182, 160);
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
    void exportOfFreshListRefuses()
    {
        Fixture f;
        QVERIFY(!f.io.exportFile());
        QCOMPARE(messageTexts(), QStringList { "Grid is empty.  No data to export" });
        QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Alert:"));
        QVERIFY(dialogs().fileRequests().isEmpty());
    }

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

    void exportRows()
    {
        QFETCH(QList<SignRow>, signs);
        QFETCH(QByteArray, body);
        Fixture f;
        f.model.setRows(int(signs.size()) + 2); // and the usual empty last row
        for (int r = 0; r < signs.size(); ++r)
            f.model.setSignRow(r + 1, signs.at(r));
        f.settings.save(SettingsKeys::FILEIMPEXP, "/previous/file.txt");
        const QString path = m_dir.filePath("out.txt");
        QVERIFY(f.exportPath(path));

        QCOMPARE(readAll(path), Header + body);
        const auto request = dialogs().fileRequests().at(0);
        QVERIFY(request.mode == DialogService::FileMode::Save);
        QCOMPARE(request.title, QStringLiteral("Export File"));
        QCOMPARE(request.fileName, QStringLiteral("/previous/file.txt"));
        QCOMPARE(request.filters.size(), 2);
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        QVERIFY(shownBesideQuestions().isEmpty());
    }

    void cancelChangesNothing()
    {
        Fixture f;
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
        QCOMPARE(shownBesideQuestions(),
            QStringList { QString::fromUtf8("Row 3, bullet line 1: the character \"Ω\" can not "
                                            "be written to a data file.  Nothing was written to ")
                + path });
        QCOMPARE(readAll(path), QByteArray("earlier content"));
    }

    // A failed write names the file and the system's reason, and leaves an
    // earlier file as it was.
    void writeFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("folder") << "<dir>" << "It is a folder.";
        QTest::newRow("missing folder") << "<dir>/no/such/folder/out.txt" << "";
        QTest::newRow("full device") << "/dev/full" << "No space left on device";
        // Also refused to the superuser.
        QTest::newRow("read-only file system") << "/proc/version" << "";
        // clang-format on
    }

    void writeFailures()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        path.replace("<dir>", m_dir.path());
        if ((path.startsWith("/dev/") || path.startsWith("/proc/")) && !QFileInfo::exists(path))
            QSKIP("not on this system");
        Fixture f;
        f.model.setCell(1, SignListModel::ColSku, "1");
        const bool existed = QFileInfo::exists(path);
        const QByteArray before
            = QFileInfo(path).isFile() && !path.startsWith("/dev/") ? readAll(path) : QByteArray();
        QVERIFY(!f.exportPath(path));
        QCOMPARE(shownBesideQuestions().size(), 1);
        const QString text = shownBesideQuestions().at(0);
        QVERIFY2(text.startsWith("Can not write data file: " + path + "\n"), qPrintable(text));
        QVERIFY2(text.size() > QString("Can not write data file: \n").size() + path.size(),
            qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        QCOMPARE(QFileInfo::exists(path), existed);
        if (!before.isEmpty())
            QCOMPARE(readAll(path), before);
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
        QCOMPARE(f.model.Rows(), 5);
        QCOMPARE(f.model.signRow(1),
            sign({ "A1", "0.99", "1.00", "Desc one", "b1", "b2", "b3", "0.50", "/p/1.jpg" }));
        QCOMPARE(f.model.signRow(2), sign({ "A2", "", "", "Desc two" }));
        QCOMPARE(f.model.signRow(3), sign({ "A3" }));
        QCOMPARE(f.model.signRow(4), SignRow());
        QCOMPARE(f.loads, 1);
        QVERIFY(!f.reader.isOpen());
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        const auto request = dialogs().fileRequests().at(0);
        QVERIFY(request.mode == DialogService::FileMode::Open);
        QCOMPARE(request.title, QStringLiteral("Import File"));
        QCOMPARE(request.fileName, QStringLiteral("/last/used.txt"));
        QCOMPARE(request.filters.size(), 3);
        QCOMPARE(request.filterIndex, 2);
        QVERIFY(request.mustExist);
    }

    void importAppendsAfterExistingRows()
    {
        Fixture f;
        f.model.setCell(1, SignListModel::ColSku, "OLD");
        f.model.setRows(3); // the usual empty last row
        const QString path = write("qc.dat", "1,10,48\r\n\"N1\",\"Claw, 16 oz\",12.99\r\n");
        QCOMPARE(f.importPath(path), qint64(1));
        QCOMPARE(f.model.Rows(), 5);
        QCOMPARE(f.model.cell(1, 1), QStringLiteral("OLD"));
        QCOMPARE(f.model.signRow(2), SignRow());
        QCOMPARE(f.model.signRow(3), sign({ "N1", "", "12.99", "Claw, 16 oz" }));
        QCOMPARE(f.model.signRow(4), SignRow());

        // A file without a usable SKU adds no sign, only another empty row.
        QCOMPARE(f.importPath(write("nosku.txt", "10\t48\r\nx\t1\r\n")), qint64(0));
        QCOMPARE(f.model.Rows(), 6);
        QCOMPARE(f.model.signRow(5), SignRow());
    }

    void importFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        // clang-format off
        QTest::newRow("invalid header") << QByteArray("SKU,DESC\r\n1,x\r\n") << "Invalid Header: " << "Error in file header";
        QTest::newRow("empty") << QByteArray() << "Data file is empty: " << "File is empty";
        QTest::newRow("missing") << QByteArray("-") << "Can not open data file: " << "File not found";
        // clang-format on
    }

    void importFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, first);
        QFETCH(QString, second);
        Fixture f;
        f.model.setCell(1, 1, "KEEP");
        const QString path
            = content == "-" ? m_dir.filePath("nothing.dat") : write("fail.dat", content);
        QCOMPARE(f.importPath(path), qint64(0));
        QCOMPARE(messageTexts(), (QStringList { first + path, second }));
        QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Fopen:"));
        QVERIFY(dialogs().messages().at(0).icon == DialogService::Icon::Exclamation);
        QCOMPARE(dialogs().messages().at(1).title, QStringLiteral("Alert:"));
        QVERIFY(dialogs().messages().at(1).icon == DialogService::Icon::Information);
        QCOMPARE(f.model.Rows(), 2);
        QCOMPARE(f.model.cell(1, 1), QStringLiteral("KEEP"));
        QCOMPARE(f.loads, 0);
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
        QCOMPARE(g.model.Rows(), 6);
        SignRow cut = full;
        cut.column(SignListModel::ColGraphic) = longPath.left(160);
        QCOMPARE(g.model.signRow(1), cut);
        QCOMPARE(g.model.signRow(2), sign({ "1002", " spaced", "", "x" }));
        QCOMPARE(g.model.signRow(3), sign({ "1003" }));
        QCOMPARE(g.model.signRow(4), quoted);
        QCOMPARE(g.model.signRow(5), SignRow());
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
        // Input works again afterwards.
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }

    void windowStartUpAndCommands()
    {
        TestSettingsScope scope;
        const QString dict = write("win.dct",
            "[INV]\r\n1,1,10:SKU\r\n10,1,30:Desc\r\n182,1,12:Graphic\r\n%BEGIN%\r\n%END%\r\n");
        appSettings().save(SettingsKeys::DICTIONARY, dict);
        const QString longPath = "/pictures/" + QString(170, QLatin1Char('g'));
        const QString data = write(
            "win.txt", Header + "W1\tWindow item\t\t\t\t\t\t\t" + longPath.toLatin1() + "\r\n");

        frmSigns w(dialogs());
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(dialogs().fileRequests().isEmpty());

        // Start-up gives the item graphic path 160 characters.
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->Rows(), 3);
        QCOMPARE(w.model()->cell(1, 9), longPath.left(160));
        QCOMPARE(child<EntryBox>(w, "txtSku")->text(), QStringLiteral("W1"));
        QCOMPARE(
            w.statusBar()->currentMessage(), QStringLiteral("Signs read from the data file: 1"));

        // The Dictionary File command gives it 160 characters too, not the file's length.
        dialogs().queueFile(dict);
        trigger(w, "mnuFileDict");
        QCOMPARE(dialogs().fileRequests().last().title, QStringLiteral("Open the Dictionary File"));
        dialogs().queueFile(data);
        trigger(w, "mnuFileImport");
        QCOMPARE(w.model()->Rows(), 5); // after the empty row the list had
        QCOMPARE(w.model()->cell(3, 9), longPath.left(160));

        const QString out = m_dir.filePath("win-out.txt");
        dialogs().queueFile(out);
        trigger(w, "mnuFileExport");
        QCOMPARE(readAll(out).count("\r\n"), 3); // header and the two W1 rows
        QVERIFY(dialogs().messages().isEmpty());
    }

    void windowStartUpWithoutDictionary()
    {
        TestSettingsScope scope;
        appSettings().save(SettingsKeys::DICTIONARY, QString());
        frmSigns w(dialogs()); // the file dialog is cancelled
        QCOMPARE(dialogs().fileRequests().size(), 1);
        QCOMPARE(dialogs().fileRequests().at(0).title, QStringLiteral("Open the Dictionary File"));
        QCOMPARE(messageTexts(), QStringList { qorDct::MasterStoreWarning });
        QCOMPARE(dialogs().messages().at(0).title, QStringLiteral("Alert:"));
    }
};

QTEST_MAIN(TestImportExport)
#include "tst_importexport.moc"
