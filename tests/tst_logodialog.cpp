#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "base/Twips.h"
#include "support/TestSupport.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/frmSignLogo.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// A small picture file: red on the left half, blue on the right.
QString writePicture(const QString& folder, const char* name)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    image.save(path);
    return path;
}

// The common dialog the logo dialog asks for its file through.
CommonDialog& common()
{
    static CommonDialog* dialog = new CommonDialog(dialogs(), nullptr); // lives to the end
    return *dialog;
}

const QString LogoKeys[] = { SettingsKeys::FILELOGO, SettingsKeys::LOGOHEIGHT,
    SettingsKeys::LOGOWIDTH, SettingsKeys::LOGOLCR };

} // namespace

class TestLogoDialog : public QObject
{
    Q_OBJECT

private slots:
    void emptyStoreShowsDefaults()
    {
        TestSettingsScope scope;
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QCOMPARE(dlg.windowTitle(), QString("Kestrane - Logo"));
        QVERIFY(dlg.FormLoaded());
        QCOMPARE(dlg.txtLogoHeight->text(), QString("0.5"));
        QCOMPARE(dlg.txtLogoWidth->text(), QString("1.5"));
        QVERIFY(dlg.optCenter->isChecked());
        QCOMPARE(dlg.txtLogoFileName->text(), QString());
        QVERIFY(dlg.logoPicture().isNull());
        // 720 by 2160 twips, in the middle of the dialog.
        const QRect preview = dlg.imgLogo->geometry();
        QCOMPARE(preview.height(), Twips::toPixelsY(720));
        QCOMPARE(preview.width(), Twips::toPixelsX(2160));
        QCOMPARE(preview.left(), (dlg.width() - preview.width()) / 2);
        QVERIFY(dialogs().messages().isEmpty());
    }

