// The POS data file reader: headers, records, line ends and field lines.

#include "FileTestSupport.h"

namespace {

// Columns file, field and expected; returns what adds a row of them.
auto fileRows()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("expected");
    return [](const char* name, const QByteArray& file, int field, const QString& expected) {
        QTest::newRow(name) << file << field << expected;
    };
}

} // namespace

class TestDatFile : public QObject
{
    Q_OBJECT

    QString write(const char* n, const QByteArray& b) { return writeTestFile(m_dir.path(), n, b); }
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
        const auto row = [](const char* name, const QByteArray& header, const QString& expected) {
            QTest::newRow(name) << header << expected;
        };
        row("commas", "1,10,48", "0|0| 1, 10, 48");
        row("tabs", "1\t10\t48", "0|2| 1, 10, 48");
        row("single field", "182", "0|1| 182");
        row("space before comma", "1 ,10", "0|0| 1, 0, 10");
        row("empty entry", "1,,10", "0|0| 1, 0, 10");
        row("spaces separate", "1 10", "0|1| 1, 10");
        row("comma and tab", "1,10\t48", "3|0|");
        row("letters", "SKU\tDESC", "3|1|");
        row("empty line", "", "0|1|");
        row("beyond 16 bits kept as written", "1,70000,10", "0|0| 1, 70000, 10");
        row("most fields", QByteArray(32766, ','), "0|0|" + QStringList(32767, " 0").join(','));
        row("too many fields", QByteArray(40000, ','), "3|0|");
        row("gigantic", QByteArray(24 * 1024 * 1024, '9') + "x", "3|1|");
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
        QCOMPARE(m_messages.join('\n'), status == 0 ? QString() : "Invalid Header: " + path);
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
        const auto row = fileRows();
        const QByteArray qc = "1,10,48\r\n";
        const QByteArray quoted = qc + "\"12345\",\"CLAW HAMMER, 16 OZ\",12.99";
        const QByteArray tabs = "1\t10\r\n1\t";
        row("quoted sku", quoted, 1, "0|12345");
        row("quoted with comma", quoted, 10, "0|CLAW HAMMER, 16 OZ");
        row("not in header", quoted, 56, "-1|");
        row("empty quoted", qc + "1,\"\",2", 10, "1|");
        row("cut to length then trimmed",
            qc + "1,\"" + QByteArray(25, 'A') + "     " + QByteArray(10, 'B') + "\",2", 10,
            "0|" + QString(25, 'A'));
        row("leading spaces stay", qc + "1,  x  ,2", 10, "0|  x");
        row("byte 1 and 2", qc + "1,\"O\001Neil \002Best\002\",2", 10, "0|O'Neil \"Best\"");
        row("Windows-1252", qc + "1,\"\x80 5 \x96 caf\xe9\",2", 10,
            QString::fromUtf8("0|€ 5 – café"));
        row("fields past a short record are blank", qc + "1,desc", 48, "1|");
        row("past an unclosed quote", qc + "1,\"a,b", 48, "1|");
        row("unclosed quote runs to the end", qc + "\"1,2,3", 1, "0|\"1,2,3");
        row("quote closed at the end", qc + "1,2,\"x,y\"", 48, "0|x,y");
        row("tab layout keeps quotes inside", tabs + "say \"hi\", ok", 10, "0|say \"hi\", ok");
        row("tab layout strips enclosing quotes", tabs + "\"a,b\"", 10, "0|a,b");
        row("comma layout splits in quotes", "1 10\r\n\"a,b\",c", 10, "0|b\"");
        row("field listed twice reads the first", "10,1,10\r\nfirst,2,second", 10, "0|first");
        // 70000 wrapped to 16 bits would be 4464.
        row("number beyond 16 bits never matches", "1,70000,10\r\n1,big,d", 4464, "-1|");
        row("length zero empties", "1,54\r\n1,9.99", 54, "1|");
        row("negative length empties", "1,56\r\n1,9.99", 56, "1|");
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
        QFile::remove(path); // the file may go away: the reader keeps its open handle
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
        r->fclose();
        QVERIFY(!r->gr());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char* name, const QByteArray& file, const QStringList& lines) {
            QTest::newRow(name) << file << lines;
        };
        const QByteArray longLine(9000, 'L');
        row("CR LF and LF", "1\r\na\r\nb\nc", { "a", "b", "c" });
        row("empty lines are records", "1\n\n\nx\n", { "", "", "x" });
        row("lone CR stays", "1\na\rb\n", { "a\rb" });
        row("NUL ends the data", QByteArray("1\na\nb\0c\nd\n", 10), { "a", "b" });
        row("NUL at a line start", QByteArray("1\na\n\0b\n", 7), { "a" });
        row("header only", "1\r\n", {});
        row("header without line end", "1", {});
        row("line far longer than a block", "1\r\n" + longLine + "\r\n\r\nend",
            { longLine, "", "end" });
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
        const auto row = fileRows();
        row("lower-case name", "[inv]\r\n10,1,30:Desc\r\n", 10, "0|1|30|Desc");
        row("level 150 not taken", "[INV]150\r\n10,1,30:Desc\r\n", 10, "2|0|0|");
        row("other section", "[CIS]\r\n10,1,30:Desc\r\n", 10, "2|0|0|");
        row("later definition wins", "[INV]\r\n10,1,30:First\r\n[INV]\r\n10,0,12:Second\r\n", 10,
            "0|0|12|Second");
        row("commas and colons in description",
            "[INV]\r\n10,1,30:Desc, with comma: and colon  \r\n", 10,
            "0|1|30|Desc, with comma: and colon  ");
        row("no colon skipped", "[INV]\r\n10,1,30\r\n", 10, "0|0|0|");
        row("field above 199 skipped", "[INV]\r\n250,1,30:X\r\n", 0, "0|0|0|");
        row("comment skipped", "[INV]\r\n/10,1,30:x\r\n", 10, "2|0|0|");
        row("header is the last line", "10,1,30:x\r\n[INV]", 10, "2|0|0|");
        row("END stops reading", "[INV]\r\n[end]\r\n[INV]\r\n10,1,30:x\r\n", 10, "0|0|0|");
        // A "[" line without "]" still ends the selected section.
        row("bracket without close leaves the section", "[INV]\r\n[END\r\n10,1,30:x\r\n", 10,
            "0|0|0|");
        row("numbers with spaces and halves", "[INV]\r\n 10 , 2 ,30.5 :x\r\n", 10, "0|2|30|x");
        row("LF and CR line ends", "[INV]\n10,1,30:a\r48,0,8:b\n", 48, "0|0|8|b");
        row("Windows-1252 description", "[INV]\r\n10,1,3:Caf\xe9 \x80\r\n", 10,
            QString::fromUtf8("0|1|3|Café €"));
        row("field number too large", "[INV]\r\n40000,1,2:x\r\n", 10, "1|0|0|");
        row("length too large", "[INV]\r\n10,1,99999:x\r\n", 10, "1|0|0|");
        row("level too large", "[INV]70000\r\n10,1,3:x\r\n", 10, "1|0|0|");
        row("lines before the failure stay", "[INV]\r\n10,1,30:kept\r\n48,1,99999:x\r\n", 10,
            "1|1|30|kept");
    }
    // From a file and from memory alike.
    void fieldLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, field);
        QFETCH(QString, expected);
        qorDct d;
        qorDct m;
        const qint16 status = d.setup(write("d.dct", file), "inv", 99);
        QCOMPARE(m.setupFromData(file, "INV", 99), status);
        for (const qorDct* dict : { &d, &m }) {
            const auto f = qint16(field);
            const QString got = QString("%1|%2|%3|%4").arg(status).arg(dict->dAlpha(f));
            QCOMPARE(got.arg(dict->dLen(f)).arg(dict->dDesc(f)), expected);
        }
    }
};

QTEST_MAIN(TestDatFile)
#include "tst_datfile.moc"
