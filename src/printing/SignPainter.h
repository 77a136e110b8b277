#pragma once

#include "document/RunSettings.h"
#include "printing/SignLayout.h"

#include <functional>
#include <optional>

class AppSettings;
class RunTimeError;
class SignListModel;

// How a sign was changed to fit its cell: shrunk (gaps closed up, fonts or
// pictures made smaller) and cut (a line shortened with an ellipsis or left
// off).
struct SignFit
{
    bool shrunk = false;
    bool cut = false;
    // The barcode was asked for but left off: a SKU scanners would misread,
    // or no room for it.
    bool barcodeLeftOff = false;
};

// Draws one sign into the cell the print job hands it, in the bullet style
// (PaintBulletSign: title, price, description, bullet lines, retail) or the
// description style (PaintDescSign: title, description, plain lines,
// larger price, retail). Both read the settings, the window's options and
// the row afresh for every sign, and draw only through the placement's
// canvas. A run-time error anywhere inside ends the sign there and goes to
// the error handler.
//
// Every sign is laid out before anything but its border is drawn, and made
// to fit inside its border (the cell without one) and the printable area:
// - the stack from the logo down to the retail line must end above the SKU:
//   first the gaps close up, then the stack's fonts and logo shrink together
//   by the largest factor that fits, never below half their size; when even
//   that does not fit, lines are left off (bullet 3, 2, 1, retail, second
//   description line, title, logo, description, price) until it does;
// - a line wider than its room shrinks alone to the same floor and is then
//   cut with an ellipsis; the price line keeps "$", amount, cent sign and
//   picture inside the border, moving to the left edge before it is cut;
// - each sign is clipped to its cell.
// Content that fits is drawn exactly where the plain layout puts it.
class SignPainter
{
public:
    using OptionsSource = std::function<SignOptions()>;
    using ErrorHandler = std::function<void(const RunTimeError&)>;

    SignPainter(const SignListModel& model, const AppSettings& settings, OptionsSource options,
        ErrorHandler onError);

    SignFit PaintBulletSign(const SignPlacement& placement);
    SignFit PaintDescSign(const SignPlacement& placement);

private:
    struct Sign;
    struct Fit;
    SignFit paint(const SignPlacement& placement, bool bullet);
    Sign begin(const SignPlacement& placement) const;
    void drawBorder(Sign& s);
    void prepare(Sign& s);
    SignFit arrange(Sign& s);
    void largestThatFits(
        Sign& s, Fit& fit, double& factor, double lo, double loBottom, double hiBottom);
    bool layOut(Sign& s, const Fit& fit);
    double stackStart(Sign& s, const Fit& fit);
    struct PriceLine
    {
        double big = 0, small = 0, amount1 = 0, drawn1 = 0, pw1 = 0, ph1 = 0;
    };
    struct PriceScale
    {
        double scale = 1;
        bool movedLeft = false;
    };
    static std::optional<double> titleLine(Sign& s, const Fit& fit, double y);
    static PriceLine measurePrice(Sign& s, double bigPoints);
    static PriceScale fitPrice(
        Sign& s, double need, double room, double wideRoom, double stackScale);
    static QString cutAmount(Sign& s, const PriceLine& p, double scale, double x, double end);
    static double bulletPrice(Sign& s, const Fit& fit, double px, double y);
    static double descPrice(Sign& s, const Fit& fit, double y);
    static double placePrice(Sign& s, const PriceLine& p, double x, double gx, double y,
        double scale, const QString& amount);
    void bulletStack(Sign& s, const Fit& fit, double y);
    static double bulletLines(Sign& s, const Fit& fit, double px, double y);
    void descStack(Sign& s, const Fit& fit, double y);
    void footer(Sign& s);
    bool drawSkuBarcode(Sign& s);
    void drawItems(Sign& s);

    const SignListModel& m_model;
    RunSettings m_settings;
    OptionsSource m_options;
    ErrorHandler m_onError;
};
