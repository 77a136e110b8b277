#include "itemdata/SkuLookup.h"
#include "support/TestDatabase.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The SKU lookup against real databases: SQLite files and the PostgreSQL
// cluster of scripts/test. Tables are written as
//   "col,col,...|value,value,...|..."  ("~" is a Null; "" is no table).
class TestLookup : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void sameSkuTwiceUsesOneRow_data();
    void sameSkuTwiceUsesOneRow();
    void numbersInDriverText_data();
    void numbersInDriverText();
    void silentServerGivesUp();

private:
    static void addBackendRows(const char* name, const QString& inv, const QString& cis,
        const QString& invConnect, const QString& cisConnect, const QString& sku,
        const QString& expected);
};

namespace {

const QString Full = QStringLiteral("1,10,48,54,56,177,178,179");
const QString HammerRow = QStringLiteral("A1,Hammer,9.99,5.10,7.99,Steel,Oak,Heavy");
const QString SpecialCols = QStringLiteral("1,10,48,54,56");
const QString SpecialRow = QStringLiteral("A1,Special hammer,8.88,4.44,6.66");
// "db" in a connection column means: the test database.
const QString Db = QStringLiteral("db");

bool fillTable(TestDatabase& db, const QString& table, const QString& spec)
{
    if (spec.isEmpty())
        return true;
    const QStringList parts = spec.split(QLatin1Char('|'));
    if (!db.createTable(table, parts.first().split(QLatin1Char(','))))
        return false;
    for (int i = 1; i < parts.size(); ++i) {
        QList<std::optional<QString>> values;
        for (const QString& value : parts.at(i).split(QLatin1Char(',')))
            values << (value == QLatin1String("~") ? std::nullopt : std::optional<QString>(value));
        if (!db.insert(table, values))
            return false;
    }
    return true;
}

QString joined(const SkuLookup::Result& result)
{
    QStringList values;
    for (const QString& value : result.values)
        values << value;
    return values.join(QLatin1Char('|'));
}

QString resolve(const QString& connect, const TestDatabase& db)
{
    return connect == Db ? db.connectString() : connect;
}

} // namespace

void TestLookup::addBackendRows(const char* name, const QString& inv, const QString& cis,
    const QString& invConnect, const QString& cisConnect, const QString& sku,
    const QString& expected)
{
    for (TestDatabase::Backend backend : { TestDatabase::SQLite, TestDatabase::PostgreSQL }) {
        QTest::addRow("%s: %s", qPrintable(TestDatabase::backendName(backend)), name)
            << backend << inv << cis << invConnect << cisConnect << sku << expected;
    }
}

void TestLookup::lookup_data()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::addColumn<QString>("inv");
    QTest::addColumn<QString>("cis");
    QTest::addColumn<QString>("invConnect");
    QTest::addColumn<QString>("cisConnect");
    QTest::addColumn<QString>("sku");
    QTest::addColumn<QString>("expected");

    const QString inv = Full + "|" + HammerRow + "|B2,Saw,19.50,11,15,Sharp,,Fine";
    const QString cis = SpecialCols + "|" + SpecialRow + "|C3,Drill,49,30,45";
    const QString noBullets = "||||||";

    addBackendRows("neither set", inv, cis, "", "", "A1", noBullets);
    addBackendRows(
        "inv only, found", inv, "", Db, "", "A1", "Hammer|9.99|5.10|7.99|Steel|Oak|Heavy");
    addBackendRows("inv complete, special set", inv, cis, Db, Db, "A1",
        "Hammer|9.99|5.10|7.99|Steel|Oak|Heavy");
    addBackendRows(
        "empty text counts as found", inv, cis, Db, Db, "B2", "Saw|19.50|11|15|Sharp||Fine");
    addBackendRows("absent from inv, in special", inv, cis, Db, Db, "C3", "Drill|49|30|45|||");
    addBackendRows("absent everywhere", inv, cis, Db, Db, "Z9", noBullets);
    addBackendRows("inv without 56 does not ask special",
        "1,10,48,54,177,178,179|A1,Hammer,9.99,5.10,Steel,Oak,Heavy", cis, Db, Db, "A1",
        "Hammer|9.99|5.10||Steel|Oak|Heavy");
    addBackendRows("inv without 54 asks special for cost only",
        "1,10,48,56,177,178,179|A1,Hammer,9.99,7.99,Steel,Oak,Heavy", cis, Db, Db, "A1",
        "Hammer|9.99|4.44|7.99|Steel|Oak|Heavy");
    addBackendRows("inv without 54 and 56: special gives both", "1,10,48,177|A1,Hammer,9.99,Steel",
        cis, Db, Db, "A1", "Hammer|9.99|4.44|6.66|Steel||");
    addBackendRows("special without 48: retail stays empty", "1,177|A1,Steel",
        "1,10,54,56|A1,Special hammer,4.44,6.66", Db, Db, "A1",
        "Special hammer||4.44|6.66|Steel||");
    addBackendRows("null counts as found", Full + "|A1,~,9.99,5.10,~,Steel,~,Heavy", cis, Db, Db,
        "A1", "|9.99|5.10||Steel||Heavy");
    addBackendRows("null in special counts as found", "1,177|A1,Steel",
        SpecialCols + "|A1,~,8.88,~,6.66", Db, Db, "A1", "|8.88||6.66|Steel||");
    addBackendRows("inv string of spaces is not set", inv, cis, "   ", Db, "A1",
        "Special hammer|8.88|4.44|6.66|||");
    addBackendRows("inv that cannot connect", inv, cis,
        "DSN=kestrane_no_such_source;UID=SA;PWD=", Db, "A1", "Special hammer|8.88|4.44|6.66|||");
    addBackendRows("no inv table", "", cis, Db, Db, "A1", "Special hammer|8.88|4.44|6.66|||");
    addBackendRows("sku with spaces matches only itself",
        Full + "|A1,Plain,1,1,1,,,| A1 ,Spaced,2,2,2,,,", "", Db, "", " A1 ", "Spaced|2|2|2|||");
    // Text that would widen the statement if pasted in must find only itself.
    addBackendRows("injection text finds only itself", inv + "|' OR '1'='1,Odd,4,4,4,,,", cis, Db,
        Db, "' OR '1'='1", "Odd|4|4|4|||");
    addBackendRows("text beyond Latin-1", Full + "|\u00c9-7,Caf\u00e9 \u00bd\u2033 \u20ac,1,1,1,,,",
        "", Db, "", "\u00c9-7", "Caf\u00e9 \u00bd\u2033 \u20ac|1|1|1|||");
}

