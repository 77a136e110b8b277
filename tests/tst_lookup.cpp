#include "base/OdbcConnectString.h"
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/SettingsKeys.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/LookupService.h"
#include "itemdata/SkuLookup.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"

#include <QTcpServer>
#include <QtTest>

#include <unistd.h>

namespace {

const QString Full = QStringLiteral("1,10,48,54,56,177,178,179");
const QString Inv
    = Full + "|A1,Hammer,9.99,5.10,7.99,Steel,Oak,Heavy|B2,Saw,19.50,11,15,Sharp,,Fine";
const QString Cis
    = QStringLiteral("1,10,48,54,56|A1,Special hammer,8.88,4.44,6.66|C3,Drill,49,30,45");
const QString Hammer = QStringLiteral("Hammer|9.99|5.10|7.99|Steel|Oak|Heavy");
const QString InInv = QStringLiteral(" / SKU A1 found in inventory");

// The boxes and the status line.
QString shown(const SkuLookup::Result& result)
{
    return QStringList(result.values.begin(), result.values.end()).join('|') + " / "
        + result.status;
}

// Sends the signal to the test cluster's server and its children; false when there is none.
bool signalCluster(const char* signal)
{
    QFile pidFile(qEnvironmentVariable("KESTRANE_PG_DIR") + "/data/postmaster.pid");
    const QString server = pidFile.open(QIODevice::ReadOnly) ? pidFile.readLine().trimmed() : "";
    return !server.isEmpty() && QProcess::execute("kill", { signal, server }) == 0
        && QProcess::execute("pkill", { signal, "-P", server }) == 0;
}

} // namespace

// The SKU lookup and its ODBC layer against SQLite files and the PostgreSQL cluster, on new and
// kept connections, with a server that goes silent or restarts, and locks.
class TestLookup : public QObject
{
    Q_OBJECT

private slots:
    void init() { OdbcPool::closeAll(); }

    // A quoted column name doubles the closing quote; a space or nothing from the driver means it
    // cannot quote at all.
    void quoting()
    {
        QString (*quote)(const QString&, const QString&) = OdbcConnection::quoteIdentifier;
        QCOMPARE(quote("\"", "a\"b") + quote("[", "a]b") + quote(" ", "1") + quote("", "1"),
            QString("\"a\"\"b\"[a]]b]"));
    }

