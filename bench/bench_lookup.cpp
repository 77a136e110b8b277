// Times the SKU lookup against an inventory of 1,000,000 items with an index
// on column "1": a SQLite file made here, and, when KESTRANE_PG_CONNECT names
// a PostgreSQL server (scripts/pg-cluster), a database made there. Reports
// medians of the connection alone, the query alone (prepare, bind, execute,
// fetch, read the row), the whole lookup as Enter in the SKU box runs it
// (connect, query, fill the panel, disconnect) both as the first with its
// connection string and with a kept connection, a lookup that falls through
// to the CIS table, and the Test Database Connections command. The medians
// scripts read come on lines of their own:
//   <sqlite|postgresql> <first lookup|pooled lookup|test command>: <number> ms
//   <sqlite|postgresql> first lookup in a new window: <number> ms
//   <sqlite|postgresql> look up all 1000 rows: <number> ms
//   bench_lookup [items] [lookups]
#include "base/OdbcConnection.h"
#include "base/OdbcPool.h"
#include "base/OdbcStatement.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/ListLookup.h"
#include "itemdata/LookupService.h"
#include "itemdata/SkuLookup.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/frmSigns.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F> double timeMs(F&& f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

QString sku(int n)
{
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

bool run(OdbcConnection& connection, const QString& sql)
{
    if (connection.execute(sql))
        return true;
    std::fprintf(stderr, "failed: %s\n  %s\n", qPrintable(sql),
        qPrintable(connection.lastError().description));
    return false;
}

// inv with `items` rows (SKUs 0000000 ...), special with every tenth SKU
// and the SKUs past the end of inv, both indexed on "1".
bool fill(OdbcConnection& connection, bool postgres, int items)
{
    const QString columns = QStringLiteral(
        "(\"1\" VARCHAR(20), \"10\" VARCHAR(80), \"48\" NUMERIC(10,2), \"54\" NUMERIC(10,2), "
        "\"56\" NUMERIC(10,2), \"177\" VARCHAR(80), \"178\" VARCHAR(80), \"179\" VARCHAR(80))");
    const QString specialColumns = QStringLiteral(
        "(\"1\" VARCHAR(20), \"10\" VARCHAR(80), \"48\" NUMERIC(10,2), \"54\" NUMERIC(10,2), "
        "\"56\" NUMERIC(10,2))");
    const QString rows = postgres
        ? QStringLiteral("FROM generate_series(0, %1) AS s(n)").arg(items - 1)
        : QStringLiteral("FROM (WITH RECURSIVE s(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM s "
                         "WHERE n < %1) SELECT n FROM s)")
              .arg(items - 1);
    const QString key
        = postgres ? QStringLiteral("lpad(n::text, 7, '0')") : QStringLiteral("printf('%07d', n)");
    const QString specialRows = postgres
        ? QStringLiteral("FROM generate_series(0, %1, 10) AS s(n)").arg(items + 1000)
        : QStringLiteral("FROM (WITH RECURSIVE s(n) AS (SELECT 0 UNION ALL SELECT n + 10 FROM s "
                         "WHERE n < %1) SELECT n FROM s)")
              .arg(items + 1000);
    return run(connection, "CREATE TABLE inv " + columns)
        && run(connection, "CREATE TABLE special " + specialColumns)
        && run(connection,
            QStringLiteral("INSERT INTO inv SELECT %1, 'Stainless steel wood screws no. ' || "
                           "(n % 12) || ', box of 100', (n % 97) + 0.99, (n % 50) + 0.10, "
                           "(n % 97) + 0.49, 'Corrosion resistant', 'Phillips drive, flat "
                           "head', 'For indoor and outdoor use' %2")
                .arg(key, rows))
        && run(connection,
            QStringLiteral("INSERT INTO special SELECT %1, 'Special order item ' || n, 9.99, "
                           "5.55, 8.88 %2")
                .arg(key, specialRows))
        && run(connection, "CREATE INDEX inv_sku ON inv (\"1\")")
        && run(connection, "CREATE INDEX special_sku ON special (\"1\")")
        && run(connection, "ANALYZE");
}

// The process's peak resident memory so far, in MB (VmHWM).
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

void measure(const char* name, const char* key, const QString& connect, int items, int lookups)
{
    std::printf("\n%s, %d items, %d lookups each\n", name, items, lookups);
    QRandomGenerator random(20261207);
    std::vector<QString> skus;
    for (int i = 0; i < lookups; ++i)
        skus.push_back(sku(int(random.bounded(items))));

    std::vector<double> connectMs;
    for (int i = 0; i < lookups; ++i) {
        connectMs.push_back(timeMs([&] {
            OdbcConnection connection;
            connection.open(connect);
        }));
    }

    OdbcConnection connection;
    if (!connection.open(connect)) {
        std::printf("  cannot connect: %s\n", qPrintable(connection.lastError().description));
        return;
    }
    const QString keyColumn = connection.quoteIdentifier(QStringLiteral("1"));
    std::vector<double> queryMs;
    int found = 0;
    for (const QString& one : skus) {
        queryMs.push_back(timeMs([&] {
            OdbcStatement statement(connection);
            statement.setMaxRows(1);
            statement.prepare("SELECT * FROM inv WHERE " + keyColumn + " = ?");
            statement.bindText(1, one);
            statement.execute();
            if (statement.fetch()) {
                std::optional<QString> value;
                for (int f = 0; f < SkuLookup::FieldCount; ++f)
                    found += statement.value(SkuLookup::columnName(SkuLookup::Field(f)), &value);
            }
        }));
    }
    connection.close();

    // The whole lookup as the window runs it on Enter.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    // The window's working list goes there too, not into the user's own.
    qputenv("XDG_DATA_HOME", settingsDir.filePath("share").toLocal8Bit());
    const AppSettings settings(SettingsKeys::Application, SettingsKeys::Section);
    settings.save(SettingsKeys::ODBCINV, connect);
    settings.save(SettingsKeys::ODBCCIS, connect);
    // No dictionary is set: its start-up file choice and warning are
    // answered by the scripted dialogs instead of waiting for a user.
    DialogService::instance().setScripted(true);
    frmSigns window;
    EntryBox* txtSku = window.findChild<EntryBox*>(QStringLiteral("txtSku"));
    EntryBox* txtDescription = window.findChild<EntryBox*>(QStringLiteral("txtDescription"));
    // The first lookup with the string: nothing is kept yet.
    // Enter in the SKU box until the outcome has filled the panel.
    const auto enter = [&](const QString& one) {
        txtSku->setText(one);
        return timeMs([&] {
            window.LookupSku();
            while (window.statusBar()->currentMessage().startsWith(QStringLiteral("Looking up")))
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        });
    };
    std::vector<double> firstMs;
    for (int i = 0; i < std::min(lookups, 50); ++i) {
        OdbcPool::closeAll();
        firstMs.push_back(enter(skus[i]));
    }
    const QString firstStatus = window.statusBar()->currentMessage();
    std::vector<double> wholeMs;
    int filled = 0;
    for (const QString& one : skus) {
        wholeMs.push_back(enter(one));
        filled += !txtDescription->text().isEmpty();
    }
    // SKUs past the end of inv: the CIS table answers.
    std::vector<double> cisMs;
    for (int i = 0; i < lookups; ++i) {
        cisMs.push_back(enter(sku(items + 10 * (1 + i % 100))));
        filled += !txtDescription->text().isEmpty();
    }
    // The first lookup of a new window: the service opens its connections
    // as the window does once shown, the clerk takes a second to type.
    std::vector<double> newWindowMs;
    for (int i = 0; i < 5; ++i) {
        OdbcPool::closeAll();
        LookupService service;
        bool reported = false;
        QObject::connect(&service, &LookupService::finished, [&reported] { reported = true; });
        service.warmUp(connect, connect);
        QEventLoop pause;
        QTimer::singleShot(1000, &pause, &QEventLoop::quit);
        pause.exec();
        newWindowMs.push_back(timeMs([&] {
            service.lookUp(skus[i], connect, connect);
            while (!reported)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }));
    }
    // Look Up All Rows on a list of 1,000 rows, on kept connections, and the
    // same rows looked up one lookup at a time for comparison.
    QRandomGenerator listRandom(20261208);
    QStringList list;
    for (int i = 0; i < 1000; ++i)
        list << sku(int(listRandom.bounded(items)));
    ListLookup::run(list, connect, connect);
    std::vector<double> allMs;
    int allFound = 0;
    for (int i = 0; i < 5; ++i) {
        allMs.push_back(timeMs([&] {
            const ListLookup::Outcome outcome = ListLookup::run(list, connect, connect);
            allFound = 0;
            for (const SkuLookup::Result& result : outcome.results)
                allFound += result.foundIn != SkuLookup::Source::Nowhere;
        }));
    }
    std::vector<double> oneByOneMs;
    for (int i = 0; i < 3; ++i) {
        oneByOneMs.push_back(timeMs([&] {
            for (const QString& one : list)
                SkuLookup::run(one, connect, connect);
        }));
    }
    std::vector<double> testMs;
    for (int i = 0; i < 5; ++i)
        testMs.push_back(timeMs([&] { DatabaseSettings::TestReport(settings); }));
    const QString report = DatabaseSettings::TestReport(settings).simplified();
    const double peak = peakMb();

    std::printf("  connect + disconnect      median %8.3f ms\n", median(connectMs));
    std::printf("  query (open connection)   median %8.3f ms   (%d/%d values read)\n",
        median(queryMs), found, lookups * SkuLookup::FieldCount);
    std::printf("  first lookup (Enter)      median %8.3f ms   (%s)\n", median(firstMs),
        qPrintable(firstStatus));
    std::printf("  whole lookup (Enter)      median %8.3f ms   (%d/%d panels filled)\n",
        median(wholeMs), filled, 2 * lookups);
    std::printf("  lookup falling to CIS     median %8.3f ms\n", median(cisMs));
    std::printf(
        "  Test Database Connections median %8.3f ms   (%s)\n", median(testMs), qPrintable(report));
    std::printf(
        "  look up all 1000 rows     median %8.3f ms   (%d/1000 found)\n", median(allMs), allFound);
    std::printf("  1000 single lookups       median %8.3f ms\n", median(oneByOneMs));
    std::printf("  peak memory so far        %8.1f MB\n", peak);
    std::printf("%s first lookup: %.2f ms\n", key, median(firstMs));
    std::printf("%s pooled lookup: %.2f ms\n", key, median(wholeMs));
    std::printf("%s test command: %.2f ms\n", key, median(testMs));
    std::printf("%s first lookup in a new window: %.2f ms\n", key, median(newWindowMs));
    std::printf("%s look up all 1000 rows: %.2f ms\n", key, median(allMs));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int items = argc > 1 ? std::max(1, atoi(argv[1])) : 1000000;
    const int lookups = argc > 2 ? std::max(1, atoi(argv[2])) : 300;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("inventory.db"));
    const QString sqlite = QStringLiteral("Driver=SQLite3;Database=") + file;
    {
        OdbcConnection connection;
        double ms = 0;
        if (!connection.open(sqlite)) {
            std::fprintf(stderr, "no SQLite3 ODBC driver: %s\n",
                qPrintable(connection.lastError().description));
            return 1;
        }
        ms = timeMs([&] { fill(connection, false, items); });
        std::printf("SQLite inventory made in %.1f s\n", ms / 1000);
    }
    measure("SQLite (SQLite3 ODBC driver)", "sqlite", sqlite, items, lookups);

    const QString cluster = QString::fromLocal8Bit(qgetenv("KESTRANE_PG_CONNECT"));
    if (cluster.isEmpty()) {
        std::printf(
            "\nPostgreSQL: KESTRANE_PG_CONNECT not set (run scripts/pg-cluster), skipped\n");
        return 0;
    }
    const QString name
        = QStringLiteral("kestrane_bench_%1").arg(QCoreApplication::applicationPid());
    QString pg = cluster;
    pg.replace(QRegularExpression(QStringLiteral("(^|;)Database=[^;]*"),
                   QRegularExpression::CaseInsensitiveOption),
        QStringLiteral("\\1Database=") + name);
    {
        OdbcConnection admin;
        if (!admin.open(cluster) || !run(admin, "CREATE DATABASE " + name))
            return 1;
        OdbcConnection connection;
        if (!connection.open(pg))
            return 1;
        const double ms = timeMs([&] { fill(connection, true, items); });
        std::printf("\nPostgreSQL inventory made in %.1f s\n", ms / 1000);
    }
    measure("PostgreSQL on loopback (PostgreSQL Unicode ODBC driver)", "postgresql", pg, items,
        lookups);
    OdbcConnection admin;
    if (admin.open(cluster))
        admin.execute("DROP DATABASE " + name + " WITH (FORCE)");
    return 0;
}
