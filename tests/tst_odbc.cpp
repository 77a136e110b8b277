#include "base/OdbcConnection.h"
#include "base/OdbcStatement.h"
#include "support/TestDatabase.h"

#include <QtTest>

// The ODBC layer against the SQLite and PostgreSQL drivers: text in and out
// unchanged, Null apart from empty text, diagnostics, quoting.
class TestOdbc : public QObject
{
    Q_OBJECT

private slots:
    void quoting_data();
    void quoting();
    void roundTrip_data();
    void roundTrip();
    void readingOutsideTheResult_data();
    void readingOutsideTheResult();
    void diagnostics_data();
    void diagnostics();
    void noCreateLeavesNoFile();
};

void TestOdbc::quoting_data()
{
    QTest::addColumn<QString>("quoteChar");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("quoted");
    // clang-format off
    QTest::newRow("double quote") << "\"" << "1" << "\"1\"";
    QTest::newRow("brackets") << "[" << "10" << "[10]";
    QTest::newRow("quote inside doubled") << "\"" << "a\"b" << "\"a\"\"b\"";
    QTest::newRow("bracket inside doubled") << "[" << "a]b" << "[a]]b]";
    // A space is the driver saying it cannot quote at all.
    QTest::newRow("no quoting") << " " << "1" << "";
    QTest::newRow("unknown") << "" << "1" << "";
    // clang-format on
}

void TestOdbc::quoting()
{
    QFETCH(QString, quoteChar);
    QFETCH(QString, name);
    QFETCH(QString, quoted);
    QCOMPARE(OdbcConnection::quoteIdentifier(quoteChar, name), quoted);
}

void TestOdbc::roundTrip_data()
{
    addBackendData();
}

// What goes in through a bound parameter comes out of a fetch unchanged:
// long text in one piece, text beyond Latin-1, empty text as empty text and
// a Null as a Null; one prepared statement runs with new values each time.
void TestOdbc::roundTrip()
{
    QFETCH(TestDatabase::Backend, backend);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestDatabase db(backend);
    QVERIFY2(db.exec("CREATE TABLE t (\"1\" VARCHAR(20), \"10\" VARCHAR(6000))"),
        qPrintable(db.error()));

    OdbcConnection connection;
    QVERIFY(connection.open(db.connectString()));
    QCOMPARE(connection.identifierQuoteChar(), QString("\""));

    QString longText;
    for (int i = 0; longText.size() < 5000; ++i)
        longText += QString::number(i) + QChar(0x20ac);
    const QList<std::pair<QString, std::optional<QString>>> rows = {
        { "long", longText },
        { "empty", QString("") },
        { "null", std::nullopt },
        { "quotes", QString("it's \"so\"; -- not SQL") },
        { " spaced ", QString(" kept ") },
    };
    OdbcStatement insert(connection);
    QVERIFY(insert.prepare("INSERT INTO t VALUES (?, ?)"));
    OdbcStatement insertNull(connection);
    QVERIFY(insertNull.prepare("INSERT INTO t VALUES (?, NULL)"));
    for (const auto& row : rows) {
        OdbcStatement& statement = row.second ? insert : insertNull;
        QVERIFY(statement.bindText(1, row.first));
        if (row.second)
            QVERIFY(statement.bindText(2, *row.second));
        QVERIFY2(statement.execute(), qPrintable(statement.lastError().description));
    }

    OdbcStatement select(connection);
    QVERIFY(select.prepare("SELECT \"10\", \"1\" FROM t WHERE \"1\" = ?"));
    for (const auto& row : rows) {
        QVERIFY(select.bindText(1, row.first));
        QVERIFY2(select.execute(), qPrintable(select.lastError().description));
        QCOMPARE(select.columnNames(), QStringList({ "10", "1" }));
        QVERIFY(select.fetch());
        std::optional<QString> value { QString("unset") };
        QVERIFY(select.value("10", &value));
        QCOMPARE(value, row.second);
        QVERIFY(select.value("1", &value));
        QCOMPARE(value, std::optional<QString>(row.first));
        QVERIFY(!select.fetch());
        QVERIFY(!select.lastError().failed());
    }
}

void TestOdbc::readingOutsideTheResult_data()
{
    addBackendData();
}

void TestOdbc::readingOutsideTheResult()
{
    QFETCH(TestDatabase::Backend, backend);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestDatabase db(backend);
    QVERIFY(db.createTable("t", { "1" }) && db.insert("t", { QString("x") }));
    OdbcConnection connection;
    QVERIFY(connection.open(db.connectString()));
    OdbcStatement statement(connection);
    QVERIFY(statement.execDirect("SELECT * FROM t"));
    std::optional<QString> value;
    QVERIFY2(!statement.value("1", &value), "no row fetched yet");
    QVERIFY(statement.fetch());
    QVERIFY(statement.value("1", &value));
    QVERIFY2(!statement.value("10", &value), "no such column");
    QVERIFY(!statement.value(5, &value));
    QVERIFY(!statement.fetch());
    QVERIFY2(!statement.value("1", &value), "past the end");
}

void TestOdbc::diagnostics_data()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("mentions");
    // clang-format off
    for (const auto backend : { TestDatabase::SQLite, TestDatabase::PostgreSQL }) {
        const QString name = TestDatabase::backendName(backend);
        QTest::addRow("%s: no table", qPrintable(name)) << backend << "SELECT * FROM nowhere" << "nowhere";
        QTest::addRow("%s: bad syntax", qPrintable(name)) << backend << "SELEC 1" << "SELEC";
    }
    // clang-format on
}

// A failing statement reports a non-zero number and the driver's text on
// one line; the connection stays usable.
void TestOdbc::diagnostics()
{
    QFETCH(TestDatabase::Backend, backend);
    QFETCH(QString, statement);
    QFETCH(QString, mentions);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestDatabase db(backend);
    OdbcConnection connection;
    QVERIFY(connection.open(db.connectString()));
    OdbcStatement failing(connection);
    QVERIFY(!failing.execDirect(statement));
    const OdbcError error = failing.lastError();
    QVERIFY(error.failed());
    QVERIFY(error.number != 0);
    QVERIFY2(error.description.contains(mentions), qPrintable(error.description));
    QVERIFY2(!error.description.contains('\n'), qPrintable(error.description));
    QVERIFY(!failing.fetch());

    OdbcStatement working(connection);
    QVERIFY2(working.execDirect("SELECT 1"), qPrintable(working.lastError().description));
    QVERIFY(working.fetch());
}

// The SQLite driver makes an empty database for a file that does not exist,
// unless told NoCreat=1; the driver manager's own failures come back too.
void TestOdbc::noCreateLeavesNoFile()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    QTemporaryDir dir;
    const QString file = dir.filePath("absent.db");
    OdbcConnection connection;
    QVERIFY(!connection.open("Driver=SQLite3;Database=" + file + ";NoCreat=1"));
    QVERIFY(connection.lastError().failed());
    QVERIFY(!QFile::exists(file));
    QVERIFY(!connection.isOpen());

    QVERIFY(!connection.open("DSN=kestrane_no_such_source;UID=SA;PWD="));
    QCOMPARE(connection.lastError().number, -1);
    QCOMPARE(connection.lastError().sqlState, QString("IM002"));
}

QTEST_GUILESS_MAIN(TestOdbc)
#include "tst_odbc.moc"
