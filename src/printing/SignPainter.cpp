#include "printing/SignPainter.h"

#include "base/MORNLIB.h"
#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"
#include "printing/SkuBarcode.h"

#include <utility>

namespace {

double roundEven(double v)
{
    return NumberText::roundHalfEven(v);
}

const QString Dollar = QStringLiteral("$");
const QString Cent = QString(QChar(0x00A2));
const QString LetterA = QStringLiteral("A");
const QString Digit1 = QStringLiteral("1");

// Where a too-wide description is broken: the first space from the middle
// rightwards (positions from 1), or 0 when there is none.
qsizetype splitPosition(const QString& text)
{
    const qsizetype length = text.size();
    qsizetype i = qsizetype(NumberText::roundHalfEven(double(length) / 2));
    if (i < 1)
        i = 1;
    for (; i <= length; ++i) {
        if (text[i - 1] == QLatin1Char(' '))
            return i;
    }
    return 0;
}

} // namespace

// Everything one sign needs, read once at its start.
struct SignPainter::Sign
{
    SignCanvas* c = nullptr;
    SignPlacement at;
    SignOptions options;
    double k = 1, fs = 1, x0 = 0, y = 0, dw = 0;
    QString sku, description, promo, retail, picture;
    QString bullets[3];
    int colorBorder = 0, colorTitle = 0, colorPrice = 0;
    QString logoFile, logoPlace;
    double logoWidth = 0, logoHeight = 0, printSku = 1;

    // x for text centred in the cell.
    double centred(const QString& text) const { return (at.width - c->TextWidth(text)) / 2 + x0; }
};

SignPainter::SignPainter(const SignListModel& model, const AppSettings& settings,
    OptionsSource options, ErrorHandler onError)
    : m_model(model)
    , m_settings(settings)
    , m_options(std::move(options))
    , m_onError(std::move(onError))
{
}

SignPainter::Sign SignPainter::begin(const SignPlacement& placement) const
{
    using namespace SettingsKeys;
    Sign s;
    s.c = placement.canvas;
    s.c->startExtents();
    s.at = placement;
    s.options = m_options();
    s.k = placement.formatScale;
    s.fs = placement.previewScale * s.k;
    s.x0 = double(placement.left) + placement.shiftLeftRight;

    const SignRow& row = m_model.signRow(placement.row);
    s.sku = TrimSpaces(row.column(SignListModel::ColSku));
    s.description = TrimSpaces(row.column(SignListModel::ColDescription));
    s.promo = TrimSpaces(row.column(SignListModel::ColPromo));
    if (s.promo.isEmpty())
        s.promo = TrimSpaces(row.column(SignListModel::ColRetail));
    s.retail = row.column(SignListModel::ColRetail);
    s.bullets[0] = row.column(SignListModel::ColBullet1);
    s.bullets[1] = row.column(SignListModel::ColBullet2);
    s.bullets[2] = row.column(SignListModel::ColBullet3);
    s.picture = row.column(SignListModel::ColGraphic);

    s.colorBorder = m_settings.whole32(ColorBorder, 0);
    s.colorTitle = m_settings.whole32(ColorTitle, 0);
    s.colorPrice = m_settings.whole32(ColorPrice, 0);
    s.logoFile = m_settings.text(FILELOGO, QString());
    s.logoWidth = m_settings.numberPrefix(LOGOWIDTH, QStringLiteral("1.5"));
    s.logoHeight = m_settings.numberPrefix(LOGOHEIGHT, QStringLiteral(".5"));
    s.logoPlace = m_settings.text(LOGOLCR, QStringLiteral("CENTER"));
    s.printSku = m_settings.numberPrefix(PRINTSKU, QStringLiteral("1"));
    return s;
}

void SignPainter::PaintBulletSign(const SignPlacement& placement)
{
    try {
        Sign s = begin(placement);
        drawFrameAndLogo(s);
        bulletSign(s);
        drawSku(s);
    } catch (const RunTimeError& error) {
        m_onError(error);
    }
}

