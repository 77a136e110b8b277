#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/SkuLookup.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QThread>
#include <QtTest>

#include <unistd.h>

// Databases as a store runs them: kept connections, a server restarted
// under them, locked tables and files, and what the lookup then says.
class TestDbScale : public QObject
{
    Q_OBJECT

private slots:
    void init() { OdbcPool::closeAll(); }
    void lookupReports_data();
    void lookupReports();
    void restartedServer();
    void lockedDatabase_data();
    void lockedDatabase();
    void windowShowsState();
};

namespace {

const QString Inv = QStringLiteral("inv");

// inv holds A1 (without a cost column, so the CIS database is asked too);
// special holds C3.
bool fill(TestDatabase& db)
{
    return db.createTable(Inv, { "1", "10", "48", "56", "177" })
        && db.insert(Inv,
            { QString("A1"), QString("Hammer"), QString("9.99"), QString("7"), QString("Steel") })
        && db.createTable("special", { "1", "10", "48", "54", "56" })
        && db.insert("special",
            { QString("C3"), QString("Drill"), QString("49"), QString("30"), QString("45") })
        && db.createTable("other", { "1" });
}

QString joined(const SkuLookup::Result& result)
{
    QStringList values(result.values.begin(), result.values.end());
    return values.join('|');
}

} // namespace

void TestDbScale::lookupReports_data()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::addColumn<QString>("inv"); // "db": the test database; "missing": an absent file
    QTest::addColumn<QString>("sku");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("status"); // "%1": the absent file
    const QString timeout = "Driver=SQLite3;Database=%1;Timeout=100";
    const QString tooLong = "The connection string is too long: 40000 characters, at most 32767";
    for (const auto backend : { TestDatabase::SQLite, TestDatabase::PostgreSQL }) {
        const char* name = backend == TestDatabase::SQLite ? "sqlite" : "postgresql";
        QTest::addRow("%s: in inventory", name) << backend << "db"
                                                << "A1"
                                                << "Hammer|9.99||7|Steel||"
                                                << "SKU A1 found in inventory";
        QTest::addRow("%s: only in CIS", name) << backend << "db"
                                               << "C3"
                                               << "Drill|49|30|45|||"
                                               << "SKU C3 found in CIS";
        QTest::addRow("%s: nowhere", name) << backend << "db"
                                           << "555555"
                                           << "||||||"
                                           << "SKU 555555 not found";
    }
    QTest::newRow("missing file, CIS answers")
        << TestDatabase::SQLite << "missing"
        << "C3"
        << "Drill|49|30|45|||"
        << "SKU C3 found in CIS; Inventory database unavailable: database file not found: %1";
    QTest::newRow("missing file with its own timeout")
        << TestDatabase::SQLite << timeout << "Z9"
        << "||||||"
        << "Inventory database unavailable: database file not found: %1";
    QTest::newRow("no database: the driver would name a file after the string")
        << TestDatabase::SQLite << "Driver=SQLite3"
        << "Z9"
        << "||||||"
        << "Inventory database unavailable: database file not found: Driver=SQLite3";
    QTest::newRow("string too long") << TestDatabase::SQLite << QString(40000, 'x') << "Z9"
                                     << "||||||"
                                     << "Inventory database unavailable: " + tooLong;
}

// Every lookup gives the same boxes and the same status line whether its
// connection is new or kept from the one before.
void TestDbScale::lookupReports()
{
    QFETCH(TestDatabase::Backend, backend);
    QFETCH(QString, inv);
    QFETCH(QString, sku);
    QFETCH(QString, values);
    QFETCH(QString, status);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestDatabase db(backend);
    QVERIFY2(fill(db), qPrintable(db.error()));
    const QString absent = QFileInfo(db.filePath()).absolutePath() + "/absent\t.db";
    QString invConnect = inv;
    if (inv == "db")
        invConnect = db.connectString();
    else if (inv == "missing")
        invConnect = "Driver=SQLite3;Database=" + absent;
    invConnect.replace("%1", absent);
    const QString cisConnect = db.connectString();
    for (const char* round : { "new connection", "kept connection" }) {
        const SkuLookup::Result result = SkuLookup::run(sku, invConnect, cisConnect);
        QCOMPARE(joined(result), values);
        QVERIFY2(result.status == QString(status).replace("%1", absent),
            qPrintable(QString(round) + ": " + result.status));
    }
    if (inv == "db")
        QCOMPARE(OdbcPool::idleCount(invConnect), 1);
    QVERIFY(!QFile::exists(absent));
    QVERIFY(!QFile::exists(invConnect));
}