    void storedPosition_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("selected");
        // clang-format off
        QTest::newRow("LEFT") << "LEFT" << "optLeft";
        QTest::newRow("RIGHT") << "RIGHT" << "optRight";
        QTest::newRow("lower-case left is centre") << "left" << "optCenter";
        QTest::newRow("padded RIGHT is centre") << "RIGHT " << "optCenter";
        // clang-format on
    }

    void storedPosition()
    {
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        TestSettingsScope scope;
        appSettings().save(SettingsKeys::LOGOLCR, stored);
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(dlg.findChild<QRadioButton*>(selected)->isChecked());

        // The preview stands as far from the side as from the top.
        const QRect preview = dlg.imgLogo->geometry();
        if (selected == QLatin1String("optLeft"))
            QCOMPARE(preview.left(), preview.top());
        else if (selected == QLatin1String("optRight"))
            QCOMPARE(dlg.width() - preview.right() - 1, preview.top());
        else
            QCOMPARE(preview.left(), (dlg.width() - preview.width()) / 2);

        // Clicking another option moves the preview at once.
        QTest::mouseClick(dlg.optLeft, Qt::LeftButton);
        QCOMPARE(dlg.imgLogo->geometry().left(), preview.top());
        QTest::mouseClick(dlg.optRight, Qt::LeftButton);
        QCOMPARE(dlg.width() - dlg.imgLogo->geometry().right() - 1, preview.top());
    }

    void tooLargeWhileTypingIsReportedAtOnce()
    {
        TestSettingsScope scope;
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        const QRect before = dlg.imgLogo->geometry();

        dlg.txtLogoWidth->setFocus();
        dlg.txtLogoWidth->selectAll();
        QTest::keyClicks(dlg.txtLogoWidth, "5");
        QCOMPARE(dialogs().messages().size(), 1);
        const DialogService::Message& message = dialogs().messages().constFirst();
        QCOMPARE(message.text, QString("Error: \nWidth must be less than 4 inches.\n"));
        QCOMPARE(message.title, QString("Alert:"));
        QCOMPARE(message.icon, DialogService::Icon::Information);
        QCOMPARE(message.buttons, DialogService::Buttons::Ok);
        QCOMPARE(dlg.imgLogo->geometry(), before);
        QCOMPARE(QApplication::focusWidget(), dlg.txtLogoWidth);
        QCOMPARE(dlg.txtLogoWidth->selectedText(), QString("5"));

        // A size in range again resizes the preview.
        QTest::keyClicks(dlg.txtLogoWidth, "3");
        QCOMPARE(dialogs().messages().size(), 1);
        QCOMPARE(dlg.imgLogo->width(), Twips::toPixelsX(3 * 1440));

        // Emptying a box is not reported while typing, only on Save.
        dlg.txtLogoHeight->setFocus();
        dlg.txtLogoHeight->selectAll();
        QTest::keyClick(dlg.txtLogoHeight, Qt::Key_Backspace);
        QCOMPARE(dialogs().messages().size(), 1);

        // Height 2 is already too large while typing.
        dlg.txtLogoHeight->selectAll();
        QTest::keyClicks(dlg.txtLogoHeight, "2");
        QCOMPARE(dialogs().messages().size(), 2);
        QCOMPARE(dialogs().messages().at(1).text,
            QString("Error: \nHeight must be less than 2 inches.\n"));
        QCOMPARE(QApplication::focusWidget(), dlg.txtLogoHeight);
    }

    void saveChecksSizes_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("focus");
        const QString h2 = "Error: \nHeight must be less than 2 inches.\n";
        const QString w4 = "Error: \nWidth must be less than 4 inches.\n";
        const QString h0 = "Error: \nHeight must be greater than 0.\n";
        // clang-format off
        QTest::newRow("just under the limits") << "1.99" << "3.99" << "" << "";
        QTest::newRow("height exactly 2") << "2" << "1" << h2 << "txtLogoHeight";
        QTest::newRow("width exactly 4") << "1" << "4" << w4 << "txtLogoWidth";
        QTest::newRow("zero height, wide") << "0" << "5" << "Error: \nHeight must be greater than 0.\nWidth must be less than 4 inches.\n" << "txtLogoWidth";
        QTest::newRow("negative width") << "0.5" << "-1" << "Error: \nWidth must be greater than 0.\n" << "txtLogoWidth";
        QTest::newRow("empty height") << "" << "1" << h0 << "txtLogoHeight";
        QTest::newRow("letters count as 0") << "abc" << "1" << h0 << "txtLogoHeight";
        QTest::newRow("leading number of the text") << "1.5in" << "2 inches" << "" << "";
        // clang-format on
    }

    void saveChecksSizes()
    {
        QFETCH(QString, height);
        QFETCH(QString, width);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestSettingsScope scope;
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        // Typing may already complain about a size that is too large; only the
        // Save check matters here.
        dlg.txtLogoHeight->setText(height);
        dlg.txtLogoWidth->setText(width);
        dialogs().reset();
        dlg.cmdSave->setFocus();

        dlg.cmdSave->click();
        if (message.isEmpty()) {
            QVERIFY(dialogs().messages().isEmpty());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(stored(SettingsKeys::LOGOHEIGHT), height);
            QCOMPARE(stored(SettingsKeys::LOGOWIDTH), width);
        } else {
            QCOMPARE(dialogs().messages().size(), 1);
            QCOMPARE(dialogs().messages().constFirst().text, message);
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QVERIFY(dlg.isVisible());
            for (const QString& key : LogoKeys)
                QCOMPARE(stored(key), Absent);
        }
    }

    void saveStoresExactlyWhatWasTyped()
    {
        TestSettingsScope scope;
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        dlg.txtLogoHeight->clear();
        QTest::keyClicks(dlg.txtLogoHeight, " .75");
        dlg.txtLogoWidth->clear();
        QTest::keyClicks(dlg.txtLogoWidth, "2.250");
        QTest::mouseClick(dlg.optRight, Qt::LeftButton);
        dlg.cmdSave->click();
        QVERIFY(dialogs().messages().isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        // With no file chosen the empty path is stored too.
        QCOMPARE(stored(SettingsKeys::FILELOGO), QString());
        QCOMPARE(stored(SettingsKeys::LOGOHEIGHT), QString(" .75"));
        QCOMPARE(stored(SettingsKeys::LOGOWIDTH), QString("2.250"));
        QCOMPARE(stored(SettingsKeys::LOGOLCR), QString("RIGHT"));

        // Reopening shows what was stored.
        frmSignLogo again(appSettings(), dialogs(), common(), nullptr);
        QCOMPARE(again.txtLogoHeight->text(), QString(" .75"));
        QVERIFY(again.optRight->isChecked());
        QCOMPARE(again.imgLogo->height(), Twips::toPixelsY(0.75 * 1440));
    }

    void chosenFileIsPreviewedAndStored()
    {
        TestSettingsScope scope;
        const QString oldPath = writePicture(scope.path(), "old.png");
        const QString newPath = writePicture(scope.path(), "new.bmp");
        appSettings().save(SettingsKeys::FILELOGO, oldPath);
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(!dlg.logoPicture().isNull());
        QCOMPARE(dlg.txtLogoFileName->text(), oldPath);

        dialogs().queueFile(newPath);
        QTest::mouseClick(dlg.imgLogo, Qt::LeftButton);
        QCOMPARE(dialogs().fileRequests().size(), 1);
        const DialogService::FileRequest& request = dialogs().fileRequests().constFirst();
        QCOMPARE(request.mode, DialogService::FileMode::Open);
        QCOMPARE(request.title, QString("Open Logo File"));
        QCOMPARE(request.fileName, oldPath);
        QCOMPARE(request.filters.size(), 3);
        QVERIFY(request.filters.at(1).startsWith("Jpeg Files"));
        QCOMPARE(request.filterIndex, 1);
        QVERIFY(request.mustExist);
        QCOMPARE(dlg.LogoFile(), newPath);
        QCOMPARE(dlg.txtLogoFileName->text(), newPath);

        // The picture fills the preview at its printed size: red on the left,
        // blue on the right, whatever the picture's own size.
        dlg.resize(dlg.size());
        const QImage shown = dlg.imgLogo->grab().toImage();
        QCOMPARE(shown.size(), QSize(Twips::toPixelsX(2160), Twips::toPixelsY(720)));
        QCOMPARE(QColor(shown.pixel(shown.width() / 4, shown.height() / 2)), QColor(Qt::red));
        QCOMPARE(QColor(shown.pixel(shown.width() * 3 / 4, shown.height() / 2)), QColor(Qt::blue));

        dlg.cmdSave->click();
        QCOMPARE(stored(SettingsKeys::FILELOGO), newPath);
        QCOMPARE(stored(SettingsKeys::LOGOLCR), QString("CENTER"));
    }

    void cancelWritesNothing()
    {
        TestSettingsScope scope;
        const QString path = writePicture(scope.path(), "logo.png");
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        // A cancelled file dialog changes nothing.
        dialogs().queueFile(std::nullopt);
        QTest::mouseDClick(dlg.txtLogoFileName, Qt::LeftButton);
        QCOMPARE(dialogs().fileRequests().size(), 1);
        QCOMPARE(dlg.LogoFile(), QString());
        QVERIFY(dlg.logoPicture().isNull());

        dialogs().queueFile(path);
        QTest::mouseClick(dlg.imgLogo, Qt::LeftButton);
        QCOMPARE(dlg.LogoFile(), path);
        dlg.txtLogoHeight->setText("1");
        dlg.optLeft->click();
        dlg.cmdCancel->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        for (const QString& key : LogoKeys)
            QCOMPARE(stored(key), Absent);
    }

    void missingStoredFileIsKept()
    {
        TestSettingsScope scope;
        const QString gone = scope.path() + "/gone.jpg";
        appSettings().save(SettingsKeys::FILELOGO, gone);
        // A file that is there but is no picture shows an empty preview too.
        const QString notAPicture = scope.path() + "/notes.jpg";
        QFile file(notAPicture);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();

        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(dlg.logoPicture().isNull());
        QCOMPARE(dlg.txtLogoFileName->text(), gone);
        dlg.cmdSave->click();
        QCOMPARE(stored(SettingsKeys::FILELOGO), gone);

        appSettings().save(SettingsKeys::FILELOGO, notAPicture);
        frmSignLogo second(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(second.logoPicture().isNull());
        QVERIFY(dialogs().messages().isEmpty());
    }

    void storedOutOfRangeSizeIsSilentAtLoad()
    {
        TestSettingsScope scope;
        appSettings().save(SettingsKeys::LOGOWIDTH, "5");
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(dialogs().messages().isEmpty());
        // Sized only as far as the boxes were filled before the width failed.
        QCOMPARE(dlg.imgLogo->width(), 0);
        // The user hears of it on Save.
        dlg.cmdSave->click();
        QCOMPARE(dialogs().messages().size(), 1);
        QCOMPARE(dialogs().messages().constFirst().text,
            QString("Error: \nWidth must be less than 4 inches.\n"));
        QCOMPARE(stored(SettingsKeys::LOGOWIDTH), QString("5"));
    }
};

QTEST_MAIN(TestLogoDialog)
#include "tst_logodialog.moc"