void SignPainter::PaintDescSign(const SignPlacement& placement)
{
    try {
        Sign s = begin(placement);
        drawFrameAndLogo(s);
        descSign(s);
        drawSku(s);
    } catch (const RunTimeError& error) {
        m_onError(error);
    }
}

// Border, logo and the starting height, shared by both styles.
void SignPainter::drawFrameAndLogo(Sign& s)
{
    SignCanvas& c = *s.c;
    const SignPlacement& at = s.at;
    const double k = s.k;
    const double ud = at.shiftUpDown, lr = at.shiftLeftRight;

    if (s.options.border == 1) {
        c.setFillStyle(1);
        c.setDrawStyle(0);
        c.setDrawWidth(at.printing ? 24 * k : 1);
        s.dw = c.DrawWidth();
        c.Box(at.left + 2 * s.dw, at.top + 2 * s.dw, double(at.left) + at.width - 4 * s.dw,
            double(at.top) + at.height - 4 * s.dw, s.colorBorder);
    }

    if (s.options.logo != 0 && MORNLIB::FileExists(s.logoFile)) {
        const double lw = roundEven(s.logoWidth * 1440 * k);
        const double lh = roundEven(s.logoHeight * 1440 * k);
        const double logoTop = roundEven((ud + 250) * k + at.top);
        double logoLeft;
        if (s.logoPlace == QLatin1String("RIGHT"))
            logoLeft = roundEven(at.left + lr + at.width - lw - 250 * k);
        else if (s.logoPlace == QLatin1String("LEFT"))
            logoLeft = roundEven(at.left + lr + 150 * k);
        else
            logoLeft = roundEven((at.width - lw) / 2 + at.left + lr);
        const SignPicture logo = c.LoadPicture(s.logoFile);
        c.PaintPicture(logo, logoLeft, logoTop, lw, lh);
        s.y = roundEven(at.top + ud + lh + 350 * k);
    } else {
        s.y = roundEven(at.top + ud + 1100 * k);
        if (s.options.title == 1)
            s.y = roundEven(s.y - 500 * k);
        if (s.options.retail == 1)
            s.y = roundEven(s.y - 300 * k);
    }
}

void SignPainter::drawSku(Sign& s)
{
    if (s.printSku == 0)
        return;
    SignCanvas& c = *s.c;
    c.setFontSize(10 * s.fs);
    c.setCurrentX(double(s.at.left) + s.at.width - c.TextWidth(s.sku) - 300 * s.k);
    c.setCurrentY(double(s.at.top) + s.at.height - 1.5 * c.TextHeight(s.sku) - 4 * s.dw);
    if (s.options.barcode == 1)
        drawSkuBarcode(s, c.CurrentX() + c.TextWidth(s.sku), c.CurrentY());
    c.Print(s.sku);
}

// The SKU as a barcode over its text line, clear of everything the sign
// has drawn and inside the border.
void SignPainter::drawSkuBarcode(Sign& s, double skuRight, double skuTop)
{
    SkuBarcodeBox box;
    box.skuRight = skuRight;
    box.skuTop = skuTop;
    box.obstacles = s.c->extents();
    box.areaLeft = double(s.at.left) + 5 * s.dw;
    box.areaRight = double(s.at.left) + s.at.width - 5 * s.dw;
    box.scale = s.k;
    for (const QRectF& bar : SkuBarcodeBars(s.sku, box))
        s.c->FillRect(bar.left(), bar.top(), bar.right(), bar.bottom(), 0);
}