// The server restarts between two lookups: the second finds its kept
// connection dead, replaces it, and still fills the boxes.
void TestDbScale::restartedServer()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::PostgreSQL);
    const QString dataDir = qEnvironmentVariable("KESTRANE_PG_DIR") + "/data";
    const QString pgCtl = qEnvironmentVariable("KESTRANE_PG_BIN") + "/pg_ctl";
    if (!QFile::exists(pgCtl))
        QSKIP("KESTRANE_PG_BIN does not name the cluster's programs");
    TestDatabase db(TestDatabase::PostgreSQL);
    QVERIFY2(fill(db), qPrintable(db.error()));
    const QString expected = "Hammer|9.99||7|Steel||";
    QCOMPARE(joined(SkuLookup::run("A1", db.connectString(), QString())), expected);

    QStringList command { pgCtl, "-D", dataDir, "-w", "-m", "fast", "restart" };
    // The server refuses to run as root; the cluster's owner restarts it.
    if (geteuid() == 0)
        command = QStringList { "-u", "postgres", "--" } + command;
    QProcess restart;
    restart.start(geteuid() == 0 ? "runuser" : command.takeFirst(), command);
    QVERIFY(restart.waitForFinished(60000));
    QVERIFY2(restart.exitCode() == 0, restart.readAllStandardError().constData());

    const SkuLookup::Result result = SkuLookup::run("A1", db.connectString(), QString());
    QVERIFY2(joined(result) == expected, qPrintable(result.status));
    QCOMPARE(result.status, QString("SKU A1 found in inventory"));
}

void TestDbScale::lockedDatabase_data()
{
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::addColumn<QString>("driverText");
    QTest::newRow("sqlite file locked by another process")
        << TestDatabase::SQLite << "database is locked";
    QTest::newRow("postgresql table locked by another session")
        << TestDatabase::PostgreSQL << "canceling statement due to statement timeout";
}

// A lock held elsewhere ends each lookup and the test command at the time
// limit with the driver's text, not when the lock goes.
void TestDbScale::lockedDatabase()
{
    QFETCH(TestDatabase::Backend, backend);
    QFETCH(QString, driverText);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestSettingsScope scope;
    TestDatabase db(backend);
    QVERIFY2(fill(db), qPrintable(db.error()));

    QProcess holder;
    std::unique_ptr<OdbcConnection> session;
    if (backend == TestDatabase::SQLite) {
        holder.start("sqlite3", { db.filePath() });
        QVERIFY2(holder.waitForStarted(), "the sqlite3 program is needed");
        holder.write("BEGIN EXCLUSIVE;\nSELECT 1;\n");
        QVERIFY(holder.waitForBytesWritten());
        // Locked once a reader that does not wait is refused.
        QDeadlineTimer deadline(20000);
        OdbcConnection probe;
        while (probe.open(db.connectString() + ";Timeout=1") && probe.execute("SELECT * FROM other")
            && !deadline.hasExpired())
            QThread::msleep(20);
    } else {
        session = std::make_unique<OdbcConnection>();
        QVERIFY(session->open(db.connectString()) && session->setAutoCommit(false));
        QVERIFY(session->execute("LOCK TABLE inv IN ACCESS EXCLUSIVE MODE"));
    }
    appSettings().save(SettingsKeys::ODBCINV, db.connectString());

    QElapsedTimer hangGuard;
    hangGuard.start();
    const SkuLookup::Result result = SkuLookup::run("A1", db.connectString(), QString());
    QCOMPARE(joined(result), QString("||||||"));
    QVERIFY2(result.status.startsWith("Inventory database unavailable: ")
            && result.status.contains(driverText),
        qPrintable(result.status));
    const QString report = DatabaseSettings::TestReport(appSettings());
    QVERIFY2(report.startsWith("\r\nInventory Database Problem: ") && report.contains(driverText),
        qPrintable(report));
    QVERIFY2(hangGuard.elapsed() < 30000, "waited for the lock to go");
    holder.closeWriteChannel();
    holder.waitForFinished();
}

// The window shows the lookup's status line and each database's state,
// with the driver's reason as the indicator's tooltip.
void TestDbScale::windowShowsState()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    TestSettingsScope scope;
    TestDatabase db(TestDatabase::SQLite);
    QVERIFY(fill(db));
    const QString missing = scope.path() + "/gone.db";
    appSettings().save(SettingsKeys::ODBCINV, db.connectString());
    frmSigns w(DialogService::instance());
    auto* inv = w.findChild<QLabel*>("lblInvState");
    auto* cis = w.findChild<QLabel*>("lblCisState");
    QVERIFY(inv && cis);
    QCOMPARE(inv->text() + " / " + cis->text(), QString("Inventory: not checked / CIS: not set"));

    const auto lookup = [&](const QString& sku) {
        child<EntryBox>(w, "txtSku")->setText(sku);
        w.LookupSku();
        return w.statusBar()->currentMessage();
    };
    QCOMPARE(lookup("A1"), QString("SKU A1 found in inventory"));
    QCOMPARE(inv->text(), QString("Inventory: connected"));
    appSettings().save(SettingsKeys::ODBCINV, "Driver=SQLite3;Database=" + missing);
    appSettings().save(SettingsKeys::ODBCCIS, db.connectString());
    QCOMPARE(lookup("C3"),
        "SKU C3 found in CIS; Inventory database unavailable: database file not found: " + missing);
    QCOMPARE(inv->text() + " / " + cis->text(), QString("Inventory: unavailable / CIS: connected"));
    QCOMPARE(inv->toolTip(), "database file not found: " + missing);
    QCOMPARE(child<EntryBox>(w, "txtDescription")->text(), QString("Drill"));
    QVERIFY(DialogService::instance().messages().isEmpty());
    QVERIFY(!QFile::exists(missing));
}

QTEST_MAIN(TestDbScale)
#include "tst_dbscale.moc"
