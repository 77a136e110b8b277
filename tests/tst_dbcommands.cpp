// The Inventory Database, CIS Database (optional) and Test Database Connections commands, and the
// lookup in the real window.
#include "PrintTestSupport.h"
#include "itemdata/DatabaseSettings.h"
#include "support/TestDatabase.h"
#include "support/TestSupport.h"
#include "ui/DatabaseCommands.h"
#include "ui/EntryBox.h"
#include "ui/ImageBox.h"
#include "ui/frmSigns.h"

#include <QtTest>
#include <QtWidgets>

Q_DECLARE_METATYPE(DatabaseSettings::Database)

namespace {

const QString NoSuchSource = QStringLiteral("DSN=kestrane_no_such_source;UID=SA;PWD=");
const QString DriverManagerNoSource = QStringLiteral(
    "[unixODBC][Driver Manager]Data source name not found and no default driver specified");

} // namespace

class TestDbCommands : public QObject
{
    Q_OBJECT

private slots:
    void editRules_data()
    {
        QTest::addColumn<DatabaseSettings::Database>("database");
        QTest::addColumn<QString>("answer"); // "<db>" stands for the test database's string
        QTest::addColumn<QString>("stored"); // what the key holds afterwards
        QTest::addColumn<bool>("refused"); // the database lacks the table: a message shows
        QTest::addColumn<TestDatabase::Backend>("backend");
        for (auto db : { DatabaseSettings::Database::Inventory, DatabaseSettings::Database::Cis }) {
            const QString which = db == DatabaseSettings::Database::Inventory ? "inv: " : "cis: ";
            const auto row = [&](const char* name, const char* answer, const char* stored,
                                 bool no) {
                KESTRANE_BACKEND_ROWS(qPrintable(which + name), << db << answer << stored << no);
            };
            row("ok on empty box keeps", "", "previous", false);
            row("spaces switch off", "   ", "", false);
            row("surrounding spaces trimmed", "  <db>  ", "<db>", false);
            row("table missing is refused", "<db>", "previous", true);
        }
    }
    void editRules()
    {
        QFETCH(DatabaseSettings::Database, database);
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        QFETCH(TestDatabase::Backend, backend);
        TestSettingsScope scope;
        TestDatabase db(backend);
        KESTRANE_USE(db);
        const bool inventory = database == DatabaseSettings::Database::Inventory;
        const QString table = inventory ? "inv" : "special";
        // An empty table is enough for the trial to succeed.
        QVERIFY2(refused || db.fill(table, "1,10"), qPrintable(db.error()));
        const QString key = inventory ? SettingsKeys::ODBCINV : SettingsKeys::ODBCCIS;
        appSettings().save(key, "previous");
        dialogs().queueInput(QString(answer).replace("<db>", db.connectString()));
        DatabaseCommands::EditConnectString(database, dialogs(), appSettings());
        QCOMPARE(dialogs().inputRequests().first().defaultText + " > " + ::stored(key),
            "previous > " + QString(stored).replace("<db>", db.connectString()));
        QCOMPARE(dialogs().messages().size(), refused ? 1 : 0);
        if (!refused)
            return;
        // The string as typed, its password masked, and the driver's complaint naming the table.
        const DialogService::Message& message = dialogs().messages().first();
        const QString shown
            = QString(db.connectString()).replace(QRegularExpression("(?i)(pwd=)[^;]*"), "\\1****");
        QVERIFY2(message.text.startsWith("Error opening selected odbc source: " + shown + "\r\n")
                && message.text.contains(table) && message.icon == DialogService::Icon::Information
                && message.buttons == DialogService::Buttons::Ok,
            qPrintable(message.text));
        QCOMPARE(message.title, QString(inventory ? "INV Database" : "CIS Database"));
    }
    void testReport_data()
    {
        QTest::addColumn<QString>("inv"); // stored strings; "<db>" has no inv table
        QTest::addColumn<QString>("cis");
        QTest::addColumn<QString>("report");
        const QString notSet = "\r\nInventory Database not set to an ODBC data source.\r\nOptional "
                               "CIS Database not set to an ODBC data source.";
        QTest::newRow("neither set") << Absent << Absent << notSet;
        QTest::newRow("spaces only") << "   " << QString(" ") << notSet;
        // A number that is not negative gets a space where the sign would be.
        QTest::newRow("both fail") << "<db>" << NoSuchSource
                                   << "\r\nInventory Database Problem:  1, [SQLite]no such table: "
                                      "inv (1)\r\nCIS Database Problem: -1, "
                + DriverManagerNoSource;
    }
    void testReport()
    {
        QFETCH(QString, inv);
        QFETCH(QString, cis);
        QFETCH(QString, report);
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        QVERIFY(db.fill("special", "1"));
        for (auto [key, value] :
            { std::pair { SettingsKeys::ODBCINV, inv }, std::pair { SettingsKeys::ODBCCIS, cis } })
            if (value != Absent)
                appSettings().save(key, value.replace("<db>", db.connectString()));
        DatabaseCommands::TestDatabaseConnections(dialogs(), appSettings());
        QCOMPARE(messageTexts(), QStringList { report });
        QVERIFY(dialogs().messages().first().title == "Alert:"
            && dialogs().messages().first().icon == DialogService::Icon::Information);
    }
    // The real window: the three File-menu entries with their prompts, and Enter in the SKU box,
    // which fills the boxes from inv and special, empties the picture, leaves the list alone and
    // moves to the promotional price; the status bar shows the lookup's line and each database's
    // state, with the driver's reason as the indicator's tooltip.
    void window()
    {
        TestSettingsScope scope;
        TestDatabase db(TestDatabase::SQLite);
        KESTRANE_USE(db);
        // inv has no column 54: the cost comes from special. Null counts as found.
        QVERIFY(db.fill("inv", "1,10,48,56,177,178,179|A1,Hammer,9.99,~,Steel,Oak,")
            && db.fill("special", "1,10,48,54,56|A1,Other,1,4.44,6.66|C3,Drill,49,30,45"));
        frmSigns w(dialogs());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLabel* invState = child<QLabel>(w, "lblInvState");
        const auto states
            = [&] { return invState->text() + " / " + child<QLabel>(w, "lblCisState")->text(); };
        const auto asked = [] {
            const DialogService::InputRequest& request = dialogs().inputRequests().last();
            return request.prompt + "|" + request.title + "|" + request.defaultText;
        };
        QCOMPARE(states(), QString("Inventory: not set / CIS: not set"));
        dialogs().queueInput(" " + db.connectString());
        trigger(w, "mnuFileOdbcInventory");
        QCOMPARE(asked(),
            "Default Connect String: DSN=posdb; UID=SA; PWD=\r\n(Table = inv)|Inventory ODBC "
            "Connect String|POSDB");
        QCOMPARE(stored(SettingsKeys::ODBCINV), db.connectString());
        // A refused answer is quoted as typed, with the driver manager's number and text.
        dialogs().queueInput(" " + NoSuchSource + " ");
        trigger(w, "mnuFileOdbcCis");
        QCOMPARE(asked(),
            "Default Connect String: DSN=cisdb; UID=SA; PWD=\r\n(Table = special)|CIS ODBC COnnect "
            "String|CISDB");
        QCOMPARE(stored(SettingsKeys::ODBCCIS), Absent);
        appSettings().save(SettingsKeys::ODBCCIS, db.connectString());
        trigger(w, "mnuFileTestDatabase");
        QCOMPARE(messageTexts(),
            QStringList({ "Error opening selected odbc source:  " + NoSuchSource
                    + " \r\n-1: " + DriverManagerNoSource,
                "\r\nInventory Database OK\r\nCIS Database OK" }));
        QCOMPARE(states(), QString("Inventory: connected / CIS: connected"));
        // A failed trial of another string leaves the stored one's indicator.
        dialogs().queueInput("Driver=SQLite3;Database=" + scope.path() + "/typo.db");
        trigger(w, "mnuFileOdbcInventory");
        QCOMPARE(states() + invState->toolTip(), QString("Inventory: connected / CIS: connected"));
        dialogs().queueFile(PrintTest::writePicture(scope.path(), "item.bmp", 8, 8));
        trigger(w, "mnuFileGraphic");
        QVERIFY(child<ImageBox>(w, "Image1")->hasPicture());
        child<EntryBox>(w, "txtCost")->setText("old cost");
        const int rows = w.model()->Rows();
        EntryBox* sku = child<EntryBox>(w, "txtSku");
        const auto status = [&] { return w.statusBar()->currentMessage(); };
        const auto shown = [&] {
            QStringList boxes;
            for (const char* box : { "txtSku", "txtDescription", "txtRetail", "txtCost", "txtPromo",
                     "txtBp1", "txtBp2", "txtBp3" })
                boxes << child<EntryBox>(w, box)->text();
            return boxes.join('|') + " / " + status();
        };
        // Types the SKU and Enter: the chain moves on at once; the boxes fill when the lookup
        // reports.
        const auto type = [&](const QString& text) {
            sku->setFocus();
            sku->clear();
            QTest::keyClicks(sku, text);
            QTest::keyClick(sku, Qt::Key_Return);
            return QApplication::focusWidget() == child<EntryBox>(w, "txtPromo");
        };
        const auto reported = [&] {
            return QTest::qWaitFor([&] { return !status().startsWith("Looking"); }, 8000);
        };
        const auto enter = [&](const QString& text) {
            return type(text) && reported() ? shown() : QString("focus stayed, or no outcome");
        };
        QCOMPARE(
            enter("A1"), QString("A1|Hammer|9.99|4.44||Steel|Oak| / SKU A1 found in inventory"));
        // The list is left alone; the picture and its path are gone: the next item-graphic
        // dialog starts from nothing.
        dialogs().queueFile(std::nullopt);
        trigger(w, "mnuFileGraphic");
        QVERIFY(w.model()->Rows() == rows && !child<ImageBox>(w, "Image1")->hasPicture()
            && dialogs().fileRequests().constLast().fileName.isEmpty());
        QCOMPARE(enter("Z9"), QString("Z9||||||| / SKU Z9 not found"));
        // A changed string is used at once.
        appSettings().save(SettingsKeys::ODBCINV, "  ");
        QCOMPARE(enter("A1"), QString("A1|Other|1|4.44|6.66||| / SKU A1 found in CIS"));
        QCOMPARE(states(), QString("Inventory: not set / CIS: connected"));
        const QString missing = scope.path() + "/gone.db";
        appSettings().save(SettingsKeys::ODBCINV, "Driver=SQLite3;Database=" + missing);
        QCOMPARE(enter("C3"),
            "C3|Drill|49|30|45||| / SKU C3 found in CIS; Inventory database "
            "unavailable: database file not found: "
                + missing);
        QCOMPARE(states() + " / " + invState->toolTip(),
            "Inventory: unavailable / CIS: connected / database file not found: " + missing);
        QVERIFY(dialogs().messages().size() == 3 && !QFile::exists(missing));
        // A lookup that waits on a locked file: the clerk types on meanwhile. Its outcome fills
        // only the boxes not typed in since the Enter, and is dropped when the SKU box holds
        // another SKU.
        appSettings().save(SettingsKeys::ODBCINV, db.connectString());
        const auto whileLocked = [&](const QString& typed, const auto& meanwhile) {
            QProcess holder;
            if (!db.holdLock(holder) || !type(typed)
                || status() != "Looking up SKU " + typed + QChar(0x2026))
                return false;
            meanwhile();
            holder.write("COMMIT;\n.quit\n");
            holder.waitForFinished();
            return reported();
        };
        QVERIFY(whileLocked("A1", [&] {
            QTest::keyClicks(QApplication::focusWidget(), "5.55");
            QTest::keyClick(child<EntryBox>(w, "txtBp1"), Qt::Key_X);
        }));
        QCOMPARE(shown(), QString("A1|Hammer|9.99|4.44|5.55|x|Oak| / SKU A1 found in inventory"));
        QVERIFY(whileLocked("B2", [&] {
            sku->setFocus();
            QTest::keyClick(sku, Qt::Key_Backspace);
        }));
        QCOMPARE(shown(), QString("B|Hammer|9.99|4.44|5.55|x|Oak| / "));
        frmSigns fresh(dialogs()); // strings set but not used yet
        QCOMPARE(child<QLabel>(fresh, "lblCisState")->text(), QString("CIS: not checked"));
    }
    // The connection-string box takes a pasted string whole: one longer than the driver manager
    // accepts is refused with its true length, and nothing is stored.
    void longPasteRefused()
    {
        TestSettingsScope scope;
        appSettings().save(SettingsKeys::ODBCINV, "previous");
        dialogs().setScripted(false);
        const auto scripted = qScopeGuard([] { dialogs().setScripted(true); });
        QStringList shown;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                QLineEdit* line = input->findChild<QLineEdit*>();
                line->selectAll();
                line->insert("Driver=SQLite3;Database=" + QString(32768 - 24, 'x'));
                input->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                shown << box->text();
                box->accept();
            }
        });
        answer.start(50);
        DatabaseCommands::EditConnectString(
            DatabaseSettings::Database::Inventory, dialogs(), appSettings());
        QCOMPARE(shown.size(), 1);
        QVERIFY2(stored(SettingsKeys::ODBCINV) == "previous"
                && shown.first().endsWith(
                    "The connection string is too long: 32768 characters, at most 32767"),
            qPrintable(shown.first().right(100)));
    }
};

QTEST_MAIN(TestDbCommands)
#include "tst_dbcommands.moc"