void TestLookup::lookup()
{
    QFETCH(TestDatabase::Backend, backend);
    QFETCH(QString, inv);
    QFETCH(QString, cis);
    QFETCH(QString, invConnect);
    QFETCH(QString, cisConnect);
    QFETCH(QString, sku);
    QFETCH(QString, expected);
    KESTRANE_REQUIRE_BACKEND(backend);

    TestDatabase db(backend);
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    QVERIFY2(fillTable(db, "inv", inv), qPrintable(db.error()));
    QVERIFY2(fillTable(db, "special", cis), qPrintable(db.error()));

    const SkuLookup::Result result
        = SkuLookup::run(sku, resolve(invConnect, db), resolve(cisConnect, db));
    QCOMPARE(joined(result), expected);
}

void TestLookup::sameSkuTwiceUsesOneRow_data()
{
    addBackendData();
}

// Several rows with the SKU: the statement has no order, so either row may
// come first, but every box must come from that one row.
void TestLookup::sameSkuTwiceUsesOneRow()
{
    QFETCH(TestDatabase::Backend, backend);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestDatabase db(backend);
    QVERIFY2(fillTable(db, "inv",
                 Full + "|A1,First,1,1,1,a,a,a|A1,Second,2,2,2,b,b,b|B1,Other,3,3,3,c,c,c"),
        qPrintable(db.error()));
    const QString got = joined(SkuLookup::run("A1", db.connectString(), QString()));
    QVERIFY2(got == "First|1|1|1|a|a|a" || got == "Second|2|2|2|b|b|b", qPrintable(got));
}

void TestLookup::numbersInDriverText_data()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::addColumn<QString>("expected");
    // The driver's own text for each type: no formatting of ours on top.
    QTest::newRow("sqlite") << TestDatabase::SQLite << "Nails|19.99|7|0.5|||";
    QTest::newRow("postgresql") << TestDatabase::PostgreSQL << "Nails|19.99|7|0.50|||";
}

void TestLookup::numbersInDriverText()
{
    QFETCH(TestDatabase::Backend, backend);
    QFETCH(QString, expected);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestDatabase db(backend);
    QVERIFY2(
        db.exec("CREATE TABLE inv (\"1\" VARCHAR(20), \"10\" VARCHAR(50), \"48\" NUMERIC(10,2), "
                "\"54\" INTEGER, \"56\" NUMERIC(10,2))")
            && db.exec("INSERT INTO inv VALUES ('N1', 'Nails', 19.99, 7, 0.5)"),
        qPrintable(db.error()));
    QCOMPARE(joined(SkuLookup::run("N1", db.connectString(), QString())), expected);
}

// A server that accepts the connection and never answers: the login timeout
// ends the attempt, the lookup goes on to the CIS database and ends normally.
void TestLookup::silentServerGivesUp()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    KESTRANE_REQUIRE_BACKEND(TestDatabase::PostgreSQL);
    // A listening socket nobody accepts on: the kernel completes the
    // handshake, and then nothing is ever said.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(silent >= 0);
    const auto closeSilent = qScopeGuard([silent] { ::close(silent); });
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(bind(silent, reinterpret_cast<sockaddr*>(&address), length) == 0);
    QVERIFY(listen(silent, 4) == 0);
    QVERIFY(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    const QString invConnect = QStringLiteral(
        "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=%1;Database=x;Uid=a;Pwd=b")
                                   .arg(ntohs(address.sin_port));
    TestDatabase cis(TestDatabase::SQLite);
    QVERIFY(fillTable(cis, "special", SpecialCols + "|" + SpecialRow));

    QElapsedTimer timer;
    timer.start();
    const SkuLookup::Result result = SkuLookup::run("A1", invConnect, cis.connectString());
    qInfo("lookup against a silent server ended after %lld ms", timer.elapsed());
    QCOMPARE(joined(result), QString("Special hammer|8.88|4.44|6.66|||"));
}

QTEST_GUILESS_MAIN(TestLookup)
#include "tst_lookup.moc"
