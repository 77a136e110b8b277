#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "support/TestSupport.h"
#include "ui/DialogService.h"
#include "ui/frmCalibrate.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

namespace {

const QString Absent = QStringLiteral("<absent>");

const char* const BoxNames[] = { "txtMarginTop", "txtMarginLeft", "txtAdj4UD", "txtAdj4LR",
    "txtAdj2UD", "txtAdj2LR", "txtAdj1UD", "txtAdj1LR" };
const QString Keys[] = { SettingsKeys::MARGINTOP, SettingsKeys::MARGINLEFT, SettingsKeys::ADJ4UD,
    SettingsKeys::ADJ4LR, SettingsKeys::ADJ2UD, SettingsKeys::ADJ2LR, SettingsKeys::ADJ1UD,
    SettingsKeys::ADJ1LR };

AppSettings appSettings()
{
    return AppSettings(SettingsKeys::Application, SettingsKeys::Section);
}

QString stored(const QString& key)
{
    return appSettings().text(key, Absent);
}

DialogService& dialogs()
{
    return DialogService::instance();
}

QLineEdit* box(frmCalibrate& dlg, const char* name)
{
    return dlg.findChild<QLineEdit*>(QLatin1String(name));
}

void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

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
            QCOMPARE(box(dlg, BoxNames[i])->text(), expected[i]);
        QVERIFY(dlg.ckbPrintSku->isChecked());
        QCOMPARE(dlg.ckbPrintSku->text(),
            QString(" Print Sku on Signs (Normally this box will be checked)"));
        // No printer to ask: the page boxes stay empty and the dialog still works.
        QCOMPARE(dlg.txtPgHt->text(), QString());
        QCOMPARE(dlg.findChild<QPushButton*>("cmdOk")->toolTip(),
            QString("Click OK to save your margin settings."));
        QCOMPARE(dlg.findChild<QPushButton*>("cmdCancel")->toolTip(),
            QString("Click Cancel to exit without saving new margin settings."));
        QVERIFY(dialogs().messages().isEmpty());
    }

    void instructionTexts()
    {
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        QCOMPARE(dlg.findChild<QLabel*>("lblMarginHelp")->text(),
            QString("To properly position your signs on the page, you must\n"
                    "verify the top and right margin widths.\n"
                    "\n"
                    "Adjust the suggested margin so that the crossed lines\n"
                    "print in the middle of the test page.\n"
                    "\n"
                    "You can find the middle of the page by folding the printed\n"
                    "test page in half and then in half again (quarterfolding).\n"
                    "\n"
                    "When setting the margin, 360 = 1/4\".  DECREASE to move\n"
                    "right or down, INCREASE to move left or up."));
        QCOMPARE(dlg.findChild<QLabel*>("lblShiftHelp")->text(),
            QString("Once the center of the page is identified, you can also\n"
                    "shift the text left-right and up-down for each sign\n"
                    "format.  Large adjustments may cause some text to\n"
                    "extend off the sign or not print.\n"
                    "\n"
                    "Ordinarily these adjustments will all be set to zero.\n"
                    "\n"
                    "360 = 1/4\".  Positive numbers shift right or down.\n"
                    "Negative numbers shift left or up."));
        // Shown as plain text, so the double spaces survive.
        QCOMPARE(dlg.findChild<QLabel*>("lblShiftHelp")->textFormat(), Qt::PlainText);
    }

    void validationOrder_data()
    {
        QTest::addColumn<int>("bad"); // the first box that fails; every later box fails too
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("top empty") << 0 << ""
                                   << "Top Margin";
        QTest::newRow("left blank") << 1 << "   "
                                    << "Left Margin";
        QTest::newRow("4-up up/down") << 2 << "x"
                                      << "Up/Down 4-Up";
        QTest::newRow("4-up left/right") << 3 << "1e2"
                                         << "Left/Right 4-Up";
        QTest::newRow("2-up up/down") << 4 << "-"
                                      << "Up/Down 2-Up";
        QTest::newRow("2-up left/right") << 5 << "1,5"
                                         << "Left/Right 2-Up";
        QTest::newRow("1-up up/down") << 6 << "."
                                      << "Up/Down 1-Up";
        QTest::newRow("1-up left/right") << 7 << "12a"
                                         << "Left/Right 1-Up";
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
            box(dlg, BoxNames[i])->setText(i < bad ? "0" : i == bad ? text : "abc");
        dlg.cmdOk->setFocus();

        QTest::mouseClick(dlg.cmdOk, Qt::LeftButton);
        QCOMPARE(dialogs().messages().size(), 1); // later boxes are not examined
        const DialogService::Message& shown = dialogs().messages().constFirst();
        QCOMPARE(shown.text, caption + " must be numeric.  Please correct.");
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
        QTest::newRow("negative") << "-360" << true;
        QTest::newRow("fraction") << "12.5" << true;
        QTest::newRow("plus sign") << "+45" << true;
        QTest::newRow("leading point") << ".5" << true;
        QTest::newRow("blanks around") << "  42  " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("number then letters") << "12abc" << false;
        QTest::newRow("exponent") << "1e3" << false;
        QTest::newRow("thousands separator") << "1,000" << false;
        QTest::newRow("lone minus") << "-" << false;
        QTest::newRow("lone point") << "." << false;
        QTest::newRow("two signs") << "+-1" << false;
        QTest::newRow("blank inside") << "1 000" << false;
        QTest::newRow("sign apart") << "- 5" << false;
        QTest::newRow("hexadecimal") << "&H10" << false;
        QTest::newRow("infinity") << "inf" << false;
    }

    void numericForms()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        TestSettingsScope scope;
        frmCalibrate dlg(appSettings(), dialogs(), nullptr, {}, nullptr);
        dlg.txtAdj2UD->setText(text);
        dlg.cmdOk->click();
        if (numeric) {
            QVERIFY(dialogs().messages().isEmpty());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(stored(SettingsKeys::ADJ2UD), text);
        } else {
            QCOMPARE(dialogs().messages().size(), 1);
            QCOMPARE(dialogs().messages().constFirst().text,
                QString("Up/Down 2-Up must be numeric.  Please correct."));
            QCOMPARE(stored(SettingsKeys::ADJ2UD), Absent);
        }
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
                retype(box(dlg, BoxNames[i]), texts[i]);
            QTest::mouseClick(
                dlg.ckbPrintSku, Qt::LeftButton, {}, QPoint(8, dlg.ckbPrintSku->height() / 2));
            QVERIFY(!dlg.ckbPrintSku->isChecked());
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
            QCOMPARE(box(again, BoxNames[i])->text(), texts[i]);
        QVERIFY(!again.ckbPrintSku->isChecked());
    }

    void printSkuState_data()
    {
        QTest::addColumn<QString>("storedValue");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("written"); // after OK without touching the box
        QTest::newRow("absent") << Absent << true << "1";
        QTest::newRow("0") << "0" << false << "0";
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
            QTest::mouseClick(
                dlg.ckbPrintSku, Qt::LeftButton, {}, QPoint(8, dlg.ckbPrintSku->height() / 2));
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
        frmCalibrate again(appSettings(), dialogs(), nullptr, {}, nullptr);
        QCOMPARE(again.txtMarginTop->text(), QString("90"));
        QCOMPARE(again.txtAdj1LR->text(), QString("0"));
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

// The numeric check of every box, through the dialog: accepted text is
// stored exactly as typed, rejected text is reported and nothing is stored.
QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
