// The POS data file reader: headers, records, line ends and field lines.

#include "FileTestSupport.h"

class TestDatFile : public QObject
{
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }
    QTemporaryDir m_dir;
    // A data file reader whose "Fopen:" messages are collected in m_messages.
    std::unique_ptr<qorDatFile> reader()
    {
        return std::make_unique<qorDatFile>([this](const QString& t) { m_messages << t; });
    }
    QStringList m_messages;
    qorDct m_dict; // for the data file reader

private slots:
    void init()
    {
        m_messages.clear();
        m_dict = qorDct();
        m_dict.setDLen(1, 20);
        m_dict.setDLen(10, 30);
        m_dict.setDLen(48, 8);
        m_dict.setDLen(56, -4); // a dictionary can hold a negative length
    }

    // Open status | layout (0 comma, 1 single or spaces, 2 tabs) | the header's field list.
    void headers_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("commas") << QByteArray("1,10,48") << "0|0| 1, 10, 48";
        QTest::newRow("tabs") << QByteArray("1\t10\t48") << "0|2| 1, 10, 48";
        QTest::newRow("single field") << QByteArray("182") << "0|1| 182";
        QTest::newRow("space before comma") << QByteArray("1 ,10") << "0|0| 1, 0, 10";
        QTest::newRow("empty entry") << QByteArray("1,,10") << "0|0| 1, 0, 10";
        QTest::newRow("spaces separate") << QByteArray("1 10") << "0|1| 1, 10";
        QTest::newRow("comma and tab") << QByteArray("1,10\t48") << "3|0|";
        QTest::newRow("letters") << QByteArray("SKU\tDESC") << "3|1|";
        QTest::newRow("empty line") << QByteArray("") << "0|1|";
        QTest::newRow("beyond 16 bits kept as written") << QByteArray("1,70000,10")
            << "0|0| 1, 70000, 10";
        QTest::newRow("most fields") << QByteArray(32766, ',') << "0|0|" + QStringList(32767,
            " 0").join(',');
        QTest::newRow("too many fields") << QByteArray(40000, ',') << "3|0|";
        QTest::newRow("gigantic") << QByteArray(24 * 1024 * 1024, '9') + "x" << "3|1|";
        // clang-format on
    }

    void headers()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, expected);
        const QString path = write("h.dat", header + "\r\n\"1\",\"x\"\r\n");
        auto r = reader();
        const qint16 status = r->fopen(path, m_dict);
        const QString fields = status == 0 ? r->FieldList() : QString();
        QCOMPARE(QString("%1|%2|%3").arg(status).arg(r->layout()).arg(fields), expected);
        QCOMPARE(r->isOpen(), status == 0);
        QCOMPARE(m_messages,
            status == 0 ? QStringList()
                        : QStringList { QStringLiteral("Invalid Header: ") + path });
        QList<qint32> arr; // the same list as numbers, ended by -1
        const int count = r->GetFieldList(arr);
        QCOMPARE(arr.takeLast(), -1);
        QCOMPARE(count, int(arr.size()));
        QStringList numbers;
        for (const qint32 n : arr)
            numbers << " " + QString::number(n);
        QCOMPARE(numbers.join(','), r->FieldList());
    }

    // Status (0 found, 1 blank, -1 not in the header) | a field of the first record, any line end.
    void records_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        const QByteArray qc = "1,10,48\r\n";
        const QByteArray quoted = qc + "\"12345\",\"CLAW HAMMER, 16 OZ\",12.99";
        const QByteArray tabs = "1\t10\r\n1\t";
        // clang-format off
        QTest::newRow("quoted sku") << quoted << 1 << "0|12345";
        QTest::newRow("quoted with comma") << quoted << 10 << "0|CLAW HAMMER, 16 OZ";
        QTest::newRow("not in header") << quoted << 56 << "-1|";
        QTest::newRow("empty quoted") << qc + "1,\"\",2" << 10 << "1|";
        QTest::newRow("cut to length then trimmed")
            << qc + "1,\"" + QByteArray(25, 'A') + "     " + QByteArray(10, 'B') + "\",2" << 10
            << "0|" + QString(25, 'A');
        QTest::newRow("leading spaces stay") << qc + "1,  x  ,2" << 10 << "0|  x";
        QTest::newRow("byte 1 and 2") << qc + "1,\"O\x01Neil \x02" "Best\x02\",2" << 10
            << "0|O'Neil \"Best\"";
        QTest::newRow("Windows-1252") << qc + "1,\"\x80 5 \x96 caf\xe9\",2" << 10
            << QString::fromUtf8("0|€ 5 – café");
        QTest::newRow("fields past a short record are blank") << qc + "1,desc" << 48 << "1|";
        QTest::newRow("past an unclosed quote") << qc + "1,\"a,b" << 48 << "1|";
        QTest::newRow("unclosed quote runs to the end") << qc + "\"1,2,3" << 1 << "0|\"1,2,3";
        QTest::newRow("quote closed at the end") << qc + "1,2,\"x,y\"" << 48 << "0|x,y";
        QTest::newRow("tab layout keeps quotes inside") << tabs + "say \"hi\", ok" << 10
            << "0|say \"hi\", ok";
        QTest::newRow("tab layout strips enclosing quotes") << tabs + "\"a,b\"" << 10 << "0|a,b";
        QTest::newRow("comma layout splits in quotes") << QByteArray("1 10\r\n\"a,b\",c") << 10
            << "0|b\"";
        QTest::newRow("field listed twice reads the first")
            << QByteArray("10,1,10\r\nfirst,2,second") << 10 << "0|first";
        // 70000 wrapped to 16 bits would be 4464.
        QTest::newRow("number beyond 16 bits never matches") << QByteArray("1,70000,10\r\n1,big,d")
            << 4464 << "-1|";
        QTest::newRow("length zero empties") << QByteArray("1,54\r\n1,9.99") << 54 << "1|";
        QTest::newRow("negative length empties") << QByteArray("1,56\r\n1,9.99") << 56 << "1|";
        // clang-format on
    }

    void records()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, field);
        QFETCH(QString, expected);
        for (const QByteArray& end : { QByteArray("\r\n"), QByteArray("\n"), QByteArray() }) {
            auto r = reader();
            QCOMPARE(r->fopenData(file + end, "x", m_dict), qint16(0));
            QVERIFY(r->gr());
            QString got = QStringLiteral("junk");
            const qint16 status = r->gf(qint16(field), got);
            QCOMPARE(QString::number(status) + "|" + got, expected);
        }
    }

    void lineNavigation()
    {
        const QString path = write("nav.txt", "1\r\nA\r\nB\r\nC\r\n");
        auto r = reader();
        r->setBlockSize(3); // moving back and forth crosses blocks
        QCOMPARE(r->fopen(path, m_dict), qint16(0));
        QCOMPARE(r->lineNumber(), 0);
        // The line asked for (-1 the next one) and the line then held, "-" where there is none;
        // after the end, a line number starts over.
        const QList<std::pair<int, QString>> steps { { 3, "C" }, { 1, "A" }, { -1, "B" },
            { 2, "B" }, { -1, "C" }, { -1, "-" }, { -1, "-" }, { 4, "-" }, { 2, "B" } };
        for (const auto& [line, held] : steps) {
            QCOMPARE(r->gr(line), held != "-");
            QCOMPARE(held == "-" ? "-" : r->LineBuf(), held);
            if (held == "-" && line == -1)
                QCOMPARE(r->lineNumber(), 0);
        }
        // The file may go away: going back reads through the open handle.
        QFile::remove(path);
        QVERIFY(r->gr(1));
        QCOMPARE(r->LineBuf(), QStringLiteral("A"));
        r->fclose();
        QVERIFY(!r->gr());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        // clang-format off
        QTest::newRow("CR LF and LF") << QByteArray("1\r\na\r\nb\nc") << QStringList { "a", "b",
            "c" };
        QTest::newRow("empty lines are records") << QByteArray("1\n\n\nx\n") << QStringList { "",
            "", "x" };
        QTest::newRow("lone CR stays") << QByteArray("1\na\rb\n") << QStringList { "a\rb" };
        QTest::newRow("NUL ends the data") << QByteArray("1\na\nb\0c\nd\n", 10)
            << QStringList { "a", "b" };
        QTest::newRow("NUL at a line start") << QByteArray("1\na\n\0b\n", 7) << QStringList { "a" };
        QTest::newRow("header only") << QByteArray("1\r\n") << QStringList {};
        QTest::newRow("header without line end") << QByteArray("1") << QStringList {};
        QTest::newRow("line far longer than a block") << QByteArray("1\r\n" + QByteArray(9000,
            'L') + "\r\n\r\nend")
                                                      << QStringList { QString(9000, 'L'), "",
                                                      "end" };
        // clang-format on
    }

    // The same lines at any block size, also lines longer than a block and a CR LF split in two.
    void lineEnds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        const QString path = write("lines.txt", file);
        for (const qint64 block : { 1, 2, 3, 5, 100, 65536 }) {
            auto r = reader();
            r->setBlockSize(block);
            QCOMPARE(r->fopen(path, m_dict), qint16(0));
            QStringList got;
            while (r->gr())
                got << r->LineBuf();
            QCOMPARE(got, lines);
        }
    }

    // Section INV at level 99: the load status, then field 10's (or the row's field's) alpha flag,
    // length and description.
    void fieldLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("lower-case name") << QByteArray("[inv]\r\n10,1,30:Desc\r\n") << 10
            << "0|1|30|Desc";
        QTest::newRow("level 150 not taken") << QByteArray("[INV]150\r\n10,1,30:Desc\r\n") << 10
            << "2|0|0|";
        QTest::newRow("other section") << QByteArray("[CIS]\r\n10,1,30:Desc\r\n") << 10 << "2|0|0|";
        QTest::newRow("later definition wins")
            << QByteArray("[INV]\r\n10,1,30:First\r\n[INV]\r\n10,0,12:Second\r\n") << 10
            << "0|0|12|Second";
        QTest::newRow("commas and colons in description")
            << QByteArray("[INV]\r\n10,1,30:Desc, with comma: and colon  \r\n") << 10
            << "0|1|30|Desc, with comma: and colon  ";
        QTest::newRow("no colon skipped") << QByteArray("[INV]\r\n10,1,30\r\n") << 10 << "0|0|0|";
        QTest::newRow("field above 199 skipped") << QByteArray("[INV]\r\n250,1,30:X\r\n") << 0
            << "0|0|0|";
        QTest::newRow("comment skipped") << QByteArray("[INV]\r\n/10,1,30:x\r\n") << 10 << "2|0|0|";
        QTest::newRow("header is the last line") << QByteArray("10,1,30:x\r\n[INV]") << 10
            << "2|0|0|";
        QTest::newRow("END stops reading") << QByteArray("[INV]\r\n[end]\r\n[INV]\r\n10,1,30:x\r\n")
            << 10 << "0|0|0|";
        // A "[" line without "]" still ends the selected section.
        QTest::newRow("bracket without close leaves the section")
            << QByteArray("[INV]\r\n[END\r\n10,1,30:x\r\n") << 10 << "0|0|0|";
        QTest::newRow("numbers with spaces and halves")
            << QByteArray("[INV]\r\n 10 , 2 ,30.5 :x\r\n") << 10 << "0|2|30|x";
        QTest::newRow("LF and CR line ends") << QByteArray("[INV]\n10,1,30:a\r48,0,8:b\n") << 48
            << "0|0|8|b";
        QTest::newRow("Windows-1252 description")
            << QByteArray("[INV]\r\n10,1,3:Caf\xe9 \x80\r\n") << 10
            << QString::fromUtf8("0|1|3|Café €");
        QTest::newRow("field number too large") << QByteArray("[INV]\r\n40000,1,2:x\r\n") << 10
            << "1|0|0|";
        QTest::newRow("length too large") << QByteArray("[INV]\r\n10,1,99999:x\r\n") << 10
            << "1|0|0|";
        QTest::newRow("level too large") << QByteArray("[INV]70000\r\n10,1,3:x\r\n") << 10
            << "1|0|0|";
        QTest::newRow("lines before the failure stay")
            << QByteArray("[INV]\r\n10,1,30:kept\r\n48,1,99999:x\r\n") << 10 << "1|1|30|kept";
        // clang-format on
    }

    // From a file and from memory alike.
    void fieldLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, field);
        QFETCH(QString, expected);
        qorDct d;
        qorDct m;
        const qint16 status = d.setup(write(QStringLiteral("d.dct"), file), "inv", 99);
        QCOMPARE(m.setupFromData(file, "INV", 99), status);
        for (const qorDct* dict : { &d, &m }) {
            const auto f = qint16(field);
            QCOMPARE(QString("%1|%2|%3|%4")
                         .arg(status)
                         .arg(dict->dAlpha(f))
                         .arg(dict->dLen(f))
                         .arg(dict->dDesc(f)),
                expected);
        }
    }
};

QTEST_MAIN(TestDatFile)
#include "tst_datfile.moc"
