#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

#include "support/TestSupport.h"
#include <QFile>
#include <QTemporaryDir>

#include <QtTest>

class TestDatFile : public QObject
{
    Q_OBJECT

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        return writeTestFile(m_dir.path(), name, bytes);
    }

    // A reader whose "Fopen:" messages are collected in m_messages.
    std::unique_ptr<qorDatFile> reader()
    {
        return std::make_unique<qorDatFile>([this](const QString& t) { m_messages << t; });
    }

    // Every record of the file, read with the given block size.
    QStringList readLines(const QString& path, qint64 block)
    {
        auto r = reader();
        r->setBlockSize(block);
        if (r->fopen(path, m_dict) != 0)
            return { "<not opened>" };
        QStringList got;
        while (r->gr())
            got << r->LineBuf();
        return got;
    }

    QTemporaryDir m_dir;
    QStringList m_messages;
    qorDct m_dict;

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

    void headers_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("fieldList");

        // clang-format off
        QTest::newRow("commas") << QByteArray("1,10,48") << 0 << 0 << " 1, 10, 48";
        QTest::newRow("comma and space") << QByteArray("1, 10") << 0 << 0 << " 1, 10";
        QTest::newRow("tabs") << QByteArray("1\t10\t48") << 0 << 2 << " 1, 10, 48";
        QTest::newRow("single field") << QByteArray("182") << 0 << 1 << " 182";
        QTest::newRow("space before comma") << QByteArray("1 ,10") << 0 << 0 << " 1, 0, 10";
        QTest::newRow("empty entry") << QByteArray("1,,10") << 0 << 0 << " 1, 0, 10";
        QTest::newRow("spaces separate") << QByteArray("1 10") << 0 << 1 << " 1, 10";
        QTest::newRow("only separators") << QByteArray(",,") << 0 << 0 << " 0, 0, 0";
        QTest::newRow("comma and tab") << QByteArray("1,10\t48") << 3 << 0 << "";
        QTest::newRow("semicolon") << QByteArray("1;10") << 3 << 1 << "";
        QTest::newRow("letters") << QByteArray("SKU\tDESC") << 3 << 1 << "";
        QTest::newRow("empty line") << QByteArray("") << 0 << 1 << "";
        QTest::newRow("beyond 16 bits kept as written") << QByteArray("1,70000,10") << 0 << 0 << " 1, 70000, 10";
        // clang-format on
    }

    void headers()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, status);
        QFETCH(int, layout);
        QFETCH(QString, fieldList);
        const QString path = write("h.dat", header + "\r\n\"1\",\"x\"\r\n");
        auto r = reader();
        QCOMPARE(int(r->fopen(path, m_dict)), status);
        QCOMPARE(int(r->layout()), layout);
        if (status == 0) {
            QCOMPARE(r->FieldList(), fieldList);
            QVERIFY(m_messages.isEmpty());
            QVERIFY(r->isOpen());
        } else {
            QCOMPARE(m_messages, QStringList { QStringLiteral("Invalid Header: ") + path });
            QVERIFY(!r->isOpen());
        }
    }

    void fieldListArray()
    {
        auto r = reader();
        QCOMPARE(r->fopenData("1,10,48\r\n", "x", m_dict), qint16(0));
        QList<qint32> arr;
        QCOMPARE(r->GetFieldList(arr), qint16(3));
        QCOMPARE(arr, (QList<qint32> { 1, 10, 48, -1 }));
    }

    void openFailures()
    {
        auto r = reader();
        const QString missing = m_dir.filePath("missing.dat");
        QCOMPARE(r->fopen(missing, m_dict), qint16(1));
        QCOMPARE(r->fopen(m_dir.path(), m_dict), qint16(1));
        const QString empty = write("empty.dat", QByteArray());
        QCOMPARE(r->fopen(empty, m_dict), qint16(2));
        const QString nulFirst = write("nul.dat", QByteArray("\0\0\0", 3));
        QCOMPARE(r->fopen(nulFirst, m_dict), qint16(2));
        QCOMPARE(m_messages,
            (QStringList { "Can not open data file: " + missing,
                "Can not open data file: " + m_dir.path(), "Data file is empty: " + empty,
                "Data file is empty: " + nulFirst }));
    }

    void tooManyHeaderFieldsIsInvalid()
    {
        auto r = reader();
        QCOMPARE(r->fopenData(QByteArray(40000, ','), "wide", m_dict), qint16(3));
        QCOMPARE(r->fopenData(QByteArray(32766, ','), "wide", m_dict), qint16(0));
    }

    void records_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("value");

        const QByteArray qc = "1,10,48";
        const QByteArray quoted = "\"12345\",\"CLAW HAMMER, 16 OZ\",12.99";
        // clang-format off
        QTest::newRow("quoted sku") << qc << quoted << 1 << 0 << "12345";
        QTest::newRow("quoted with comma") << qc << quoted << 10 << 0 << "CLAW HAMMER, 16 OZ";
        QTest::newRow("unquoted last") << qc << quoted << 48 << 0 << "12.99";
        QTest::newRow("empty quoted") << qc << QByteArray("1,\"\",2") << 10 << 1 << "";
        QTest::newRow("blank is status 1") << qc << QByteArray("1,   ,2") << 10 << 1 << "";
        QTest::newRow("cut to length then trimmed")
            << qc
            << QByteArray("1,\"" + QByteArray(25, 'A') + "     " + QByteArray(10, 'B') + "\",2")
            << 10 << 0 << QString(25, QLatin1Char('A'));
        QTest::newRow("leading spaces stay") << qc << QByteArray("1,  x  ,2") << 10 << 0 << "  x";
        QTest::newRow("byte 1 and 2") << qc
                                      << QByteArray("1,\"O\x01Neil \x02"
                                                    "Best\x02\",2")
                                      << 10 << 0 << "O'Neil \"Best\"";
        QTest::newRow("Windows-1252") << qc << QByteArray("1,\"\x80 5 \x96 caf\xe9\",2") << 10 << 0
                                      << QString::fromUtf8("€ 5 – café");
        QTest::newRow("not in header") << qc << quoted << 56 << -1 << "";
        QTest::newRow("fields past a short record are blank") << qc << QByteArray("1,desc") << 48 << 1 << "";
        QTest::newRow("last field of a short record") << qc << QByteArray("1,desc") << 10 << 0 << "desc";
        QTest::newRow("past an unclosed quote") << qc << QByteArray("1,\"a,b") << 48 << 1 << "";
        QTest::newRow("unclosed quote runs to the end") << qc << QByteArray("\"1,2,3") << 1 << 0 << "\"1,2,3";
        QTest::newRow("quote closed at the end") << qc << QByteArray("1,2,\"x,y\"") << 48 << 0 << "x,y";
        QTest::newRow("tab layout keeps quotes inside")
            << QByteArray("1\t10") << QByteArray("1\tsay \"hi\", ok") << 10 << 0
            << "say \"hi\", ok";
        QTest::newRow("tab layout strips enclosing quotes")
            << QByteArray("1\t10") << QByteArray("1\t\"a,b\"") << 10 << 0 << "a,b";
        QTest::newRow("comma layout splits in quotes")
            << QByteArray("1 10") << QByteArray("\"a,b\",c") << 10 << 0 << "b\"";
        QTest::newRow("field listed twice reads the first")
            << QByteArray("10,1,10") << QByteArray("first,2,second") << 10 << 0 << "first";
        // 70000 wrapped to 16 bits would be 4464.
        QTest::newRow("number beyond 16 bits never matches")
            << QByteArray("1,70000,10") << QByteArray("1,big,d") << 4464 << -1 << "";
        QTest::newRow("field after it still found")
            << QByteArray("1,70000,10") << QByteArray("1,big,d") << 10 << 0 << "d";
        QTest::newRow("length zero empties") << QByteArray("1,54") << QByteArray("1,9.99") << 54 << 1 << "";
        QTest::newRow("negative length empties") << QByteArray("1,56") << QByteArray("1,9.99") << 56 << 1 << "";
        // clang-format on
    }

    void records()
    {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, record);
        QFETCH(int, field);
        QFETCH(int, status);
        QFETCH(QString, value);
        for (const QByteArray& end : { QByteArray("\r\n"), QByteArray("\n"), QByteArray() }) {
            auto r = reader();
            QCOMPARE(r->fopenData(header + "\r\n" + record + end, "x", m_dict), qint16(0));
            QVERIFY(r->gr());
            QString got = QStringLiteral("junk");
            QCOMPARE(int(r->gf(qint16(field), got)), status);
            QCOMPARE(got, value);
        }
    }

    void lineNavigation()
    {
        const QString path = write("nav.txt", "1\r\nA\r\nB\r\nC\r\n");
        auto r = reader();
        r->setBlockSize(3); // moving back and forth crosses blocks
        QCOMPARE(r->fopen(path, m_dict), qint16(0));
        QCOMPARE(r->lineNumber(), 0);
        QVERIFY(r->gr(3));
        QCOMPARE(r->LineBuf(), QStringLiteral("C"));
        QVERIFY(r->gr(1));
        QCOMPARE(r->LineBuf(), QStringLiteral("A"));
        QVERIFY(r->gr(-1));
        QCOMPARE(r->LineBuf(), QStringLiteral("B"));
        QVERIFY(r->gr(2)); // already there
        QVERIFY(r->gr());
        QVERIFY(!r->gr());
        QVERIFY(!r->gr());
        QCOMPARE(r->lineNumber(), 0);
        QVERIFY(!r->gr(4));
        // After the end, a line number starts over from the first record.
        QVERIFY(r->gr(2));
        QCOMPARE(r->LineBuf(), QStringLiteral("B"));
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
        QTest::newRow("CR LF and LF") << QByteArray("1\r\na\r\nb\nc") << QStringList { "a", "b", "c" };
        QTest::newRow("empty lines are records") << QByteArray("1\n\n\nx\n") << QStringList { "", "", "x" };
        QTest::newRow("lone CR stays") << QByteArray("1\na\rb\n") << QStringList { "a\rb" };
        QTest::newRow("NUL ends the data") << QByteArray("1\na\nb\0c\nd\n", 10) << QStringList { "a", "b" };
        QTest::newRow("NUL at a line start") << QByteArray("1\na\n\0b\n", 7) << QStringList { "a" };
        QTest::newRow("header only") << QByteArray("1\r\n") << QStringList {};
        QTest::newRow("header without line end") << QByteArray("1") << QStringList {};
        QTest::newRow("line far longer than a block")
            << QByteArray("1\r\n" + QByteArray(9000, 'L') + "\r\n\r\nend")
            << QStringList { QString(9000, QLatin1Char('L')), "", "end" };
        // clang-format on
    }

    // The same lines come out whatever the block size, including lines far
    // longer than a block and a CR LF split between two blocks (block 1 to 5).
    void lineEnds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        const QString path = write("lines.txt", file);
        for (const qint64 block : { 1, 2, 3, 5, 100, 65536 })
            QCOMPARE(readLines(path, block), lines);
    }

    void giganticSingleLine()
    {
        // Tens of megabytes without a line feed: read, cut, no crash.
        QByteArray file = "1,10\n\"" + QByteArray(24 * 1024 * 1024, 'x');
        const QString path = write("huge.dat", file);
        file.clear();
        auto r = reader();
        QCOMPARE(r->fopen(path, m_dict), qint16(0));
        QVERIFY(r->gr());
        QString v;
        QCOMPARE(r->gf(1, v), qint16(0));
        QCOMPARE(v.size(), 20);
        QVERIFY(!r->gr());
        // The same as a header: invalid, with its message.
        const QString hugeHeader = write("hugeheader.dat", QByteArray(24 * 1024 * 1024, '9') + "x");
        QCOMPARE(r->fopen(hugeHeader, m_dict), qint16(3));
        QCOMPARE(m_messages.size(), 1);
    }
};

QTEST_MAIN(TestDatFile)
#include "tst_datfile.moc"
