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

#include <QApplication>
#include <QImage>
#include <QtTest>

Q_DECLARE_METATYPE(DatabaseSettings::Database)

namespace {

const QString NoSuchSource = QStringLiteral("DSN=kestrane_no_such_source;UID=SA;PWD=");
const QString DriverManagerNoSource = QStringLiteral(
    "[unixODBC][Driver Manager]Data source name not found and no default driver specified");

bool inventory(DatabaseSettings::Database database)
{
    return database == DatabaseSettings::Database::Inventory;
}

} // namespace

// The Inventory Database, CIS Database (optional) and Test Database
// Connections commands, against real SQLite files and the PostgreSQL
// cluster of scripts/test.
class TestDbCommands : public QObject
{
    Q_OBJECT

private slots:
    void editRules_data()
    {
        QTest::addColumn<DatabaseSettings::Database>("database");
        QTest::addColumn<TestDatabase::Backend>("backend");
        QTest::addColumn<QString>("answer"); // "<db>" stands for the test database's string
        QTest::addColumn<bool>("makeTable");
        QTest::addColumn<QString>("stored"); // what the key holds afterwards
        QTest::addColumn<bool>("failureShown");
        for (auto database :
            { DatabaseSettings::Database::Inventory, DatabaseSettings::Database::Cis }) {
            for (auto backend : { TestDatabase::SQLite, TestDatabase::PostgreSQL }) {
                const auto row = [&](const char* name) -> QTestData& {
                    return QTest::addRow("%s, %s: %s", inventory(database) ? "inventory" : "cis",
                               qPrintable(TestDatabase::backendName(backend)), name)
                        << database << backend;
                };
                // clang-format off
                row("ok on empty box keeps") << "" << true << "previous" << false;
                row("spaces switch off") << "   " << true << "" << false;
                row("surrounding spaces trimmed") << "  <db>  " << true << "<db>" << false;
                row("table missing is refused") << "<db>" << false << "previous" << true;
                // clang-format on
            }
        }
    }

    void editRules()
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
        const QString table = inventory(database) ? "inv" : "special";
        // An empty table is enough for the trial to succeed.
        if (makeTable)
            QVERIFY2(db.createTable(table, { "1", "10" }), qPrintable(db.error()));
        const QString key = inventory(database) ? SettingsKeys::ODBCINV : SettingsKeys::ODBCCIS;
        appSettings().save(key, "previous");

        dialogs().queueInput(QString(answer).replace("<db>", db.connectString()));
        DatabaseCommands::EditConnectString(database, dialogs(), appSettings());

