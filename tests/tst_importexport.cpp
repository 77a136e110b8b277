// Importing data files into the sign list and exporting it: questions, faults, round trips.

#include "FileTestSupport.h"

class TestImportExport : public QObject
{
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }
    QTemporaryDir m_dir;
    qorDct m_dict; // for the data file reader

private slots:
    void init()
    {
        m_dict = qorDct();
        m_dict.setDLen(1, 20);
        m_dict.setDLen(10, 30);
        m_dict.setDLen(48, 8);
        m_dict.setDLen(56, -4); // a dictionary can hold a negative length
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

    // An existing file is replaced only when the user says so; the question
    // names what the file holds and Enter alone answers No.
    void exportAsksBeforeReplacing_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("question");
        const QByteArray data = Header + "11\tA\r\n\tno sku\r\n12\tB\r\n";
        const QString twoRecords = "items.txt already exists (2 records). Replace it with ";
        QTest::newRow("data file kept") << data << QStringList { "AAA", "", "BBB", "CCC" } << false
                                        << twoRecords + "the 3 signs of the list?";
        QTest::newRow("data file replaced")
            << data << QStringList { "AAA" } << true << twoRecords + "the 1 sign of the list?";
        QTest::newRow("other file kept")
            << QByteArray("24 items") << QStringList { "AAA" } << false
            << "items.txt already exists (8 bytes, not a data file). Replace it with the 1 sign "
               "of the list?";
    }

    void exportAsksBeforeReplacing()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, list);
        QFETCH(bool, replace);
        const DialogService::Answer answer
            = replace ? DialogService::Answer::Yes : DialogService::Answer::No;
        Fixture f;
        f.model.setRows(int(list.size()) + 1);
        for (int r = 0; r < list.size(); ++r)
            f.model.setCell(r + 1, SignListModel::ColSku, list.at(r));
        const QString path = write("items.txt", existing);
        dialogs().queueAnswer(answer);
        QCOMPARE(f.exportPath(path), answer == DialogService::Answer::Yes);
        QCOMPARE(dialogs().messages().size(), 1);
        const DialogService::Message& asked = dialogs().messages().constFirst();
        QTEST(asked.text, "question");
        QCOMPARE(asked.buttons, DialogService::Buttons::YesNo);
        QCOMPARE(asked.defaultButton, DialogService::Answer::No);
        QCOMPARE(readAll(path),
            answer == DialogService::Answer::Yes ? Header + "AAA\t\t\t\t\t\t\t\t\r\n" : existing);
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
        QCOMPARE(firstRequest(), "open|Import File|/last/used.txt|3|2|1");
        QCOMPARE(stored(SettingsKeys::FILEIMPEXP), path);
        QVERIFY(dialogs().messages().isEmpty());
        QVERIFY(!g.reader.isOpen());
        QCOMPARE(g.loads, 1);
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
        QCOMPARE(progress.last(), qint64(2000)); // and not only at the end
        QVERIFY(progress.size() >= 2);
        QTest::mouseClick(button, Qt::LeftButton); // input works again afterwards
        QCOMPARE(clicks, 1);
    }

    void importFaults_data()
    {
        QTest::addColumn<QString>("path"); // empty: a file of these bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("messages"); // "<path>" the file's name
        QTest::addColumn<QStringList>("kept");
        const QStringList keep { "KEEP" };
        const QStringList empty { "Data file is empty: <path>", "File is empty" };
        // clang-format off
        QTest::newRow("invalid header") << "" << QByteArray("SKU,DESC\r\n1,x\r\n")
            << QStringList { "Invalid Header: <path>", "Error in file header" } << keep;
        QTest::newRow("empty") << "" << QByteArray() << empty << keep;
        QTest::newRow("NUL first") << "" << QByteArray("\0\0\0", 3) << empty << keep;
        QTest::newRow("missing") << "<dir>/nothing.dat" << QByteArray()
            << QStringList { "Can not open data file: <path>", "File not found" } << keep;
        QTest::newRow("folder") << "<dir>" << QByteArray()
            << QStringList { "Can not open data file: <path>", "Can not open file" } << keep;
        QTest::newRow("header of 65,000 bytes") << "" << "1" + QByteArray(64997, ' ') + "\r\nA1\r\n"
            << QStringList() << QStringList { "KEEP", "A1" };
        QTest::newRow("header over 64 KiB") << "" << "1" + QByteArray(70000, ' ') + "\r\nA1\r\n"
            << QStringList { "Invalid Header: <path>", "Error in file header" } << keep;
        QTest::newRow("NUL in a record") << "" << QByteArray("1\r\nA1\r\nA2\0\r\nA3\r\n", 16)
            << QStringList { "Reading stopped at a NUL byte on line 3 of <path>.  2 records were "
               "read." }
            << QStringList { "KEEP", "A1", "A2" };
        QTest::newRow("named pipe") << "<pipe>" << QByteArray()
            << QStringList { "Can not open data file: <path>\nIt is a named pipe.",
            "Can not open file" } << keep;
        // A regular file whose first read fails.
        QTest::newRow("header unreadable") << "/proc/self/mem" << QByteArray()
            << QStringList { "Can not read data file: <path>", "File can not be read" } << keep;
        // clang-format on
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
        if (messages.size() == 2) {
            const auto& m = dialogs().messages();
            QVERIFY(m.at(0).title == "Fopen:" && m.at(0).icon == DialogService::Icon::Exclamation);
            QVERIFY(m.at(1).title == "Alert:" && m.at(1).icon == DialogService::Icon::Information);
        }
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
        const QByteArray bytes = "1\t10\r\nA1\tone\r\nA2\ttwo\r\nA3\tthree\r\n";
        QCOMPARE(bytes.size(), 32);
        SignListModel model;
        qorDatFile reader;
        reader.setBlockSize(4);
        QCOMPARE(
            reader.fopenDevice(std::make_unique<FailingDevice>(bytes, failAt), "items.txt", m_dict),
            qorDatFile::StatusOk);
        SignListImportExport io(model);
        io.importRecords(reader, {});
        QCOMPARE(io.readResult(reader, "items.txt").message, message);
        QCOMPARE(skus(model), read << "");
    }
};

QTEST_MAIN(TestImportExport)
#include "tst_importexport.moc"
