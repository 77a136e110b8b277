// Window placement: the main window reopens where the user last left it.
#include "ui/WindowHelpers.h"

#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "base/Twips.h"

#include <QWidget>

#include <cmath>

namespace MORNLIB {

namespace {

    // A stored value that is not a 16-bit whole number (hand-edited, or a window
    // beyond about 22 inches from the corner) counts as absent.
    qint16 readPlacement(const AppSettings& settings, const QString& key, qint16 absent)
    {
        return NumberText::toWhole16(settings.text(key, QString::number(absent))).value_or(absent);
    }

    QString twipsText(double twips)
    {
        return QString::number(qint64(NumberText::roundHalfEven(twips)));
    }

} // namespace

void RestoreWindowPlacement(const QString& application, const QString& section, QWidget* window)
{
    const AppSettings settings(application, section);
    const QString name = window->objectName();
    // Window frame sizes are known only once the window is shown; before that
    // the frame counts as zero.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const int extraWidth = frame.width() - inner.width();
    const int extraHeight = frame.height() - inner.height();

    const qint16 top = readPlacement(settings, name + SettingsKeys::PlacementTop, -1);
    if (top >= 0)
        window->move(window->x(), Twips::toPixelsY(top));
    const qint16 left = readPlacement(settings, name + SettingsKeys::PlacementLeft, -1);
    if (left >= 0)
        window->move(Twips::toPixelsX(left), window->y());
    const qint16 height = readPlacement(settings, name + SettingsKeys::PlacementHeight, 0);
    if (height > 0)
        window->resize(window->width(), qMax(1, Twips::toPixelsY(height) - extraHeight));
    const qint16 width = readPlacement(settings, name + SettingsKeys::PlacementWidth, 0);
    if (width > 0)
        window->resize(qMax(1, Twips::toPixelsX(width) - extraWidth), window->height());
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