        QCOMPARE(dialogs().inputRequests().first().defaultText, QString("previous"));
        QCOMPARE(::stored(key), QString(stored).replace("<db>", db.connectString()));
        QCOMPARE(dialogs().messages().size(), failureShown ? 1 : 0);
        if (failureShown) {
            const DialogService::Message& message = dialogs().messages().first();
            QVERIFY2(message.text.startsWith(
                         "Error opening selected odbc source: " + db.connectString() + "\r\n"),
                qPrintable(message.text));
            // The driver's complaint names the missing table.
            QVERIFY2(message.text.contains(table), qPrintable(message.text));
            QCOMPARE(message.title, QString(inventory(database) ? "INV Database" : "CIS Database"));
            QCOMPARE(message.icon, DialogService::Icon::Information);
            QCOMPARE(message.buttons, DialogService::Buttons::Ok);
        }
    }

    // The failure message quotes the answer exactly as typed, spaces included,
    // with the error number and description of the driver manager.
    void failedTrialQuotesAnswer()
    {
        TestSettingsScope scope;
        dialogs().queueInput(" " + NoSuchSource + " ");
        DatabaseCommands::EditConnectString(
            DatabaseSettings::Database::Cis, dialogs(), appSettings());
        QCOMPARE(messageTexts(),
            QStringList { "Error opening selected odbc source:  " + NoSuchSource
                + " \r\n-1: " + DriverManagerNoSource });
        QCOMPARE(stored(SettingsKeys::ODBCCIS), Absent);
    }

    void testReport_data()
    {
        QTest::addColumn<QString>("inv"); // stored strings; "<db>" is a SQLite file
        QTest::addColumn<QString>("cis");
        QTest::addColumn<QString>("report");
        const QString notSetInv = "\r\nInventory Database not set to an ODBC data source.";
        const QString notSetCis = "\r\nOptional CIS Database not set to an ODBC data source.";
        QTest::newRow("neither set") << Absent << Absent << notSetInv + notSetCis;
        QTest::newRow("spaces only") << "   "
                                     << " " << notSetInv + notSetCis;
        QTest::newRow("inventory works, cis fails")
            << "<db>" << NoSuchSource
            << "\r\nInventory Database OK\r\nCIS Database Problem: -1, " + DriverManagerNoSource;
        // A number that is not negative gets a space where the sign would be.
        QTest::newRow("inventory table missing, cis works")
            << "<db-without-inv>"
            << "<db>"
            << "\r\nInventory Database Problem:  1, [SQLite]no such table: inv (1)\r\nCIS "
               "Database OK";
    }

    void testReport()
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
        for (auto [key, value] : { std::pair { SettingsKeys::ODBCINV, inv },
                 std::pair { SettingsKeys::ODBCCIS, cis } }) {
            value.replace("<db-without-inv>", onlySpecial.connectString());
            value.replace("<db>", full.connectString());
            if (value != Absent)
                appSettings().save(key, value);
        }
        DatabaseCommands::TestDatabaseConnections(dialogs(), appSettings());
        QCOMPARE(messageTexts(), QStringList { report });
        QCOMPARE(dialogs().messages().first().title, QString("Alert:"));
        QCOMPARE(dialogs().messages().first().icon, DialogService::Icon::Information);
    }

    // Enter in the SKU box of the real window: the boxes fill from inv and
    // special, the picture and its path are emptied, the sign list is left
    // alone, no message shows, and the focus moves to the promotional price.
    void windowLookupFromKeyboard()
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

        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto text = [&w](const char* name) { return child<EntryBox>(w, name)->text(); };
        EntryBox* sku = child<EntryBox>(w, "txtSku");
        const QString picture = scope.path() + "/item.bmp";
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picture));
        QVERIFY(child<ImageBox>(w, "Image1")->loadPicture(picture));
        w.GraphicFile = picture;
        child<EntryBox>(w, "txtCost")->setText("old cost");
        const int rows = w.model()->Rows();

        sku->setFocus();
        QTest::keyClicks(sku, "A1");
        QTest::keyClick(sku, Qt::Key_Return);
        // inv has no column 54: the cost comes from special; Null in inv
        // counts as found.
        const QList<QPair<const char*, QString>> expected = { { "txtSku", "A1" },
            { "txtDescription", "Hammer" }, { "txtRetail", "9.99" }, { "txtCost", "4.44" },
            { "txtPromo", "" }, { "txtBp1", "Steel" }, { "txtBp2", "Oak" }, { "txtBp3", "" } };
        for (const auto& [name, value] : expected)
            QCOMPARE(text(name), value);
        QVERIFY(!child<ImageBox>(w, "Image1")->hasPicture());
        QCOMPARE(w.GraphicFile, QString());
        QCOMPARE(QApplication::focusWidget(), child<EntryBox>(w, "txtPromo"));
        QCOMPARE(w.model()->Rows(), rows);

        // An unknown SKU empties every box; a changed string is used at once.
        sku->setFocus();
        sku->setText("Z9");
        QTest::keyClick(sku, Qt::Key_Return);
        QCOMPARE(text("txtDescription") + text("txtRetail") + text("txtCost"), QString());
        appSettings().save(SettingsKeys::ODBCINV, "  ");
        sku->setFocus();
        sku->setText("A1");
        QTest::keyClick(sku, Qt::Key_Return);
        QCOMPARE(text("txtDescription"), QString("Other"));
        QCOMPARE(text("txtBp1"), QString(""));
        QVERIFY(dialogs().messages().isEmpty());
    }

    // The three File-menu entries of the real window: first-use prompts and
    // offers, editing and testing the stored strings.
    void windowMenuCommands()
    {
        KESTRANE_REQUIRE_BACKEND(TestDatabase::SQLite);
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        QVERIFY(db.createTable("inv", { "1" }));
        frmSigns w(dialogs());
        dialogs().queueInput(" " + db.connectString());
        trigger(w, "mnuFileOdbcInventory");
        QCOMPARE(stored(SettingsKeys::ODBCINV), db.connectString());
        QCOMPARE(dialogs().inputRequests().last().prompt,
            QString("Default Connect String: DSN=posdb; UID=SA; PWD=\r\n(Table = inv)"));
        QCOMPARE(dialogs().inputRequests().last().title, QString("Inventory ODBC Connect String"));
        QCOMPARE(dialogs().inputRequests().last().defaultText, QString("POSDB"));

        // The CIS database has no special table: refused, nothing stored.
        dialogs().queueInput(db.connectString());
        trigger(w, "mnuFileOdbcCis");
        QCOMPARE(dialogs().inputRequests().last().prompt,
            QString("Default Connect String: DSN=cisdb; UID=SA; PWD=\r\n(Table = special)"));
        QCOMPARE(dialogs().inputRequests().last().title, QString("CIS ODBC COnnect String"));
        QCOMPARE(dialogs().inputRequests().last().defaultText, QString("CISDB"));
        QCOMPARE(dialogs().messages().size(), 1);
        QCOMPARE(stored(SettingsKeys::ODBCCIS), Absent);

        trigger(w, "mnuFileTestDatabase");
        QCOMPARE(messageTexts().last(),
            QString("\r\nInventory Database OK\r\nOptional CIS Database not set to an ODBC data "
                    "source."));
    }
};

QTEST_MAIN(TestDbCommands)
#include "tst_dbcommands.moc"