void SignPainter::bulletSign(Sign& s)
{
    SignCanvas& c = *s.c;
    const SignPlacement& at = s.at;
    const double k = s.k, fs = s.fs;
    double& y = s.y;

    if (s.options.title == 1 && !MORNLIB::IsBlank(s.options.titleText)) {
        c.setForeColor(s.colorTitle);
        c.setFontBold(true);
        c.setFontSize(25 * fs);
        c.setCurrentX(s.centred(s.options.titleText));
        c.setCurrentY(y);
        c.Print(s.options.titleText);
        y = roundEven(y + 10 + c.TextHeight(LetterA));
        c.setFontBold(false);
        c.setForeColor(0);
    }

    // Price line, 15 % of the cell in from the left.
    const double px = roundEven(0.15 * at.width + s.x0);
    c.setForeColor(s.colorPrice);
    c.setFontBold(true);
    c.setFontSize(60 * fs);
    double pw = c.TextWidth(s.promo);
    const double ph = c.TextHeight(Digit1);
    c.setFontSize(40 * fs);
    pw += c.TextWidth(Dollar);

    double gx = 0;
    if (s.options.graphic != 0) {
        // The mirror of the price's inset, never overlapping the price.
        gx = at.left + at.width - (px - at.left) - ph;
        if (px + 1.1 * pw > gx)
            gx = roundEven(px + 1.1 * pw);
    }

    const double v = NumberText::leadingNumber(s.promo);
    QString text = s.promo;
    if (v >= 1) {
        c.setCurrentX(px);
        c.setCurrentY(y + 150 * k);
        c.setFontSize(40 * fs);
        c.Print(Dollar);
        c.setCurrentX(px + c.TextWidth(Dollar));
    } else {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        if (point >= 0)
            text = text.mid(point + 1);
        c.setCurrentX(px);
    }
    c.setCurrentY(y);
    c.setFontSize(60 * fs);
    c.Print(text);
    if (!s.promo.isEmpty() && v < 1) {
        c.setCurrentX(px + c.TextWidth(s.promo));
        c.setCurrentY(y + 100 * k);
        c.setFontSize(40 * fs);
        c.Print(Cent);
        c.setFontSize(60 * fs);
    }

    if (s.options.graphic == 1 && MORNLIB::FileExists(s.picture)) {
        const SignPicture picture = c.LoadPicture(s.picture);
        c.PaintPicture(picture, gx, y, ph, ph);
    }

    y = roundEven(y + c.TextHeight(Digit1) + 10 * k);
    c.setFontBold(false);
    c.setForeColor(0);

    // Description, broken in two when it would run past 90 % of the cell.
    c.setCurrentX(px);
    c.setCurrentY(y);
    c.setFontSize(20 * fs);
    const qsizetype split = c.TextWidth(s.description) + 0.15 * at.width > 0.9 * at.width
        ? splitPosition(s.description)
        : 0;
    if (split > 0) {
        c.Print(s.description.left(split - 1));
        y = roundEven(y + c.TextHeight(LetterA) + 10 * k);
        c.setCurrentX(px);
        c.setCurrentY(y);
        c.Print(s.description.mid(split));
    } else {
        c.Print(s.description);
    }
    y = roundEven(y + c.TextHeight(LetterA) + 200 * k);

    // Bullet lines with round black dots.
    c.setFontSize(15 * fs);
    c.setDrawWidth(1);
    const double gaps[3] = { 10 * k, 10 * k, 50 * k };
    for (int i = 0; i < 3; ++i) {
        if (MORNLIB::IsBlank(s.bullets[i]))
            continue;
        const double h = c.TextHeight(LetterA);
        c.setFillColor(0);
        c.setFillStyle(0);
        c.Circle(roundEven(h / 2 + px), roundEven(h / 2 + y), h / 8);
        c.setCurrentX(px + h);
        c.setCurrentY(y);
        c.Print(s.bullets[i]);
        y = roundEven(y + h + gaps[i]);
    }

    if (s.options.retail == 1 && !MORNLIB::IsBlank(s.retail)) {
        c.setCurrentX(px);
        c.setCurrentY(y);
        c.setFontItalic(true);
        c.Print(QStringLiteral("(regular retail $") + TrimSpaces(s.retail) + QLatin1Char(')'));
        c.setFontItalic(false);
    }
}

