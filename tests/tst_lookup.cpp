#include "base/OdbcConnectString.h"
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/SettingsKeys.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/LookupService.h"
#include "itemdata/SkuLookup.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString Full = QStringLiteral("1,10,48,54,56,177,178,179");
const QString Inv
    = Full + "|A1,Hammer,9.99,5.10,7.99,Steel,Oak,Heavy|B2,Saw,19.50,11,15,Sharp,,Fine";
const QString Cis
    = QStringLiteral("1,10,48,54,56|A1,Special hammer,8.88,4.44,6.66|C3,Drill,49,30,45");

QString joined(const SkuLookup::Result& result)
{
    return QStringList(result.values.begin(), result.values.end()).join('|');
}

// The test cluster's server and its children, by process id.
QStringList clusterProcesses()
{
    QFile pidFile(qEnvironmentVariable("KESTRANE_PG_DIR") + "/data/postmaster.pid");
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const QString postmaster = QString::fromLatin1(pidFile.readLine()).trimmed();
    QProcess children;
    children.start("pgrep", { "-P", postmaster });
    children.waitForFinished();
    return QStringList { postmaster }
    + QString::fromLatin1(children.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

bool signalAll(const QStringList& pids, const char* signal)
{
    return QProcess::execute("kill", QStringList { signal } + pids) == 0;
}

} // namespace

// The SKU lookup and its ODBC layer against SQLite files and the PostgreSQL
// cluster, on new and kept connections, with a server that goes silent or
// restarts, and locks.
class TestLookup : public QObject
{
    Q_OBJECT

private slots:
    void init() { OdbcPool::closeAll(); }

    // A quoted column name doubles the closing quote; a space or nothing from
    // the driver means it cannot quote at all.
    void quoting()
    {
        QCOMPARE(OdbcConnection::quoteIdentifier("\"", "a\"b"), QString("\"a\"\"b\""));
        QCOMPARE(OdbcConnection::quoteIdentifier("[", "a]b"), QString("[a]]b]"));
        QCOMPARE(
            OdbcConnection::quoteIdentifier(" ", "1") + OdbcConnection::quoteIdentifier("", "1"),
            QString());
    }

    void lookup_data()
    {
        // inv and cis: a table ("col,col|value,value|...", "~" a Null) in the
        // test database, "db" for the database without the table, or a
        // connection string ("%1" an absent file). Expected: the boxes and
        // the status line, "a or b" for either.
        for (const char* column : { "inv", "cis", "sku", "expected" })
            QTest::addColumn<QString>(column);
        QTest::addColumn<TestDatabase::Backend>("backend");
        const auto row = [](const char* name, const QString& inv, const QString& cis,
                             const QString& sku, const QString& expected, QString pg = {}) {
            QTest::addRow("sqlite: %s", name)
                << inv << cis << sku << expected << TestDatabase::SQLite;
            QTest::addRow("postgresql: %s", name)
                << inv << cis << sku << (pg.isEmpty() ? expected : pg) << TestDatabase::PostgreSQL;
        };
        const QString inInv = " / SKU A1 found in inventory";
        const QString special = "Special hammer|8.88|4.44|6.66||| / SKU A1 found in CIS";
        const QString down = "; Inventory database unavailable: ";
        const QString noFile = "|||||| / Inventory database unavailable: database file not found: ";
        QString longText;
        for (int i = 0; longText.size() < 5000; ++i)
            longText += QString::number(i) + QChar(0x20ac);
        row("neither set", "", "", "A1", "|||||| / SKU A1 not found");
        row("inv complete, special set", Inv, Cis, "A1",
            "Hammer|9.99|5.10|7.99|Steel|Oak|Heavy" + inInv);
        row("empty text counts as found", Inv, Cis, "B2",
            "Saw|19.50|11|15|Sharp||Fine / SKU B2 found in inventory");
        row("absent from inv, in special", Inv, Cis, "C3",
            "Drill|49|30|45||| / SKU C3 found in CIS");
        row("absent everywhere", Inv, Cis, "Z9", "|||||| / SKU Z9 not found");
        row("no 56: special not asked", "1,10,48,54|A1,Hammer,9.99,5.10", Cis, "A1",
            "Hammer|9.99|5.10||||" + inInv);
        row("no 54: special gives cost only", "1,10,48,56|A1,Hammer,9.99,7.99", Cis, "A1",
            "Hammer|9.99|4.44|7.99|||" + inInv);
        row("no 54, 56: special gives both", "1,10,48,177|A1,Hammer,9.99,Steel", Cis, "A1",
            "Hammer|9.99|4.44|6.66|Steel||" + inInv);
        row("special without 48: retail stays empty", "1,177|A1,Steel",
            "1,10,54,56|A1,Special hammer,4.44,6.66", "A1",
            "Special hammer||4.44|6.66|Steel||" + inInv);
        row("null counts as found", "1,10,48,177|A1,~,9.99,Steel", "1,10,48,54,56|A1,X,1,~,6.66",
            "A1", "|9.99||6.66|Steel||" + inInv);
        row("inv string of spaces is not set", "   ", Cis, "A1", special);
        row("inv that cannot connect", "DSN=kestrane_no_such_source;UID=SA;PWD=", Cis, "A1",
            special + down
                + "[unixODBC][Driver Manager]Data source name not found and no default driver "
                  "specified");
        row("no inv table", "db", Cis, "A1", special + down + "[SQLite]no such table: inv (1)",
            special + down
                + "ERROR: relation \"inv\" does not exist; Error while preparing parameters");
        row("sku with spaces matches only itself", Full + "|A1,Plain,1,1,1,,,| A1 ,Spaced,2,2,2,,,",
            "", " A1 ", "Spaced|2|2|2||| / SKU  A1  found in inventory");
        // Text that would widen the statement if pasted in must find only itself.
        row("injection text finds only itself", Inv + "|' OR '1'='1,Odd,4,4,4,,,", Cis,
            "' OR '1'='1", "Odd|4|4|4||| / SKU ' OR '1'='1 found in inventory");
        row("text beyond Latin-1", Full + "|\u00c9-7,Caf\u00e9 \u00bd\u2033 \u20ac,1,1,1,,,", "",
            "\u00c9-7", "Caf\u00e9 \u00bd\u2033 \u20ac|1|1|1||| / SKU \u00c9-7 found in inventory");
        row("long text in one piece", Full + "|L1," + longText + ",1,1,1,,,", "", "L1",
            longText + "|1|1|1||| / SKU L1 found in inventory");
        // The statement has no order: every box comes from one of the rows.
        row("same sku twice uses one row",
            Full + "|A1,First,1,1,1,a,a,a|A1,Second,2,2,2,b,b,b|B1,Other,3,3,3,c,c,c", "", "A1",
            "First|1|1|1|a|a|a" + inInv + " or Second|2|2|2|b|b|b" + inInv);
        // The driver's own text for each type: no formatting of ours on top.
        const QString numbers = "CREATE TABLE inv (\"1\" VARCHAR(20), \"10\" VARCHAR(50), \"48\" "
                                "NUMERIC(10,2), \"54\" INTEGER, \"56\" NUMERIC(10,2));INSERT "
                                "INTO inv VALUES ('N1', 'Nails', 19.99, 7, 0.5)";
        row("numbers", numbers, "", "N1", "Nails|19.99|7|0.5||| / SKU N1 found in inventory",
            "Nails|19.99|7|0.50||| / SKU N1 found in inventory");
        row("missing file, CIS answers", "Driver=SQLite3;Database=%1", Cis, "C3",
            "Drill|49|30|45||| / SKU C3 found in CIS" + down + "database file not found: %1");
        row("missing file with its own timeout", "Driver=SQLite3;Database=%1;Timeout=100", Cis,
            "Z9", noFile + "%1");
        // Without a database the driver would make a file named after the string.
        row("no database", "Driver=SQLite3", Cis, "Z9", noFile + "Driver=SQLite3");
        row("string too long", QString(40000, 'x'), Cis, "Z9",
            "|||||| / Inventory database unavailable: The connection string is too long: 40000 "
            "characters, at most 32767");
    }

    void lookup()
    {
        QFETCH(QString, inv);
        QFETCH(QString, cis);
        QFETCH(QString, sku);
        QFETCH(QString, expected);
        QFETCH(TestDatabase::Backend, backend);
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QTemporaryDir dir;
        const QString absent = dir.filePath("absent\t.db");
        for (auto [table, spec] : { std::pair { "inv", &inv }, std::pair { "special", &cis } }) {
            const bool sql = spec->startsWith("CREATE ");
            if (sql || spec->contains('|'))
                QVERIFY2(sql ? db.exec(*spec) : db.fill(table, *spec), qPrintable(db.error()));
            if (sql || spec->contains('|') || *spec == "db")
                *spec = db.connectString();
            spec->replace("%1", absent);
        }
        // The same boxes and status line whether the connection is new or kept.
        for (const char* round : { "new connection", "kept connection" }) {
            const SkuLookup::Result result = SkuLookup::run(sku, inv, cis);
            const QString got = joined(result) + " / " + result.status;
            QVERIFY2(expected.replace("%1", absent).split(" or ").contains(got),
                qPrintable(QString(round) + ": " + got));
        }
        if (inv == db.connectString())
            QCOMPARE(OdbcPool::idleCount(inv), 1);
        QVERIFY(!QFile::exists(absent) && !QFile::exists(inv));
    }

    // A server that accepts the connection and never answers (a listening
    // socket nobody accepts on): the login timeout ends the attempt, and the
    // lookup goes on to the CIS database.
    void silentServerGivesUp()
    {
        TestDatabase db(TestDatabase::PostgreSQL);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("special", Cis), qPrintable(db.error()));
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
        const QString inv
            = "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=%1;Database=x;Uid=a;Pwd=b";
        const SkuLookup::Result result
            = SkuLookup::run("A1", inv.arg(ntohs(address.sin_port)), db.connectString());
        QCOMPARE(joined(result), QString("Special hammer|8.88|4.44|6.66|||"));
    }

    // The server restarts between two lookups: the second finds its kept
    // connection dead, replaces it, and still fills the boxes.
    void restartedServer()
    {
        TestDatabase db(TestDatabase::PostgreSQL);
        KESTRANE_USE(db);
        const QString pgCtl = qEnvironmentVariable("KESTRANE_PG_BIN") + "/pg_ctl";
        if (!QFile::exists(pgCtl))
            QSKIP("KESTRANE_PG_BIN does not name the cluster's programs");
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        const QString hammer = "Hammer|9.99|5.10|7.99|Steel|Oak|Heavy";
        QCOMPARE(joined(SkuLookup::run("A1", db.connectString(), QString())), hammer);
        QStringList command { pgCtl, "-D", qEnvironmentVariable("KESTRANE_PG_DIR") + "/data", "-w",
            "-m", "fast", "restart" };
        // The server refuses to run as root; the cluster's owner restarts it.
        if (geteuid() == 0)
            command = QStringList { "runuser", "-u", "postgres", "--" } + command;
        QProcess restart;
        restart.start(command.takeFirst(), command);
        QVERIFY(restart.waitForFinished(60000));
        QVERIFY2(restart.exitCode() == 0, restart.readAllStandardError().constData());
        const SkuLookup::Result result = SkuLookup::run("A1", db.connectString(), QString());
        QVERIFY2(joined(result) == hammer, qPrintable(result.status));
        QCOMPARE(result.status, QString("SKU A1 found in inventory"));
    }

    // A server that stops answering after a lookup left a kept connection
    // (the cluster paused): the lookup gives up at its deadline while the
    // caller's event loop keeps running, and once the server answers again
    // the next lookup works on a new connection.
    void pausedServer()
    {
        TestDatabase db(TestDatabase::PostgreSQL);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        const QString hammer = "Hammer|9.99|5.10|7.99|Steel|Oak|Heavy";
        QCOMPARE(joined(SkuLookup::run("A1", db.connectString(), QString())), hammer);
        const QStringList pids = clusterProcesses();
        if (pids.isEmpty())
            QSKIP("KESTRANE_PG_DIR does not name the running cluster");
        bool paused = true;
        const auto resume = qScopeGuard([&] {
            if (paused)
                signalAll(pids, "-CONT");
        });
        QVERIFY(signalAll(pids, "-STOP"));

        LookupService service;
        QSignalSpy finished(&service, &LookupService::finished);
        qint64 longestGap = 0;
        QElapsedTimer sinceTick;
        sinceTick.start();
        QTimer ticker;
        QObject::connect(
            &ticker, &QTimer::timeout, [&] { longestGap = qMax(longestGap, sinceTick.restart()); });
        ticker.start(20);
        QElapsedTimer took;
        took.start();
        service.lookUp("A1", db.connectString(), QString());
        QVERIFY(finished.wait(6000));
        QVERIFY2(took.elapsed() < 6000, "the lookup outlasted its deadline");
        QVERIFY2(longestGap < 100, qPrintable(QString("event loop held %1 ms").arg(longestGap)));
        const auto result = finished.first().at(2).value<SkuLookup::Result>();
        QCOMPARE(result.status, QString("Inventory database unavailable: no answer in 5 s"));
        QCOMPARE(joined(result), QString("||||||"));
        // The abandoned call, still inside the driver, holds up no other database.
        TestDatabase other(TestDatabase::SQLite);
        QVERIFY2(other.fill("inv", Inv), qPrintable(other.error()));
        QCOMPARE(joined(SkuLookup::run("A1", other.connectString(), QString())), hammer);

        paused = false;
        QVERIFY(signalAll(pids, "-CONT"));
        const SkuLookup::Result after = SkuLookup::run("A1", db.connectString(), QString());
        QVERIFY2(joined(after) == hammer, qPrintable(after.status));
    }

    // A statement error (the CIS database lacks its table) keeps the
    // connection: no new login per lookup. A temporary table lives only as
    // long as its connection, so it marks the kept one.
    void statementErrorKeepsConnection_data()
    {
        QTest::addColumn<TestDatabase::Backend>("backend");
        KESTRANE_BACKEND_ROWS("no special table", );
    }

    void statementErrorKeepsConnection()
    {
        QFETCH(TestDatabase::Backend, backend);
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", "1,10|A1,Hammer"), qPrintable(db.error()));
        const auto onKept = [&](const QString& sql) {
            return OdbcPool::run(db.connectString(), [sql](OdbcConnection& connection) {
                return connection.execute(sql) ? OdbcError() : connection.lastError();
            }).description;
        };
        QCOMPARE(onKept("CREATE TEMPORARY TABLE kept_marker (x INTEGER)"), QString());
        for (int round = 0; round < 2; ++round) {
            const SkuLookup::Result result = SkuLookup::run("A1", QString(), db.connectString());
            QVERIFY2(
                result.status.startsWith("CIS database unavailable: "), qPrintable(result.status));
        }
        QCOMPARE(onKept("INSERT INTO kept_marker VALUES (1)"), QString());
        QCOMPARE(OdbcPool::idleCount(db.connectString()), 1);
    }

    // The longest string the driver manager takes still works when the
    // program's own busy timeout would not fit in it.
    void longestSqliteString()
    {
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", "1,10|A1,Hammer"), qPrintable(db.error()));
        QString connect = db.connectString() + ";Pad=";
        connect += QString(32767 - connect.size(), 'x');
        const SkuLookup::Result result = SkuLookup::run("A1", connect, QString());
        QCOMPARE(result.status, QString("SKU A1 found in inventory"));
    }

    // Test Database Connections logs in anew: after the password changed on
    // the server, a kept connection still works but the test must fail.
    void testLogsInAfresh()
    {
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::PostgreSQL);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        QCOMPARE(DatabaseSettings::TestReport(appSettings()).section("\r\n", 1, 1),
            QString("Inventory Database OK"));
        const auto password = OdbcConnectString::value(db.connectString(), "Pwd");
        QVERIFY(password && !password->isEmpty());
        OdbcConnection admin;
        QVERIFY(admin.open(db.connectString()));
        const auto restore = qScopeGuard(
            [&] { admin.execute("ALTER ROLE CURRENT_USER PASSWORD '" + *password + "'"); });
        QVERIFY(admin.execute("ALTER ROLE CURRENT_USER PASSWORD 'changed-elsewhere'"));
        const QString report = DatabaseSettings::TestReport(appSettings());
        QVERIFY2(report.startsWith("\r\nInventory Database Problem: ")
                && report.contains("password authentication failed"),
            qPrintable(report));
    }

    // Passwords never reach the screen: the value of each password key is
    // masked wherever a string may be echoed; everything else stays.
    void maskedPasswords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pwd") << "DSN=pos;UID=SA;PWD=Secret7"
                             << "DSN=pos;UID=SA;PWD=****";
        QTest::newRow("any case, spaces, next pair kept")
            << "Driver=PostgreSQL Unicode;Pwd = s3cr3t ;Port=5432;password=x y"
            << "Driver=PostgreSQL Unicode;Pwd = ****;Port=5432;password=****";
        QTest::newRow("braced value with a semicolon") << "Uid=a;PWD={se;cret};Server=h"
                                                       << "Uid=a;PWD=****;Server=h";
        QTest::newRow("empty value, nothing to hide") << "DSN=posdb;UID=SA;PWD="
                                                      << "DSN=posdb;UID=SA;PWD=";
        QTest::newRow("in a message, up to the line's end")
            << "Error opening selected odbc source: DSN=x;PWD=NewSecretTypo7\r\n-1: no"
            << "Error opening selected odbc source: DSN=x;PWD=****\r\n-1: no";
        QTest::newRow("other keys and words kept")
            << "Uid=pwd;XPWD=1;password authentication failed"
            << "Uid=pwd;XPWD=1;password authentication failed";
    }

    void maskedPasswords()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(OdbcConnectString::masked(text), shown);
    }

    void lockedDatabase_data()
    {
        QTest::addColumn<TestDatabase::Backend>("backend");
        KESTRANE_BACKEND_ROWS("locked by another process", );
    }

    // A lock held elsewhere ends the lookup and the test command at the time
    // limit with the driver's text, not when the lock goes.
    void lockedDatabase()
    {
        QFETCH(TestDatabase::Backend, backend);
        const QString driverText = backend == TestDatabase::SQLite
            ? "database is locked"
            : "canceling statement due to statement timeout";
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        QVERIFY2(db.fill("inv", Inv) && db.fill("other", "1"), qPrintable(db.error()));
        QProcess holder;
        OdbcConnection session;
        if (backend == TestDatabase::SQLite) {
            QVERIFY2(db.holdLock(holder), "the sqlite3 program could not lock the file");
        } else {
            QVERIFY(session.open(db.connectString()) && session.setAutoCommit(false));
            QVERIFY(session.execute("LOCK TABLE inv IN ACCESS EXCLUSIVE MODE"));
        }
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        // Connect and statement share one budget: each use ends within 6 s.
        QElapsedTimer hangGuard;
        hangGuard.start();
        const SkuLookup::Result result = SkuLookup::run("A1", db.connectString(), QString());
        QCOMPARE(joined(result), QString("||||||"));
        QVERIFY2(result.status.startsWith("Inventory database unavailable: ")
                && result.status.contains(driverText),
            qPrintable(result.status));
        QVERIFY2(hangGuard.restart() < 6000, "the lookup waited past its deadline");
        const QString report = DatabaseSettings::TestReport(appSettings());
        QVERIFY2(
            report.startsWith("\r\nInventory Database Problem: ") && report.contains(driverText),
            qPrintable(report));
        QVERIFY2(hangGuard.elapsed() < 6000, "the test waited past its deadline");
        holder.closeWriteChannel();
        holder.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestLookup)
#include "tst_lookup.moc"
