#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "itemdata/DatabaseSettings.h"
#include "itemdata/SkuLookup.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"
#include "ui/DatabaseCommands.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/frmSigns.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QtTest>

// The Inventory Database, CIS Database (optional) and Test Database
// Connections commands, against real SQLite files and the PostgreSQL
// cluster of scripts/test.
class TestDbCommands : public QObject
{
    Q_OBJECT

private slots:
    void editRules_data();
    void editRules();
    void failedTrialQuotesAnswer();
    void testReport_data();
    void testReport();
    void dataSourceNames();
    void windowLookupFromKeyboard();
    void windowMenuCommands();
};

Q_DECLARE_METATYPE(DatabaseSettings::Database)

namespace {

const QString NoSuchSource = QStringLiteral("DSN=kestrane_no_such_source;UID=SA;PWD=");
const QString DriverManagerNoSource = QStringLiteral(
    "[unixODBC][Driver Manager]Data source name not found and no default driver specified");

AppSettings appSettings()
{
    return AppSettings(SettingsKeys::Application, SettingsKeys::Section);
}

QString keyOf(DatabaseSettings::Database database)
{
    return database == DatabaseSettings::Database::Inventory ? SettingsKeys::ODBCINV
                                                             : SettingsKeys::ODBCCIS;
}

QString tableOf(DatabaseSettings::Database database)
{
    return database == DatabaseSettings::Database::Inventory ? QStringLiteral("inv")
                                                             : QStringLiteral("special");
}

} // namespace

void TestDbCommands::editRules_data()
{
    QTest::addColumn<DatabaseSettings::Database>("database");
    QTest::addColumn<TestDatabase::Backend>("backend");
    QTest::addColumn<QString>("answer"); // "<db>" stands for the test database's string
    QTest::addColumn<bool>("makeTable");
    QTest::addColumn<QString>("stored"); // what the key holds afterwards
    QTest::addColumn<bool>("failureShown");

    const QString before = QStringLiteral("previous");
    for (auto database :
        { DatabaseSettings::Database::Inventory, DatabaseSettings::Database::Cis }) {
        for (auto backend : { TestDatabase::SQLite, TestDatabase::PostgreSQL }) {
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::addRow("%s, %s: %s",
                           database == DatabaseSettings::Database::Inventory ? "inventory" : "cis",
                           qPrintable(TestDatabase::backendName(backend)), name)
                    << database << backend;
            };
            row("ok on empty box keeps") << "" << true << before << false;
            row("spaces switch off") << "   " << true << "" << false;
            row("working string stored") << "<db>" << true << "<db>" << false;
            row("surrounding spaces trimmed") << "  <db>  " << true << "<db>" << false;
            row("table missing is refused") << "<db>" << false << before << true;
        }
    }
}

void TestDbCommands::editRules()
{
    QFETCH(DatabaseSettings::Database, database);
    QFETCH(TestDatabase::Backend, backend);
    QFETCH(QString, answer);
    QFETCH(bool, makeTable);
    QFETCH(QString, stored);
    QFETCH(bool, failureShown);
    KESTRANE_REQUIRE_BACKEND(backend);
    TestSettingsScope scope;
    TestDatabase db(backend);
    QVERIFY2(db.isValid(), qPrintable(db.error()));
    // An empty table is enough for the trial to succeed.
    if (makeTable)
        QVERIFY2(db.createTable(tableOf(database), { "1", "10" }), qPrintable(db.error()));
    const QString key = keyOf(database);
    appSettings().save(key, "previous");

    DialogService& dialogs = DialogService::instance();
    dialogs.queueInput(QString(answer).replace("<db>", db.connectString()));
    DatabaseCommands::EditConnectString(database, dialogs, appSettings());

    QCOMPARE(dialogs.inputRequests().first().defaultText, QString("previous"));
    QCOMPARE(
        appSettings().text(key, "<unset>"), QString(stored).replace("<db>", db.connectString()));
    QCOMPARE(dialogs.messages().size(), failureShown ? 1 : 0);
    if (failureShown) {
        const DialogService::Message& message = dialogs.messages().first();
        QVERIFY2(message.text.startsWith(
                     "Error opening selected odbc source: " + db.connectString() + "\r\n"),
            qPrintable(message.text));
        // The driver's complaint names the missing table.
        QVERIFY2(message.text.contains(tableOf(database)), qPrintable(message.text));
        QCOMPARE(message.title,
            database == DatabaseSettings::Database::Inventory ? QString("INV Database")
                                                              : QString("CIS Database"));
        QCOMPARE(message.icon, DialogService::Icon::Information);
        QCOMPARE(message.buttons, DialogService::Buttons::Ok);
    }
}

// The failure message quotes the answer exactly as typed, spaces included,
// with the error number and description of the driver manager.
void TestDbCommands::failedTrialQuotesAnswer()
{
    TestSettingsScope scope;
    DialogService& dialogs = DialogService::instance();
    dialogs.queueInput(" " + NoSuchSource + " ");
    DatabaseCommands::EditConnectString(DatabaseSettings::Database::Cis, dialogs, appSettings());
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(dialogs.messages().first().text,
        "Error opening selected odbc source:  " + NoSuchSource
            + " \r\n-1: " + DriverManagerNoSource);
    QCOMPARE(dialogs.messages().first().title, QString("CIS Database"));
    QCOMPARE(appSettings().text(SettingsKeys::ODBCCIS, "<unset>"), QString("<unset>"));
}

