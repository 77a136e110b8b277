#pragma once

#include <QtGlobal>

// Window geometry is specified in twips (1440 to the inch); widgets are
// placed in pixels at the screen's logical resolution.
namespace Twips {

constexpr int PerInch = 1440;

// Logical dots per inch of the primary screen (96 when there is none).
double screenDpiX();
double screenDpiY();

int toPixelsX(double twips);
int toPixelsY(double twips);
double fromPixelsX(int pixels);
double fromPixelsY(int pixels);

} // namespace Twips