void SignPainter::descSign(Sign& s)
{
    SignCanvas& c = *s.c;
    const SignPlacement& at = s.at;
    const double k = s.k, fs = s.fs;
    double& y = s.y;

    if (s.options.title == 1 && !MORNLIB::IsBlank(s.options.titleText)) {
        c.setForeColor(s.colorTitle);
        c.setFontBold(true);
        c.setFontSize(25 * fs);
        c.setCurrentX(s.centred(s.options.titleText));
        c.setCurrentY(y);
        c.Print(s.options.titleText);
        y = roundEven(y + c.TextHeight(LetterA) + 200 * k);
        c.setFontBold(false);
        c.setForeColor(0);
    }

    // Description, centred, broken in two when wider than 90 % of the cell.
    c.setCurrentY(y);
    c.setFontSize(20 * fs);
    const qsizetype split
        = c.TextWidth(s.description) > 0.9 * at.width ? splitPosition(s.description) : 0;
    if (split > 0) {
        const QString first = s.description.left(split - 1);
        const QString rest = s.description.mid(split);
        c.setCurrentX(s.centred(first));
        c.Print(first);
        y = roundEven(y + c.TextHeight(LetterA) + 10 * k);
        c.setCurrentX(s.centred(rest));
        c.setCurrentY(y);
        c.Print(rest);
    } else {
        c.setCurrentX(s.centred(s.description));
        c.Print(s.description);
    }
    y = roundEven(y + c.TextHeight(LetterA) + 10 * k);

    // Three plain lines; the first always takes its line, blank or not.
    c.setFontSize(15 * fs);
    c.setDrawWidth(1);
    for (int i = 0; i < 3; ++i) {
        const bool blank = MORNLIB::IsBlank(s.bullets[i]);
        if (!blank) {
            c.setCurrentX(s.centred(s.bullets[i]));
            c.setCurrentY(y);
            c.Print(s.bullets[i]);
        }
        if (!blank || i == 0)
            y = roundEven(y + c.TextHeight(LetterA) + 10 * k);
    }

    // Price, centred, or sharing the width with the picture in three gaps.
    c.setForeColor(s.colorPrice);
    c.setFontBold(true);
    c.setFontSize(80 * fs);
    double pw = c.TextWidth(s.promo);
    const double ph = c.TextHeight(Digit1);
    c.setFontSize(40 * fs);
    pw += c.TextWidth(Dollar);
    double gx = 0;
    if (s.options.graphic == 0) {
        c.setCurrentX((at.width - pw) / 2 + s.x0);
    } else {
        const double g = roundEven((at.width - pw - ph) / 3);
        c.setCurrentX(g + s.x0);
        gx = s.x0 + at.width - g - ph;
    }

    const double v = NumberText::leadingNumber(s.promo);
    QString text = s.promo;
    if (v >= 1) {
        c.setCurrentY(y + 150 * k);
        c.setFontSize(40 * fs);
        c.Print(Dollar, SignCanvas::PrintEnd::Continue);
    } else {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        if (point >= 0)
            text = text.mid(point + 1);
    }
    c.setCurrentY(y);
    c.setFontSize(80 * fs);
    c.Print(text, SignCanvas::PrintEnd::Continue);
    if (!s.promo.isEmpty() && v < 1) {
        c.setCurrentY(y + 100 * k);
        c.setFontSize(40 * fs);
        c.Print(Cent, SignCanvas::PrintEnd::Continue);
        c.setFontSize(80 * fs);
    }

    if (s.options.graphic == 1 && MORNLIB::FileExists(s.picture)) {
        const SignPicture picture = c.LoadPicture(s.picture);
        c.PaintPicture(picture, gx, y, ph, ph);
    }

    y = roundEven(y + c.TextHeight(Digit1) + 10 * k);
    c.setFontBold(false);
    c.setForeColor(0);

    if (s.options.retail == 1 && !MORNLIB::IsBlank(s.retail)) {
        c.setFontSize(15 * fs);
        const QString line
            = QStringLiteral("(regular retail $") + TrimSpaces(s.retail) + QLatin1Char(')');
        c.setCurrentX(s.centred(line));
        c.setCurrentY(y);
        c.setFontItalic(true);
        c.Print(line);
        c.setFontItalic(false);
    }
}
