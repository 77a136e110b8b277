// Window placement: the main window reopens where the user last left it.
#include "ui/WindowHelpers.h"

#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "base/Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <optional>

namespace MORNLIB {

namespace {

    // A stored value that is not a 16-bit whole number (hand-edited, or a window
    // beyond about 22 inches from the corner) counts as absent.
    qint32 readPlacement(
        const AppSettings& settings, SettingsKeys::Setting key, const QString& window)
    {
        return settings.get(key, window).whole();
    }

    QString twipsText(double twips)
    {
        return QString::number(qint64(NumberText::roundHalfEven(twips)));
    }

    // The stored frame rectangle in pixels; a side that was not stored is
    // left to the window manager.
    struct StoredPlacement
    {
        std::optional<int> left, top, width, height;
    };

    // Puts the frame where it was stored. Only a shown window knows its frame:
    // before that the frame counts as nothing, which is put right once it is
    // known.
    void applyPlacement(QWidget* window, const StoredPlacement& stored)
    {
        const QRect frame = window->frameGeometry();
        const QRect inner = window->geometry();
        QRect want(stored.left.value_or(frame.x()), stored.top.value_or(frame.y()),
            stored.width.value_or(frame.width()), stored.height.value_or(frame.height()));

        // A place on a screen that is no longer there (or smaller now) would
        // leave the window out of reach: it is brought onto the screen it
        // overlaps most, or the first.
        QScreen* screen = nullptr;
        qint64 best = 0;
        for (QScreen* candidate : QGuiApplication::screens()) {
            const QRect common = candidate->availableGeometry().intersected(want);
            const qint64 area = qint64(common.width()) * common.height();
            if (area > best) {
                best = area;
                screen = candidate;
            }
        }
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect avail = screen->availableGeometry();
            if (!avail.contains(want)) {
                want.setWidth(qMin(want.width(), avail.width()));
                want.setHeight(qMin(want.height(), avail.height()));
                want.moveLeft(qBound(avail.left(), want.left(), avail.right() - want.width() + 1));
                want.moveTop(qBound(avail.top(), want.top(), avail.bottom() - want.height() + 1));
            }
        }

        const int extraWidth = frame.width() - inner.width();
        const int extraHeight = frame.height() - inner.height();
        window->resize(qMax(1, want.width() - extraWidth), qMax(1, want.height() - extraHeight));
        if (want.topLeft() != frame.topLeft())
            window->move(want.topLeft());
    }

    // Finishes the placement once the window is shown and its frame known:
    // under a window manager the frame arrives a moment after the window shows,
    // without one it never does. Deletes itself when done.
    class PlacementFinisher : public QObject
    {
    public:
        static constexpr int SettleTicks = 40; // of 50 ms: two seconds at most

        PlacementFinisher(QWidget* window, const StoredPlacement& stored)
            : QObject(window)
            , m_window(window)
            , m_stored(stored)
        {
            window->installEventFilter(this);
            m_ticks.setInterval(50);
            connect(&m_ticks, &QTimer::timeout, this, [this] {
                if (++m_tickCount >= SettleTicks || frameKnown())
                    finish();
            });
        }

        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched != m_window)
                return false;
            switch (event->type()) {
            case QEvent::Show:
                if (!m_ticks.isActive())
                    m_ticks.start();
                [[fallthrough]];
            case QEvent::Move:
            case QEvent::Resize:
                if (m_ticks.isActive() && frameKnown())
                    finish();
                break;
            default:
                break;
            }
            return false;
        }

    private:
        bool frameKnown() const { return m_window->frameGeometry() != m_window->geometry(); }

        void finish()
        {
            m_ticks.stop();
            m_window->removeEventFilter(this);
            // A window the user (or a test) already maximized stays as it is.
            if (!(m_window->windowState()
                    & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
                applyPlacement(m_window, m_stored);
            deleteLater();
        }

        QWidget* m_window;
        StoredPlacement m_stored;
        QTimer m_ticks;
        int m_tickCount = 0;
    };

} // namespace

void RestoreWindowPlacement(const QString& application, const QString& section, QWidget* window)
{
    const AppSettings settings(application, section);
    const QString name = window->objectName();
    StoredPlacement stored;
    using SettingsKeys::Setting;
    const qint32 top = readPlacement(settings, Setting::PlacementTop, name);
    if (top >= 0)
        stored.top = Twips::toPixelsY(top);
    const qint32 left = readPlacement(settings, Setting::PlacementLeft, name);
    if (left >= 0)
        stored.left = Twips::toPixelsX(left);
    const qint32 height = readPlacement(settings, Setting::PlacementHeight, name);
    if (height > 0)
        stored.height = Twips::toPixelsY(height);
    const qint32 width = readPlacement(settings, Setting::PlacementWidth, name);
    if (width > 0)
        stored.width = Twips::toPixelsX(width);
    if (!stored.top && !stored.left && !stored.height && !stored.width)
        return;

    // The size now, so the window shows close to it; a stored corner only
    // when both sides were stored: a single one moves the window along that
    // side alone, from where the window manager puts it.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    window->resize(
        stored.width ? qMax(1, *stored.width - (frame.width() - inner.width())) : inner.width(),
        stored.height ? qMax(1, *stored.height - (frame.height() - inner.height()))
                      : inner.height());
    if (stored.top && stored.left)
        window->move(*stored.left, *stored.top);
    if (window->isVisible())
        applyPlacement(window, stored);
    else
        new PlacementFinisher(window, stored);
}

void SaveWindowPlacement(const QString& application, const QString& section, QWidget* window)
{
    if (window->isMinimized() || window->isMaximized())
        return;
    const AppSettings settings(application, section);
    const QString name = window->objectName();
    const QRect frame = window->frameGeometry();
    settings.save(name + SettingsKeys::PlacementTop, twipsText(Twips::fromPixelsY(frame.y())));
    settings.save(name + SettingsKeys::PlacementLeft, twipsText(Twips::fromPixelsX(frame.x())));
    settings.save(
        name + SettingsKeys::PlacementHeight, twipsText(Twips::fromPixelsY(frame.height())));
    settings.save(
        name + SettingsKeys::PlacementWidth, twipsText(Twips::fromPixelsX(frame.width())));
}

} // namespace MORNLIB