    void lookup_data()
    {
        // inv and cis: a table ("col,col|value,value|...", "~" a Null) in the test database, "db"
        // for the database without the table, or a connection string ("%1" an absent file).
        // Expected: the boxes and the status line, "a or b" for either.
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
        const QString special = "Special hammer|8.88|4.44|6.66||| / SKU A1 found in CIS";
        const QString drill = "Drill|49|30|45||| / SKU C3 found in CIS";
        const QString down = "; Inventory database unavailable: ";
        const QString noFile = "|||||| / Inventory database unavailable: database file not found: ";
        QString longText;
        for (int i = 0; longText.size() < 5000; ++i)
            longText += QString::number(i) + QChar(0x20ac);
        row("neither set", "", "", "A1", "|||||| / SKU A1 not found");
        row("inv complete, special set", Inv, Cis, "A1", Hammer + InInv);
        row("empty text counts as found", Inv, Cis, "B2",
            "Saw|19.50|11|15|Sharp||Fine / SKU B2 found in inventory");
        row("absent from inv, in special", Inv, Cis, "C3", drill);
        row("absent everywhere", Inv, Cis, "Z9", "|||||| / SKU Z9 not found");
        row("no 56: special not asked", "1,10,48,54|A1,Hammer,9.99,5.10", Cis, "A1",
            "Hammer|9.99|5.10||||" + InInv);
        row("no 54: special gives cost only", "1,10,48,56|A1,Hammer,9.99,7.99", Cis, "A1",
            "Hammer|9.99|4.44|7.99|||" + InInv);
        row("no 54, 56: special gives both", "1,10,48,177|A1,Hammer,9.99,Steel", Cis, "A1",
            "Hammer|9.99|4.44|6.66|Steel||" + InInv);
        row("special without 48: retail stays empty", "1,177|A1,Steel",
            "1,10,54,56|A1,Special hammer,4.44,6.66", "A1",
            "Special hammer||4.44|6.66|Steel||" + InInv);
        row("null counts as found", "1,10,48,177|A1,~,9.99,Steel", "1,10,48,54,56|A1,X,1,~,6.66",
            "A1", "|9.99||6.66|Steel||" + InInv);
        row("inv string of spaces is not set", "   ", Cis, "A1", special);
        row("inv that cannot connect", "DSN=kestrane_no_such_source;UID=SA;PWD=", Cis, "A1",
            special + down
                + "[unixODBC][Driver Manager]Data source name not found and no default driver "
                  "specified");
        const QString noTable = special + down + "[SQLite]no such table: inv (1)";
        const QString noTablePg = special + down
            + "ERROR: relation \"inv\" does not exist; Error while preparing parameters";
        row("no inv table", "db", Cis, "A1", noTable, noTablePg);
        row("no special table", "", "db", "A1",
            "|||||| / CIS database unavailable: [SQLite]no such table: special (1)",
            "|||||| / CIS database unavailable: ERROR: relation \"special\" does not exist; Error "
            "while preparing parameters");
        // The longest string the driver manager takes still works when the program's own busy
        // timeout would not fit in it.
        row("longest string", "db;Pad=<pad>", Cis, "A1", noTable, noTablePg);
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
            "First|1|1|1|a|a|a" + InInv + " or Second|2|2|2|b|b|b" + InInv);
        // The driver's own text for each type: no formatting of ours on top.
        const QString numbers = "CREATE TABLE inv (\"1\" VARCHAR(20), \"10\" VARCHAR(50), \"48\" "
                                "NUMERIC(10,2), \"54\" INTEGER, \"56\" NUMERIC(10,2));INSERT "
                                "INTO inv VALUES ('N1', 'Nails', 19.99, 7, 0.5)";
        row("numbers", numbers, "", "N1", "Nails|19.99|7|0.5||| / SKU N1 found in inventory",
            "Nails|19.99|7|0.50||| / SKU N1 found in inventory");
        row("missing file, CIS answers", "Driver=SQLite3;Database=%1", Cis, "C3",
            drill + down + "database file not found: %1");
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
            const bool filled = spec->startsWith("CREATE ") || spec->contains('|');
            if (filled)
                QVERIFY2(spec->startsWith("CREATE ") ? db.exec(*spec) : db.fill(table, *spec),
                    qPrintable(db.error()));
            if (filled || spec->startsWith("db")) // "db;Pad=<pad>": padded to 32767 characters
                *spec = db.connectString() + (filled ? QString() : spec->mid(2));
            spec->replace("%1", absent);
            if (spec->contains("<pad>"))
                spec->replace("<pad>", QString(32772 - spec->size(), 'x'));
        }
        const auto onKept = [&](const QString& sql) {
            return OdbcPool::run(db.connectString(), [sql](OdbcConnection& connection) {
                return connection.execute(sql) ? OdbcError() : connection.lastError();
            }).description;
        };
        // The same boxes and status line whether the connection is new or kept, and no new login
        // per lookup, after a statement error too: a temporary table lives only as long as its
        // connection, so it marks the kept one.
        for (const QString round : { "CREATE TEMPORARY TABLE kept_marker (x INTEGER)",
                 "INSERT INTO kept_marker VALUES (1)" }) {
            const QString got = shown(SkuLookup::run(sku, inv, cis));
            QVERIFY2(expected.replace("%1", absent).split(" or ").contains(got),
                qPrintable(round.left(6) + ": " + got));
            QCOMPARE(onKept(round), QString());
        }
        QCOMPARE(OdbcPool::idleCount(db.connectString()), 1);
        QVERIFY(!QFile::exists(absent) && !QFile::exists(inv));
    }

    // A server that accepts the connection and never answers: the login timeout ends the attempt,
    // and the lookup goes on to the CIS database. A server that stops answering after a lookup left
    // a kept connection (the cluster paused): the lookup gives up at its deadline while the
    // caller's event loop keeps running, and once the server answers again the next lookup works.
    // After a restart the kept connection is dead: the lookup replaces it and still fills the
    // boxes.
    void unresponsiveServer()
    {
        TestDatabase db(TestDatabase::PostgreSQL);
        KESTRANE_USE(db);
        const QString pgCtl = qEnvironmentVariable("KESTRANE_PG_BIN") + "/pg_ctl";
        if (!QFile::exists(pgCtl))
            QSKIP("KESTRANE_PG_BIN does not name the cluster's programs");
        QVERIFY2(db.fill("special", Cis), qPrintable(db.error()));
        QTcpServer silent; // no event loop runs to accept: the connection waits unanswered
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QString inv
            = "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=%1;Database=x;Uid=a;Pwd=b";
        QCOMPARE(shown(SkuLookup::run("A1", inv.arg(silent.serverPort()), db.connectString()))
                     .section(" / ", 0, 0),
            "Special hammer|8.88|4.44|6.66|||");
        QVERIFY2(db.fill("inv", Inv), qPrintable(db.error()));
        QCOMPARE(shown(SkuLookup::run("A1", db.connectString(), QString())), Hammer + InInv);
        if (!signalCluster("-STOP"))
            QSKIP("KESTRANE_PG_DIR does not name the running cluster");
        bool paused = true;
        const auto resume = qScopeGuard([&] {
            if (paused)
                signalCluster("-CONT");
        });

        LookupService service;
        QSignalSpy finished(&service, &LookupService::finished);
        qint64 longestGap = 0;
        QElapsedTimer sinceTick;
        sinceTick.start();
        QTimer ticker;
        ticker.callOnTimeout([&] { longestGap = qMax(longestGap, sinceTick.restart()); });
        ticker.start(20);
        QElapsedTimer took;
        took.start();
        service.lookUp("A1", db.connectString(), QString());
        QVERIFY(finished.wait(6000));
        QVERIFY2(took.elapsed() < 6000, "the lookup outlasted its deadline");
        QVERIFY2(longestGap < 100, qPrintable(QString("event loop held %1 ms").arg(longestGap)));
        const auto result = finished.first().at(2).value<SkuLookup::Result>();
        QCOMPARE(shown(result), "|||||| / Inventory database unavailable: no answer in 5 s");
        // The abandoned call, still inside the driver, holds up no other database.
        TestDatabase other(TestDatabase::SQLite);
        QVERIFY2(other.fill("inv", Inv), qPrintable(other.error()));
        QCOMPARE(shown(SkuLookup::run("A1", other.connectString(), QString())), Hammer + InInv);

        paused = false;
        QVERIFY(signalCluster("-CONT"));
        QCOMPARE(shown(SkuLookup::run("A1", db.connectString(), QString())), Hammer + InInv);
        QStringList command { pgCtl, "-D", qEnvironmentVariable("KESTRANE_PG_DIR") + "/data", "-w",
            "-m", "fast", "restart" };
        // The server refuses to run as root; the cluster's owner restarts it.
        if (geteuid() == 0)
            command = QStringList { "runuser", "-u", "postgres", "--" } + command;
        QProcess restart;
        restart.start(command.takeFirst(), command);
        QVERIFY(restart.waitForFinished(60000));
        QVERIFY2(restart.exitCode() == 0, restart.readAllStandardError().constData());
        QCOMPARE(shown(SkuLookup::run("A1", db.connectString(), QString())), Hammer + InInv);
    }

    // Test Database Connections logs in anew: after the password changed on the server, a kept
    // connection still works but the test must fail.
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

    // Passwords never reach the screen: the value of each password key is masked wherever a string
    // may be echoed; everything else stays.
    void maskedPasswords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const char* text, const char* shown) {
            QTest::newRow(name) << QString(text) << QString(shown);
        };
        row("pwd", "DSN=pos;UID=SA;PWD=Secret7", "DSN=pos;UID=SA;PWD=****");
        row("any case, spaces, next pair kept",
            "Driver=PostgreSQL Unicode;Pwd = s3cr3t ;Port=5432;password=x y",
            "Driver=PostgreSQL Unicode;Pwd = ****;Port=5432;password=****");
        row("braced value with a semicolon", "Uid=a;PWD={se;cret};Server=h",
            "Uid=a;PWD=****;Server=h");
        row("empty value, nothing to hide", "DSN=posdb;UID=SA;PWD=", "DSN=posdb;UID=SA;PWD=");
        row("in a message, up to the line's end",
            "Error opening selected odbc source: DSN=x;PWD=NewSecretTypo7\r\n-1: no",
            "Error opening selected odbc source: DSN=x;PWD=****\r\n-1: no");
        row("other keys and words kept", "Uid=pwd;XPWD=1;password authentication failed",
            "Uid=pwd;XPWD=1;password authentication failed");
    }
    void maskedPasswords()
    {
        QFETCH(QString, text);
        QTEST(OdbcConnectString::masked(text), "shown");
    }

    // A lock held elsewhere ends the lookup and the test command at the time limit with the
    // driver's text, not when the lock goes.
    void lockedDatabase_data() { addBackendRows(); }
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
        QVERIFY(backend == TestDatabase::SQLite
                ? db.holdLock(holder)
                : session.open(db.connectString()) && session.setAutoCommit(false)
                    && session.execute("LOCK TABLE inv IN ACCESS EXCLUSIVE MODE"));
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        // Connect and statement share one budget: each use ends within 6 s.
        QElapsedTimer hangGuard;
        hangGuard.start();
        const QString result = shown(SkuLookup::run("A1", db.connectString(), QString()));
        QVERIFY2(result.startsWith("|||||| / Inventory database unavailable: ")
                && result.contains(driverText),
            qPrintable(result));
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
