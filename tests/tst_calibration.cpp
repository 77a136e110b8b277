#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/frmCalibrate.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

namespace {

const char* const BoxNames[] = { "txtMarginTop", "txtMarginLeft", "txtAdj4UD", "txtAdj4LR",
    "txtAdj2UD", "txtAdj2LR", "txtAdj1UD", "txtAdj1LR" };
const QString Keys[] = { SettingsKeys::MARGINTOP, SettingsKeys::MARGINLEFT, SettingsKeys::ADJ4UD,
    SettingsKeys::ADJ4LR, SettingsKeys::ADJ2UD, SettingsKeys::ADJ2LR, SettingsKeys::ADJ1UD,
    SettingsKeys::ADJ1LR };

QLineEdit* box(frmCalibrate& dlg, int i)
{
    return child<QLineEdit>(dlg, BoxNames[i]);
}

void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void clickPrintSku(frmCalibrate& dlg)
{
    QTest::mouseClick(
        dlg.ckbPrintSku, Qt::LeftButton, {}, QPoint(8, dlg.ckbPrintSku->height() / 2));
}

} // namespace

// The calibration dialog: what it shows, the numeric check of every box, and
// what OK and Cancel store.
class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void emptyStoreShowsDefaults()
    {
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        QCOMPARE(dlg.windowTitle(), QString("Calibrate Printer"));
        QVERIFY(dlg.isModal());
        const QString expected[] = { "180", "270", "0", "0", "0", "0", "0", "0" };
        for (int i = 0; i < 8; ++i)
            QCOMPARE(box(dlg, i)->text(), expected[i]);
        QVERIFY(dlg.ckbPrintSku->isChecked());
        // No printer to ask: the page boxes stay empty and the dialog still works.
        QCOMPARE(dlg.txtPgHt->text(), QString());
        QVERIFY(dialogs().messages().isEmpty());
    }

    void validationOrder_data()
    {
        QTest::addColumn<int>("bad"); // the first box that fails; every later box fails too
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        // clang-format off
        QTest::newRow("top empty") << 0 << "" << "Top Margin";
        QTest::newRow("left blank") << 1 << "   " << "Left Margin";
        QTest::newRow("4-up up/down") << 2 << "x" << "Up/Down 4-Up";
        QTest::newRow("4-up left/right") << 3 << "1e2" << "Left/Right 4-Up";
        QTest::newRow("2-up up/down") << 4 << "-" << "Up/Down 2-Up";
        QTest::newRow("2-up left/right") << 5 << "1,5" << "Left/Right 2-Up";
        QTest::newRow("1-up up/down") << 6 << "." << "Up/Down 1-Up";
        QTest::newRow("1-up left/right") << 7 << "12a" << "Left/Right 1-Up";
        // clang-format on
    }

    void validationOrder()
    {
        QFETCH(int, bad);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        for (int i = 0; i < 8; ++i)
            box(dlg, i)->setText(i < bad ? "0" : i == bad ? text : "abc");
        dlg.cmdOk->setFocus();

        QTest::mouseClick(dlg.cmdOk, Qt::LeftButton);
        // Later boxes are not examined.
        QCOMPARE(messageTexts(), QStringList { caption + " must be numeric.  Please correct." });
        const DialogService::Message& shown = dialogs().messages().constFirst();
        QCOMPARE(shown.title, QString("Alert:"));
        QCOMPARE(shown.icon, DialogService::Icon::Information);
        QCOMPARE(shown.buttons, DialogService::Buttons::Ok);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString(BoxNames[bad]));
        QVERIFY(dlg.isVisible());
        for (const QString& key : Keys)
            QCOMPARE(stored(key), Absent);
        QCOMPARE(stored(SettingsKeys::PRINTSKU), Absent);
    }

    void numericForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        const QStringList numbers = { "-360", "12.5", "+45", ".5", "  42  " };
        const QStringList others
            = { "12abc", "1e3", "1,000", "+-1", "1 000", "- 5", "&H10", "inf" };
        for (const QString& text : numbers)
            QTest::addRow("%s", qPrintable(text)) << text << true;
        for (const QString& text : others)
            QTest::addRow("%s", qPrintable(text)) << text << false;
    }

    void numericForms()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        dlg.txtAdj2UD->setText(text);
        dlg.cmdOk->click();
        QCOMPARE(dlg.result(), int(numeric ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(messageTexts().size(), numeric ? 0 : 1);
        QCOMPARE(stored(SettingsKeys::ADJ2UD), numeric ? text : Absent);
    }

    void okStoresExactTexts()
    {
        TestSettingsScope scope;
        const QString texts[] = { "200.5", "-360", "12.5", "-12.5", "0", " 7 ", "+100", "1440" };
        {
            frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            for (int i = 0; i < 8; ++i)
                retype(box(dlg, i), texts[i]);
            clickPrintSku(dlg);
            QTest::mouseClick(dlg.cmdOk, Qt::LeftButton);
            QVERIFY(dialogs().messages().isEmpty());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QVERIFY(!dlg.isVisible());
        }
        for (int i = 0; i < 8; ++i)
            QCOMPARE(stored(Keys[i]), texts[i]);
        QCOMPARE(stored(SettingsKeys::PRINTSKU), QString("0"));
        // The print job reads the margin as a whole number, halves to even.
        QCOMPARE(appSettings().wholePrefix(SettingsKeys::MARGINTOP, "0"), 200);

        frmCalibrate again(appSettings(), dialogs(), nullptr, {}, nullptr);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(box(again, i)->text(), texts[i]);
        QVERIFY(!again.ckbPrintSku->isChecked());
    }

    void printSkuState_data()
    {
        QTest::addColumn<QString>("storedValue");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("written"); // after OK without touching the box
        QTest::newRow("absent") << Absent << true << "1";
        QTest::newRow("0 with letters") << "0abc" << false << "0";
        QTest::newRow("letters read as 0") << "no" << false << "0";
    }

    void printSkuState()
    {
        QFETCH(QString, storedValue);
        QFETCH(bool, checked);
        QFETCH(QString, written);
        TestSettingsScope scope;
        if (storedValue != Absent)
            appSettings().save(SettingsKeys::PRINTSKU, storedValue);
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        QCOMPARE(dlg.ckbPrintSku->isChecked(), checked);
        dlg.cmdOk->click();
        QCOMPARE(stored(SettingsKeys::PRINTSKU), written);
    }

    void cancelWritesNothing()
    {
        TestSettingsScope scope;
        appSettings().save(SettingsKeys::MARGINTOP, "90");
        for (bool byEscape : { false, true }) {
            frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            retype(dlg.txtMarginTop, "100");
            retype(dlg.txtAdj1LR, "-20");
            clickPrintSku(dlg);
            if (byEscape)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                QTest::mouseClick(dlg.cmdCancel, Qt::LeftButton);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QVERIFY(!dlg.isVisible());
        }
        QCOMPARE(stored(SettingsKeys::MARGINTOP), QString("90"));
        for (int i = 1; i < 8; ++i)
            QCOMPARE(stored(Keys[i]), Absent);
        QCOMPARE(stored(SettingsKeys::PRINTSKU), Absent);
        QVERIFY(dialogs().messages().isEmpty());
    }

    void pageSizeFromPrinter()
    {
        TestSettingsScope scope;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(scope.path() + "/never-written.pdf");
        // US Letter, a quarter inch (18 points) unprintable, a little more at
        // the bottom: the printable height has a fraction of a twip.
        QVERIFY(printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
            QPageLayout::Portrait, QMarginsF(18, 18, 18, 27.01), QPageLayout::Point)));
        frmCalibrate dlg(appSettings(), dialogs(), &printer, {}, nullptr);
        QCOMPARE(dlg.txtPgHt->text(), QString("15840, 14939.8"));
        QCOMPARE(dlg.txtPgWd->text(), QString("12240, 11520"));
        // The figures are those of the current orientation, which stays as it was.
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        QVERIFY(!QFile::exists(scope.path() + "/never-written.pdf"));
    }
};

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
