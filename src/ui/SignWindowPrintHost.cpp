#include "ui/SignWindowPrintHost.h"

#include "base/Twips.h"
#include "printing/PreviewCanvas.h"
#include "printing/PrintJob.h"
#include "printing/PrinterCanvas.h"
#include "printing/PrinterChoice.h"
#include "ui/DialogService.h"
#include "ui/EntryBox.h"
#include "ui/WindowHelpers.h"
#include "ui/frmSigns.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QThread>

namespace {

// How often a long run lets the window repaint its progress.
constexpr int RepaintMs = 150;
// Pixels between the paging question and the page, and the window's edge.
constexpr int QuestionGap = 12;
// Longest wait for the maximised size, and the quiet time after the last
// change of size that says it has arrived.
constexpr qint64 MaximizeWaitMs = 2000;
constexpr qint64 SettleMs = 150;
// A window this close to the screen's free area (its frame aside) is taken
// as already at the maximised size.
constexpr int FrameSlack = 80;

} // namespace

SignWindowPrintHost::SignWindowPrintHost(frmSigns& window)
    : DialogPrintHost(window.dialogs())
    , m_window(window)
    , m_title(window.windowTitle())
{
}

SignWindowPrintHost::~SignWindowPrintHost()
{
    endProgress();
}

PrintOptions SignWindowPrintHost::printOptions(const AppSettings& settings) const
{
    PrintOptions options;
    options.format = formatFromIndex(m_window.checkedFormat());
    options.bullet = m_window.ckbBullet->isChecked();
    options.sign = signOptions(options.sign);
    // The calibration of the printer the run prints to.
    ReadCalibration(settings, options, PrinterChoice::toText(*m_window.printer()));
    return options;
}

SignOptions SignWindowPrintHost::signOptions(const SignOptions&) const
{
    SignOptions options;
    options.border = frmSigns::checkValue(m_window.ckbBorder);
    options.logo = frmSigns::checkValue(m_window.ckbLogo);
    options.title = frmSigns::checkValue(m_window.ckbTitle);
    options.retail = frmSigns::checkValue(m_window.ckbRetail);
    options.graphic = frmSigns::checkValue(m_window.ckbGraphic);
    options.titleText = m_window.txtTitle->text();
    options.barcode = frmSigns::checkValue(m_window.chkBarcode);
    return options;
}

std::unique_ptr<SignCanvas> SignWindowPrintHost::openPrinterCanvas()
{
    return std::make_unique<PrinterCanvas>(m_window.printer());
}

int SignWindowPrintHost::windowState() const
{
    return int(m_window.windowState());
}

void SignWindowPrintHost::setWindowState(int state)
{
    m_window.setWindowState(Qt::WindowStates(state));
}

void SignWindowPrintHost::maximize()
{
    if (m_window.isMaximized())
        return;
    const QSize before = m_window.size();
    m_window.showMaximized();
    // The window manager answers the maximise request in its own time; the
    // preview box must take the maximised size, never the one before. Wait
    // until the size has changed and settled, within a deadline (a window
    // that already filled the screen may not change at all).
    bool changed = false;
    if (const QScreen* screen = m_window.screen()) {
        const QSize room = screen->availableGeometry().size();
        changed = before.width() >= room.width() - FrameSlack
            && before.height() >= room.height() - FrameSlack;
    }
    QSize last = before;
    QElapsedTimer waited, still;
    waited.start();
    still.start();
    while (waited.elapsed() < MaximizeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        if (m_window.size() != last) {
            last = m_window.size();
            changed = true;
            still.restart();
        }
        if (changed && still.elapsed() >= SettleMs)
            break;
        QThread::msleep(5);
    }
    // The new size's layout reaches the client area.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::unique_ptr<SignCanvas> SignWindowPrintHost::openPreviewCanvas()
{
    QLabel* box = m_window.picBox;
    QWidget* client = m_window.centralWidget();
    box->setGeometry(client->rect());
    box->clear();
    box->raise();
    box->show();
    // The widest question the preview asks, with room around it.
    const QSize question = DialogService::messageSize(PreviewPageMessage(99999, 100000),
        DialogService::Buttons::OkCancel, DialogService::Icon::None, PreviewPageTitle);
    const int strip = qMin(question.width() + 2 * QuestionGap, box->width() / 2);
    m_questionArea = QRect(box->width() - strip, 0, strip, box->height());
    const QSize page(box->width() - strip, box->height());
    return std::make_unique<PreviewCanvas>(page, Twips::screenDpiX(), Twips::screenDpiY());
}

void SignWindowPrintHost::showPreview(const SignCanvas& canvas)
{
    if (const auto* preview = dynamic_cast<const PreviewCanvas*>(&canvas))
        m_window.picBox->setPixmap(QPixmap::fromImage(preview->image()));
    // The user looks at the page now; the pointer is theirs again.
    if (m_busy) {
        MORNLIB::SetBusyCursor(false);
        m_busy = false;
    }
}

void SignWindowPrintHost::hidePreview()
{
    m_window.picBox->hide();
    m_window.picBox->clear();
    if (m_window.windowTitle() != m_title)
        m_window.setWindowTitle(m_title);
}

void SignWindowPrintHost::previewPageShown(qint32 page, qint32 pages)
{
    m_window.setWindowTitle(
        QStringLiteral("%1 - Previewing page %2 of %3").arg(m_title).arg(page).arg(pages));
    QWidget* client = m_window.centralWidget();
    const QRect area = m_questionArea.adjusted(0, 0, -QuestionGap, 0);
    m_window.dialogs().placeNextMessage(QRect(client->mapToGlobal(area.topLeft()), area.size()));
}

void SignWindowPrintHost::showProgress(bool printing, qint32 sign, qint32 signs)
{
    if (!m_busy) {
        MORNLIB::SetBusyCursor(true);
        m_busy = true;
        m_sinceRepaint.start();
    }
    // The title bar counts the signs; a long run repaints now and then so the
    // window shows it is working (user input waits until the run ends).
    if (sign == 1 || sign == signs || m_sinceRepaint.elapsed() >= RepaintMs) {
        m_window.setWindowTitle(
            QStringLiteral("%1 - %2 sign %3 of %4")
                .arg(m_title, printing ? QStringLiteral("Printing") : QStringLiteral("Previewing"))
                .arg(sign)
                .arg(signs));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_sinceRepaint.start();
    }
}

void SignWindowPrintHost::endProgress()
{
    if (m_window.windowTitle() != m_title)
        m_window.setWindowTitle(m_title);
    if (m_busy) {
        MORNLIB::SetBusyCursor(false);
        m_busy = false;
    }
}

void SignWindowPrintHost::doPrinterSetup()
{
    m_window.doPrinterSetup();
}
