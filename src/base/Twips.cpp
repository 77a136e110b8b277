#include "base/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Twips {

double screenDpiX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double screenDpiY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

int toPixelsX(double twips)
{
    return int(std::lround(twips * screenDpiX() / PerInch));
}

int toPixelsY(double twips)
{
    return int(std::lround(twips * screenDpiY() / PerInch));
}

double fromPixelsX(int pixels)
{
    return pixels * PerInch / screenDpiX();
}

double fromPixelsY(int pixels)
{
    return pixels * PerInch / screenDpiY();
}

} // namespace Twips
