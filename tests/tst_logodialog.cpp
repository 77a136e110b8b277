#include "base/SettingsKeys.h"
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

// The stored file, height, width and position.
QStringList storedLogo()
{
    QStringList values;
    for (const QString& key : { SettingsKeys::FILELOGO, SettingsKeys::LOGOHEIGHT,
             SettingsKeys::LOGOWIDTH, SettingsKeys::LOGOLCR })
        values << stored(key);
    return values;
}

// The last message shown: an "Alert:" with an Ok button.
void expectAlert(const QString& text, DialogService::Icon icon = DialogService::Icon::Information)
{
    QVERIFY(!dialogs().messages().isEmpty());
    const DialogService::Message& message = dialogs().messages().constLast();
    QCOMPARE(message.text, text);
    QCOMPARE(message.title, QString("Alert:"));
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.buttons, DialogService::Buttons::Ok);
}

const QString TooHigh = "Error: \nHeight must be less than 2 inches.\n";
const QString TooWide = "Error: \nWidth must be less than 4 inches.\n";

} // namespace

class TestLogoDialog : public QObject
{
    Q_OBJECT

private slots:
    // The starting values and the stored position: exactly "LEFT" or "RIGHT",
    // anything else is the centre. The preview, 0.5 by 1.5 inches, stands as
    // far from the side as from the top (pixels at 96 dots per inch).
    void positions_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("saved");
        // clang-format off
        QTest::newRow("nothing stored") << Absent << "optCenter" << 168 << "CENTER";
        QTest::newRow("LEFT") << "LEFT" << "optLeft" << 8 << "LEFT";
        QTest::newRow("RIGHT") << "RIGHT" << "optRight" << 328 << "RIGHT";
        QTest::newRow("lower-case left is centre") << "left" << "optCenter" << 168 << "CENTER";
        QTest::newRow("padded RIGHT is centre") << "RIGHT " << "optCenter" << 168 << "CENTER";
        // clang-format on
    }

    void positions()
    {
        QFETCH(QString, position);
        QFETCH(QString, selected);
        QFETCH(int, left);
        QFETCH(QString, saved);
        TestSettingsScope scope;
        if (position != Absent)
            appSettings().save(SettingsKeys::LOGOLCR, position);
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QCOMPARE(dlg.windowTitle(), QString("Kestrane - Logo"));
        QVERIFY(dlg.FormLoaded());
        QCOMPARE(dlg.txtLogoHeight->text(), QString("0.5"));
        QCOMPARE(dlg.txtLogoWidth->text(), QString("1.5"));
        QCOMPARE(dlg.txtLogoFileName->text(), QString());
        QVERIFY(dlg.logoPicture().isNull());
        QVERIFY(child<QRadioButton>(dlg, qPrintable(selected))->isChecked());
        QCOMPARE(dlg.imgLogo->geometry(), QRect(left, 8, 144, 48));
        dlg.cmdSave->click();
        QCOMPARE(storedLogo(), QStringList({ "", "0.5", "1.5", saved }));
        // Clicking another option moves the preview at once.
        QTest::mouseClick(dlg.optLeft, Qt::LeftButton);
        QCOMPARE(dlg.imgLogo->geometry().left(), 8);
        QTest::mouseClick(dlg.optRight, Qt::LeftButton);
        QCOMPARE(dlg.imgLogo->geometry().left(), 328);
        QVERIFY(dialogs().messages().isEmpty());
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
        expectAlert(TooWide);
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
        expectAlert(TooHigh);
        QCOMPARE(QApplication::focusWidget(), dlg.txtLogoHeight);
    }

    // Save checks both sizes (by their leading number) and stores them
    // exactly as typed; a failure names every fault and focuses the last box.
    void saveChecksSizes_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("focus");
        const QString h0 = "Error: \nHeight must be greater than 0.\n";
        // clang-format off
        QTest::newRow("just under the limits") << "1.99" << "3.99" << "" << "";
        QTest::newRow("typed as is") << " .75" << "2.250" << "" << "";
        QTest::newRow("height exactly 2") << "2" << "1" << TooHigh << "txtLogoHeight";
        QTest::newRow("width exactly 4") << "1" << "4" << TooWide << "txtLogoWidth";
        QTest::newRow("zero height, wide") << "0" << "5"
            << "Error: \nHeight must be greater than 0.\nWidth must be less than 4 inches.\n"
            << "txtLogoWidth";
        QTest::newRow("negative width") << "0.5" << "-1"
            << "Error: \nWidth must be greater than 0.\n" << "txtLogoWidth";
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
            QCOMPARE(storedLogo(), QStringList({ "", height, width, "CENTER" }));
            frmSignLogo again(appSettings(), dialogs(), common(), nullptr);
            QCOMPARE(again.txtLogoHeight->text() + "|" + again.txtLogoWidth->text(),
                height + "|" + width);
            return;
        }
        QCOMPARE(dialogs().messages().size(), 1);
        expectAlert(message);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(dlg.isVisible());
        QCOMPARE(storedLogo(), QStringList(4, Absent));
    }

    // The file is chosen by clicking the preview or double-clicking the path;
    // a cancelled file dialog changes nothing, Cancel stores nothing, Save
    // stores the chosen file.
    void chosenFileIsPreviewedAndStored()
    {
        TestSettingsScope scope;
        const QString oldPath = writePicture(scope.path(), "old.png");
        const QString newPath = writePicture(scope.path(), "new.bmp");
        appSettings().save(SettingsKeys::FILELOGO, oldPath);
        for (bool save : { false, true }) {
            frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
            QVERIFY(!dlg.logoPicture().isNull());
            QCOMPARE(dlg.txtLogoFileName->text(), oldPath);
            dialogs().queueFile(std::nullopt);
            QTest::mouseDClick(dlg.txtLogoFileName, Qt::LeftButton);
            QCOMPARE(dlg.LogoFile(), oldPath);
            QVERIFY(!dlg.logoPicture().isNull());

            dialogs().queueFile(newPath);
            QTest::mouseClick(dlg.imgLogo, Qt::LeftButton);
            const DialogService::FileRequest& request = dialogs().fileRequests().constLast();
            QCOMPARE(request.mode, DialogService::FileMode::Open);
            QCOMPARE(request.title, QString("Open Logo File"));
            QCOMPARE(request.fileName, oldPath);
            QCOMPARE(request.filters.size(), 3);
            QVERIFY(request.filters.at(1).startsWith("Jpeg Files"));
            QCOMPARE(request.filterIndex, 1);
            QVERIFY(request.mustExist);
            QCOMPARE(dlg.LogoFile(), newPath);
            QCOMPARE(dlg.txtLogoFileName->text(), newPath);

            // The picture fills the preview at its printed size: red on the
            // left, blue on the right, whatever the picture's own size.
            dlg.resize(dlg.size());
            const QImage shown = dlg.imgLogo->grab().toImage();
            QCOMPARE(shown.size(), QSize(144, 48));
            QCOMPARE(QColor(shown.pixel(36, 24)), QColor(Qt::red));
            QCOMPARE(QColor(shown.pixel(108, 24)), QColor(Qt::blue));

            dlg.txtLogoHeight->setText("1");
            dlg.optLeft->click();
            (save ? dlg.cmdSave : dlg.cmdCancel)->click();
            QCOMPARE(dlg.result(), int(save ? QDialog::Accepted : QDialog::Rejected));
            if (!save)
                QCOMPARE(storedLogo(), QStringList({ oldPath, Absent, Absent, Absent }));
        }
        QCOMPARE(dialogs().fileRequests().size(), 4);
        QCOMPARE(storedLogo(), QStringList({ newPath, "1", "1.5", "LEFT" }));
        QVERIFY(dialogs().messages().isEmpty());
    }

    // A stored file that is gone or no picture shows no preview and is kept;
    // a stored size out of range is silent until Save. Choosing a file that
    // is no picture is said at once.
    void storedValuesThatDoNotWork()
    {
        TestSettingsScope scope;
        const QString gone = scope.path() + "/gone.jpg";
        const QString notAPicture = writeTestFile(scope.path(), "notes.jpg", "not a picture");
        appSettings().save(SettingsKeys::FILELOGO, gone);
        appSettings().save(SettingsKeys::LOGOWIDTH, "5");
        frmSignLogo dlg(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(dlg.logoPicture().isNull());
        QCOMPARE(dlg.txtLogoFileName->text(), gone);
        QVERIFY(dialogs().messages().isEmpty());
        // Sized only as far as the boxes were filled before the width failed.
        QCOMPARE(dlg.imgLogo->width(), 0);
        dlg.cmdSave->click();
        expectAlert(TooWide);
        QCOMPARE(stored(SettingsKeys::LOGOWIDTH), QString("5"));
        dlg.txtLogoWidth->setText("1.5");
        dlg.cmdSave->click();
        QCOMPARE(storedLogo(), QStringList({ gone, "0.5", "1.5", "CENTER" }));

        appSettings().save(SettingsKeys::FILELOGO, notAPicture);
        frmSignLogo second(appSettings(), dialogs(), common(), nullptr);
        QVERIFY(second.logoPicture().isNull());
        QCOMPARE(dialogs().messages().size(), 1);
        dialogs().queueFile(notAPicture);
        QTest::mouseClick(second.imgLogo, Qt::LeftButton);
        QCOMPARE(second.LogoFile(), notAPicture);
        expectAlert(notAPicture
                + " is not a picture that can be read.\nChoose a JPEG or bitmap "
                  "file, or the signs will print without a logo.",
            DialogService::Icon::Exclamation);
    }
};

QTEST_MAIN(TestLogoDialog)
#include "tst_logodialog.moc"
