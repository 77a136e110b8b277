#pragma once

#include "document/RunSettings.h"
#include "printing/SignLayout.h"

#include <functional>

class AppSettings;
class RunTimeError;
class SignListModel;

// Draws one sign into the cell the print job hands it, in the bullet style
// (PaintBulletSign: title, price, description, bullet lines, retail) or the
// description style (PaintDescSign: title, description, plain lines,
// larger price, retail). Both read the settings, the window's options and
// the row afresh for every sign, and draw only through the placement's
// canvas. A run-time error anywhere inside ends the sign there and goes to
// the error handler.
class SignPainter
{
public:
    using OptionsSource = std::function<SignOptions()>;
    using ErrorHandler = std::function<void(const RunTimeError&)>;

    SignPainter(const SignListModel& model, const AppSettings& settings, OptionsSource options,
        ErrorHandler onError);

    void PaintBulletSign(const SignPlacement& placement);
    void PaintDescSign(const SignPlacement& placement);

private:
    struct Sign;
    Sign begin(const SignPlacement& placement) const;
    void drawFrameAndLogo(Sign& s);
    void drawSku(Sign& s);
    void drawSkuBarcode(Sign& s, double skuRight, double skuTop);
    void bulletSign(Sign& s);
    void descSign(Sign& s);

    const SignListModel& m_model;
    RunSettings m_settings;
    OptionsSource m_options;
    ErrorHandler m_onError;
};
