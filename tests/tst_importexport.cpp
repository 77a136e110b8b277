// Importing data files into the sign list and exporting it: questions, faults, round trips.

#include "FileTestSupport.h"

class TestImportExport : public QObject
{
    Q_OBJECT

    QString write(const char* n, const QByteArray& b) { return writeTestFile(m_dir.path(), n, b); }
    QTemporaryDir m_dir;

private slots:
    void exportList_data()
    {
        QTest::addColumn<QList<SignRow>>("signs");
        QTest::addColumn<QByteArray>("existing"); // null: no file
        QTest::addColumn<bool>("replace"); // the answer to the question before replacing
        QTest::addColumn<QString>("messages"); // "<path>" the file's name
        QTest::addColumn<QByteArray>("body"); // the file afterwards
        const auto row
            = [](const char* name, const QList<SignRow>& signs, const QByteArray& existing,
                  bool replace, const QString& messages, const QByteArray& body) {
                  QTest::newRow(name) << signs << existing << replace << messages << body;
              };
        row("filled rows in file order, blank skus skipped",
            { sign({ "100", "1.99", "2.49", "HAMMER", "b1", "b2", "b3", "0.80", "/p/h.jpg" }),
                sign({ "   ", "skipped" }), sign({ "200", "", "", " lead and trail  " }),
                sign({ "300", "x" }) },
            {}, false, "",
            Header
                + "100\tHAMMER\t2.49\t0.80\t1.99\tb1\tb2\tb3\t/p/h.jpg\r\n"
                  "200\t lead and trail  \t\t\t\t\t\t\t\r\n300\t\t\t\tx\t\t\t\t\r\n");
        row("no sku anywhere: header only", { SignRow(), sign({ "", "", "", "no sku" }) }, {},
            false, "", Header);
        row("tabs and line breaks become spaces",
            { sign({ "A\tB", "", "", QString::fromLatin1("two\r\nlines\nand\0nul", 18) }) }, {},
            false, "", Header + "A B\ttwo  lines and nul\t\t\t\t\t\t\t\r\n");
        // An existing file is replaced only when the user says so; the question names what the file
        // holds.
        const auto asked = [](const QString& holds, const QString& signs) {
            return "items.txt already exists (" + holds + "). Replace it with the " + signs
                + " of the list?";
        };
        const QByteArray data = Header + "11\tA\r\n\tno sku\r\n12\tB\r\n";
        const QList<SignRow> aaa { sign({ "AAA" }) };
        row("data file kept", { sign({ "AAA" }), SignRow(), sign({ "BBB" }), sign({ "CCC" }) },
            data, false, asked("2 records", "3 signs"), data);
        row("data file replaced", aaa, data, true, asked("2 records", "1 sign"),
            Header + "AAA\t\t\t\t\t\t\t\t\r\n");
        row("other file kept", aaa, "24 items", false, asked("8 bytes, not a data file", "1 sign"),
            "24 items");
        row("unencodable character",
            { sign({ "1", "", "", "café € ok" }), sign({ "2", "", "", "", "bullet Ω" }) },
            "earlier content", true,
            asked("15 bytes, not a data file", "2 signs")
                + "\nRow 3, bullet line 1: the character \"Ω\" can not be written to a data file.  "
                  "Nothing was written to <path>",
            "earlier content");
    }
    void exportList()
    {
        QFETCH(QList<SignRow>, signs);
        QFETCH(QByteArray, existing);
        QFETCH(bool, replace);
        QFETCH(QString, messages);
        QFETCH(QByteArray, body);
        Fixture f;
        f.model.appendSigns({ signs.begin(), signs.end() }); // after an empty row
        f.settings.save(SettingsKeys::FILEIMPEXP, "/previous/file.txt");
        const QString path = f.scope.path() + "/items.txt";
        if (!existing.isNull())
            writeTestFile(f.scope.path(), "items.txt", existing);
        dialogs().queueAnswer(replace ? DialogService::Answer::Yes : DialogService::Answer::No);
        QCOMPARE(f.exportPath(path), body != existing);
        QCOMPARE(readAll(path), body);
        QCOMPARE(messageTexts().join('\n'), messages.replace("<path>", path));
        QCOMPARE(firstRequest(), "save|Export File|/previous/file.txt|2|1|0");
        if (!existing.isNull()) // Enter alone answers No.
            QVERIFY(dialogs().messages().at(0).buttons == DialogService::Buttons::YesNo
                && dialogs().messages().at(0).defaultButton == DialogService::Answer::No);
        if (body != existing)
            QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
    }