void TestDbCommands::testReport_data()
{
    QTest::addColumn<QString>("inv"); // stored strings; "<db>" is a SQLite file
    QTest::addColumn<QString>("cis");
    QTest::addColumn<QString>("report");
    const QString notSetInv = "\r\nInventory Database not set to an ODBC data source.";
    const QString notSetCis = "\r\nOptional CIS Database not set to an ODBC data source.";
    QTest::newRow("neither set") << "<unset>"
                                 << "<unset>" << notSetInv + notSetCis;
    QTest::newRow("spaces only") << "   "
                                 << " " << notSetInv + notSetCis;
    QTest::newRow("inventory works, cis fails")
        << "<db>" << NoSuchSource
        << "\r\nInventory Database OK\r\nCIS Database Problem: -1, " + DriverManagerNoSource;
    // A number that is not negative gets a space where the sign would be.
    QTest::newRow("inventory table missing, cis works")
        << "<db-without-inv>"
        << "<db>"
        << "\r\nInventory Database Problem:  1, [SQLite]no such table: inv (1)\r\nCIS Database OK";
    QTest::newRow("inventory fails, cis not set")
        << NoSuchSource << "<unset>"
        << "\r\nInventory Database Problem: -1, " + DriverManagerNoSource + notSetCis;
}

void TestDbCommands::testReport()
{
    QFETCH(QString, inv);
    QFETCH(QString, cis);
    QFETCH(QString, report);
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    TestSettingsScope scope;
    TestDatabase full(TestDatabase::SQLite);
    QVERIFY(full.createTable("inv", { "1" }) && full.createTable("special", { "1" }));
    TestDatabase onlySpecial(TestDatabase::SQLite);
    QVERIFY(onlySpecial.createTable("special", { "1" }));
    const auto store = [&](const QString& key, QString value) {
        if (value == "<unset>")
            return;
        value.replace("<db-without-inv>", onlySpecial.connectString());
        value.replace("<db>", full.connectString());
        appSettings().save(key, value);
    };
    store(SettingsKeys::ODBCINV, inv);
    store(SettingsKeys::ODBCCIS, cis);

    DialogService& dialogs = DialogService::instance();
    DatabaseCommands::TestDatabaseConnections(dialogs, appSettings());
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(dialogs.messages().first().text, report);
    QCOMPARE(dialogs.messages().first().title, QString("Alert:"));
    QCOMPARE(dialogs.messages().first().icon, DialogService::Icon::Information);
}