    // A list without a SKU is not exported; a cancelled file dialog changes nothing.
    void refusedOrCancelled()
    {
        Fixture f;
        QVERIFY(!f.io.exportFile(f.dict));
        QCOMPARE(messageTexts(), QStringList { "Grid is empty.  No data to export" });
        QVERIFY(dialogs().fileRequests().isEmpty());
        dialogs().reset();
        f.model.setCell(1, 1, "1");
        f.settings.save(SettingsKeys::FILEIMPEXP, "kept");
        dialogs().queueFile(std::nullopt);
        QVERIFY(!f.io.exportFile(f.dict));
        dialogs().queueFile(std::nullopt);
        QCOMPARE(f.io.importFile(f.reader, f.dict, f.hooks), qint64(0));
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), QStringLiteral("kept"));
        QVERIFY(f.model.Rows() == 2 && dialogs().messages().isEmpty() && f.loads == 0);
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
        // Read back after the rows a list holds; a file without a usable SKU adds no sign, only
        // another empty row.
        Fixture g;
        g.settings.save(SettingsKeys::FILEIMPEXP, "/last/used.txt");
        g.model.setCell(1, SignListModel::ColSku, "OLD");
        g.model.setRows(3); // the usual empty last row
        QCOMPARE(g.importPath(path), qint64(4));
        QCOMPARE(firstRequest() + " " + stored(SettingsKeys::FILEIMPEXP),
            "open|Import File|/last/used.txt|3|2|1 " + path);
        QVERIFY(dialogs().messages().isEmpty() && !g.reader.isOpen() && g.loads == 1);
        QCOMPARE(g.importPath(write("nosku.txt", "10\t48\r\nx\t1\r\n")), qint64(0));
        QCOMPARE(
            g.importPath(write("blank.txt", Header + "\tno sku\r\n   \tblank\r\n")), qint64(0));
        SignRow cut = full;
        cut.column(SignListModel::ColGraphic) = longPath.left(160);
        QCOMPARE(g.model.signRows(),
            (std::vector<SignRow> { sign({ "OLD" }), SignRow(), cut,
                sign({ "1002", " spaced", "", "x" }), sign({ "1003" }), quoted, SignRow(),
                SignRow(), SignRow() }));
    }

    // The import lets the window repaint, but the user's clicks and keys and a close request in the
    // middle of it are dropped, not run later.
    void userInputIsBlockedDuringImport()
    {
        Fixture f;
        QWidget window;
        auto* button = new QPushButton("Clear Grid", &window);
        auto* edit = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0, postedWork = 0;
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
        QVERIFY(clicks == 0 && edit->text().isEmpty() && window.isVisible());
        QVERIFY(progress.size() >= 2 && progress.last() == 2000); // and not only at the end
        QTest::mouseClick(button, Qt::LeftButton); // input works again afterwards
        QCOMPARE(clicks, 1);
    }

    void importFaults_data()
    {
        QTest::addColumn<QString>("path"); // empty: a file of these bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("messages"); // "<path>" the file's name
        QTest::addColumn<QStringList>("kept");
        const auto row = [](const char* name, const QString& path, const QByteArray& bytes,
                             const QStringList& messages, const QStringList& kept = { "KEEP" }) {
            QTest::newRow(name) << path << bytes << messages << kept;
        };
        const QStringList invalid { "Invalid Header: <path>", "Error in file header" };
        const QStringList empty { "Data file is empty: <path>", "File is empty" };
        const QString cannotOpen = "Can not open data file: <path>";
        row("invalid header", "", "SKU,DESC\r\n1,x\r\n", invalid);
        row("empty", "", "", empty);
        row("NUL first", "", QByteArray("\0\0\0", 3), empty);
        row("missing", "<dir>/nothing.dat", "", { cannotOpen, "File not found" });
        row("folder", "<dir>", "", { cannotOpen, "Can not open file" });
        row("header of 65,000 bytes", "", "1" + QByteArray(64997, ' ') + "\r\nA1\r\n", {},
            { "KEEP", "A1" });
        row("header over 64 KiB", "", "1" + QByteArray(70000, ' ') + "\r\nA1\r\n", invalid);
        row("NUL in a record", "", QByteArray("1\r\nA1\r\nA2\0\r\nA3\r\n", 16),
            { "Reading stopped at a NUL byte on line 3 of <path>.  2 records were read." },
            { "KEEP", "A1", "A2" });
        row("named pipe", "<pipe>", "",
            { cannotOpen + "\nIt is a named pipe.", "Can not open file" });
        // A regular file whose first read fails.
        row("header unreadable", "/proc/self/mem", "",
            { "Can not read data file: <path>", "File can not be read" });
    }
    // A file that can not be read is reported in two messages and leaves the list as it was;
    // records before a NUL byte are kept.
    void importFaults()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, kept);
        if (path.startsWith('/') && !QFileInfo::exists(path))
            QSKIP("not on this system");
        Fifo fifo(m_dir.path());
        path.replace("<pipe>", fifo.m_path).replace("<dir>", m_dir.path());
        if (path.isEmpty())
            path = writeTestFile(m_dir.path(), "import.txt", bytes);
        Fixture f;
        f.model.setCell(1, SignListModel::ColSku, "KEEP");
        dialogs().queueFile(path);
        f.io.importFile(f.reader, f.dict, {});
        QCOMPARE(messageTexts(), messages.replaceInStrings("<path>", path));
        const auto& m = dialogs().messages();
        QVERIFY(messages.size() < 2
            || (m.at(0).title == "Fopen:" && m.at(0).icon == DialogService::Icon::Exclamation
                && m.at(1).title == "Alert:" && m.at(1).icon == DialogService::Icon::Information));
        QCOMPARE(skus(f.model).filter(QRegularExpression(".")), kept);
    }

    // A read error ends the import: the line it cut is no record, and the message says where.
    void readErrorEndsTheRecords_data()
    {
        QTest::addColumn<qint64>("failAt");
        QTest::addColumn<QStringList>("read");
        QTest::addColumn<QString>("message");
        // Bytes: header 0-5, A1 6-13, A2 14-21, A3 22-31 (its line end at 31).
        const QString stopped
            = "Reading stopped by a read error on line %1 of items.txt.  %2 records were read.";
        QTest::newRow("in a record")
            << qint64(26) << QStringList { "A1", "A2" } << stopped.arg(4).arg(2);
        QTest::newRow("at a line's start")
            << qint64(14) << QStringList { "A1" } << stopped.arg(3).arg(1);
        QTest::newRow("before its line end")
            << qint64(31) << QStringList { "A1", "A2" } << stopped.arg(4).arg(2);
        QTest::newRow("none") << qint64(1000) << QStringList { "A1", "A2", "A3" } << QString();
    }
    void readErrorEndsTheRecords()
    {
        QFETCH(qint64, failAt);
        QFETCH(QStringList, read);
        QFETCH(QString, message);
        Fixture f;
        f.reader.setBlockSize(4);
        auto device = std::make_unique<FailingDevice>(
            "1\t10\r\nA1\tone\r\nA2\ttwo\r\nA3\tthree\r\n", failAt);
        QCOMPARE(
            f.reader.fopenDevice(std::move(device), "items.txt", f.dict), qorDatFile::StatusOk);
        SignListImportExport io(f.model);
        io.importRecords(f.reader, {});
        QCOMPARE(io.readResult(f.reader, "items.txt").message, message);
        QCOMPARE(skus(f.model), read << "");
    }
};

QTEST_MAIN(TestImportExport)
#include "tst_importexport.moc"