// "DSN=...; UID=...; PWD=" (as the prompt suggests it), against a data
// source defined in an odbc.ini of the test's own: stored as typed, tested
// OK, and used by the lookup.
void TestDbCommands::dataSourceNames()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    TestSettingsScope scope;
    TestDatabase db(TestDatabase::SQLite);
    QVERIFY(db.createTable("inv", { "1", "10", "48" }));
    QVERIFY(db.insert("inv", { QString("A1"), QString("Hammer"), QString("9.99") }));

    QTemporaryDir dir;
    QFile ini(dir.filePath("odbc.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(QString("[kestrane_inv]\nDriver=SQLite3\nDatabase=%1\n").arg(db.filePath()).toUtf8());
    ini.close();
    const QByteArray previous = qgetenv("ODBCINI");
    qputenv("ODBCINI", ini.fileName().toLocal8Bit());
    const auto restore = qScopeGuard([&] {
        if (previous.isNull())
            qunsetenv("ODBCINI");
        else
            qputenv("ODBCINI", previous);
    });

    const QString typed = "DSN=kestrane_inv; UID=SA; PWD=";
    DialogService& dialogs = DialogService::instance();
    dialogs.queueInput(typed);
    DatabaseCommands::EditConnectString(
        DatabaseSettings::Database::Inventory, dialogs, appSettings());
    QVERIFY2(dialogs.messages().isEmpty(), qPrintable(dialogs.messages().value(0).text));
    QCOMPARE(appSettings().text(SettingsKeys::ODBCINV, QString()), typed);
    QCOMPARE(DatabaseSettings::TestReport(appSettings()),
        QString("\r\nInventory Database OK\r\nOptional CIS Database not set to an ODBC data "
                "source."));
    QCOMPARE(
        SkuLookup::run("A1", typed, QString()).values[SkuLookup::Description], QString("Hammer"));
}

// Enter in the SKU box of the real window: the boxes fill from inv and
// special, the picture and its path are emptied, the sign list is left
// alone, no message shows, and the focus moves to the promotional price.
void TestDbCommands::windowLookupFromKeyboard()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    TestSettingsScope scope;
    TestDatabase db(TestDatabase::SQLite);
    QVERIFY(db.createTable("inv", { "1", "10", "48", "56", "177", "178", "179" }));
    QVERIFY(db.insert("inv",
        { QString("A1"), QString("Hammer"), QString("9.99"), std::nullopt, QString("Steel"),
            QString("Oak"), QString("") }));
    QVERIFY(db.createTable("special", { "1", "10", "48", "54", "56" }));
    QVERIFY(db.insert("special",
        { QString("A1"), QString("Other"), QString("1"), QString("4.44"), QString("6.66") }));
    appSettings().save(SettingsKeys::ODBCINV, db.connectString());
    appSettings().save(SettingsKeys::ODBCCIS, db.connectString());

    frmSigns w(DialogService::instance());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QString picture = scope.path() + "/item.bmp";
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));
    QVERIFY(w.Image1->loadPicture(picture));
    w.GraphicFile = picture;
    w.txtCost->setText("old cost");
    const int rows = w.model()->Rows();

    w.txtSku->setFocus();
    QTest::keyClicks(w.txtSku, "A1");
    QTest::keyClick(w.txtSku, Qt::Key_Return);
    QCOMPARE(w.txtSku->text(), QString("A1"));
    QCOMPARE(w.txtDescription->text(), QString("Hammer"));
    QCOMPARE(w.txtRetail->text(), QString("9.99"));
    QCOMPARE(w.txtCost->text(), QString("4.44")); // inv has no column 54
    QCOMPARE(w.txtPromo->text(), QString("")); // Null in inv counts as found
    QCOMPARE(w.txtBp1->text(), QString("Steel"));
    QCOMPARE(w.txtBp2->text(), QString("Oak"));
    QCOMPARE(w.txtBp3->text(), QString(""));
    QVERIFY(!w.Image1->hasPicture());
    QCOMPARE(w.GraphicFile, QString());
    QCOMPARE(QApplication::focusWidget(), w.txtPromo);
    QCOMPARE(w.model()->Rows(), rows);
    QVERIFY(DialogService::instance().messages().isEmpty());

    // An unknown SKU empties every box; a changed string is used at once.
    w.txtSku->setFocus();
    w.txtSku->setText("Z9");
    QTest::keyClick(w.txtSku, Qt::Key_Return);
    QCOMPARE(w.txtDescription->text() + w.txtRetail->text() + w.txtCost->text(), QString());
    appSettings().save(SettingsKeys::ODBCINV, "  ");
    w.txtSku->setFocus();
    w.txtSku->setText("A1");
    QTest::keyClick(w.txtSku, Qt::Key_Return);
    QCOMPARE(w.txtDescription->text(), QString("Other"));
    QCOMPARE(w.txtBp1->text(), QString(""));
    QVERIFY(DialogService::instance().messages().isEmpty());
}

// The three File-menu entries of the real window: enabled, with their
// captions, first-use prompts and offers, editing and testing the stored
// strings.
void TestDbCommands::windowMenuCommands()
{
    KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
    TestSettingsScope scope;
    TestDatabase db(TestDatabase::SQLite);
    QVERIFY(db.createTable("inv", { "1" }));
    frmSigns w(DialogService::instance());
    DialogService& dialogs = DialogService::instance();

    const auto trigger = [&](const char* name, const QString& caption) {
        QAction* action = w.findChild<QAction*>(QLatin1String(name));
        QVERIFY2(action && action->isEnabled(), name);
        QCOMPARE(action->text().remove('&'), caption);
        action->trigger();
    };
    dialogs.queueInput(" " + db.connectString());
    trigger("mnuFileOdbcInventory", "Inventory Database");
    QCOMPARE(appSettings().text(SettingsKeys::ODBCINV, QString()), db.connectString());
    QCOMPARE(dialogs.inputRequests().last().prompt,
        QString("Default Connect String: DSN=posdb; UID=SA; PWD=\r\n(Table = inv)"));
    QCOMPARE(dialogs.inputRequests().last().title, QString("Inventory ODBC Connect String"));
    QCOMPARE(dialogs.inputRequests().last().defaultText, QString("POSDB"));

    // The CIS database has no special table: refused, nothing stored.
    dialogs.queueInput(db.connectString());
    trigger("mnuFileOdbcCis", "CIS Database (optional)");
    QCOMPARE(dialogs.inputRequests().last().prompt,
        QString("Default Connect String: DSN=cisdb; UID=SA; PWD=\r\n(Table = special)"));
    QCOMPARE(dialogs.inputRequests().last().title, QString("CIS ODBC COnnect String"));
    QCOMPARE(dialogs.inputRequests().last().defaultText, QString("CISDB"));
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(dialogs.messages().last().title, QString("CIS Database"));
    QCOMPARE(appSettings().text(SettingsKeys::ODBCCIS, "<unset>"), QString("<unset>"));

    trigger("mnuFileTestDatabase", "Test Database Connections");
    QCOMPARE(dialogs.messages().size(), 2);
    QCOMPARE(dialogs.messages().last().text,
        QString("\r\nInventory Database OK\r\nOptional CIS Database not set to an ODBC data "
                "source."));
    QCOMPARE(dialogs.messages().last().title, QString("Alert:"));
}

QTEST_MAIN(TestDbCommands)
#include "tst_dbcommands.moc"
