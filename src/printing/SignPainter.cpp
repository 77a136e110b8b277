#include "printing/SignPainter.h"

#include "base/MORNLIB.h"
#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "document/SignListModel.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"
#include "printing/SignPrice.h"
#include "printing/SkuBarcode.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

namespace {

double roundEven(double v)
{
    return NumberText::roundHalfEven(v);
}

const QString Dollar = QStringLiteral("$");
const QString LetterA = QStringLiteral("A");
const QString Ellipsis = QString(QChar(0x2026));

// No font or picture of a sign is drawn at less than this part of its size.
constexpr double Floor = 0.5;
// Halvings in the search for the largest gap or scale factor that fits.
constexpr int SearchSteps = 10;
// Slack when comparing positions reached along different sums.
constexpr double Slack = 0.01;

// Parts of the stack that may be left off, in the order they go when the
// sign does not fit even at the floor.
enum Part : unsigned {
    Bullet1 = 1u << 0,
    Bullet2 = 1u << 1,
    Bullet3 = 1u << 2,
    Retail = 1u << 3,
    Description2 = 1u << 4,
    Title = 1u << 5,
    Logo = 1u << 6,
    Description1 = 1u << 7,
    Price = 1u << 8,
};
const unsigned DropOrder[]
    = { Bullet3, Bullet2, Bullet1, Retail, Description2, Title, Logo, Description1, Price };
const unsigned BulletPart[3] = { Bullet1, Bullet2, Bullet3 };

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

// A length between its closed-up value (t = 0) and its natural one (t = 1).
double between(double closed, double natural, double t)
{
    return t >= 1 ? natural : closed + (natural - closed) * t;
}

// The price as the retail line shows it.
QString retailLine(const QString& retail)
{
    const SignPrice price = PriceForSign(retail);
    return QStringLiteral("(regular retail ") + price.dollar + price.amount + price.cent
        + QLatin1Char(')');
}

} // namespace

// How a sign is laid out: gaps (1 natural, 0 closed up), the stack's scale
// and the parts left off.
struct SignPainter::Fit
{
    double gaps = 1;
    double scale = 1;
    unsigned dropped = 0;
};

// Everything one sign needs, read once at its start, and its layout. Every
// length inside the painter (x, y, widths, heights, edges, rooms, and the
// x and y its helpers take) is in twips; font sizes (points, big, small) are
// in points; k, fs and scale are plain factors.
struct SignPainter::Sign
{
    // One thing the sign draws. Dot: centre (x, y) and radius in width.
    struct Item
    {
        enum class Kind { Text, Picture, Dot };
        Kind kind = Kind::Text;
        double x = 0, y = 0, width = 0, height = 0;
        QString text;
        double points = 0;
        bool bold = false, italic = false;
        int color = 0;
        SignPicture picture;
    };
    // A line of text fitted into its room.
    struct Line
    {
        QString text;
        double points = 0, width = 0, height = 0;
        bool bold = false, italic = false;
    };

    SignCanvas* c = nullptr;
    SignPlacement at;
    SignOptions options;
    bool bullet = true;
    double k = 1, fs = 1, x0 = 0, edge = 0;
    QString sku, description, promo, retail, retailText, picture;
    QString bullets[3];
    SignPrice price;
    int colorBorder = 0, colorTitle = 0, colorPrice = 0;
    QString logoFile, logoPlace;
    double logoWidth = 0, logoHeight = 0, printSku = 1;
    bool logoShown = false, pictureShown = false;
    SignPicture logo, item;

    // Where the sign may draw (inside the border, or the cell, and the
    // printable area); the stack ends above the footer.
    double left = 0, top = 0, right = 0, bottom = 0, stackLimit = 0;
    std::vector<Item> footer;
    bool footerShrunk = false, footerCut = false;
    // The SKU line's right end and top, under which the barcode stands.
    double skuRight = 0, skuTop = 0;
    // The stack as last laid out, the parts it has and how it was changed.
    std::vector<Item> items;
    unsigned present = 0;
    bool shrunk = false, cut = false;
    // Where the stack as last laid out ends.
    double stackBottom = 0;

    struct Measured
    {
        QString text;
        int face = 0;
        double points = 0, width = 0;
    };
    std::vector<Measured> measured;

    // Text width at a size. Each text is measured once; other sizes scale
    // that width, so the natural layout uses the canvas's own figures.
    double width(const QString& text, double points, bool bold, bool italic = false)
    {
        const int face = (bold ? 1 : 0) + (italic ? 2 : 0);
        for (const Measured& m : measured) {
            if (m.face == face && m.text == text)
                return m.points == points ? m.width : m.width * (points / m.points);
        }
        setFont(points, bold, italic);
        const double w = c->TextWidth(text);
        measured.push_back({ text, face, points, w });
        return w;
    }
    double height(double points, bool bold, bool italic = false)
    {
        setFont(points, bold, italic);
        return c->TextHeight(LetterA);
    }
    void setFont(double points, bool bold, bool italic)
    {
        c->setFontBold(bold);
        c->setFontItalic(italic);
        c->setFontSize(points);
    }

    double clampX(double x, double w) const { return std::max(left, std::min(x, right - w)); }
    // x for text of this width centred in the cell, kept inside the limits.
    double centred(double w) const { return clampX((at.width_tw - w) / 2 + x0, w); }

    // The text at its size times the stack's scale when that fits the
    // room (extra: width beside the text that scales with it); else
    // shrunk alone to fit, and below the floor cut with an ellipsis.
    Line fit(const QString& text, double points, bool bold, bool italic, double room,
        double stackScale, double extra = 0)
    {
        Line line;
        line.text = text;
        line.bold = bold;
        line.italic = italic;
        const double w = width(text, points, bold, italic);
        double scale = stackScale;
        if ((w + extra) * scale > room + Slack) {
            scale = std::max(Floor, room / (w + extra));
            shrunk = true;
        }
        line.points = points * scale;
        if ((w + extra) * scale > room + Slack) {
            line.text = cutToWidth(text, line.points, bold, italic, room - extra * scale);
            cut = true;
        }
        line.width = width(line.text, line.points, bold, italic);
        line.height = height(line.points, bold, italic);
        return line;
    }
    // The two lines of a description broken at split (a position from 1).
    // When a half would have to be cut, the words flow over both lines at
    // the smaller of the two sizes, in order, and only the second line ends
    // with an ellipsis, where words are left off.
    std::pair<Line, Line> fitTwo(
        const QString& text, qsizetype split, double points, double room, double stackScale)
    {
        const bool cutBefore = cut;
        const QString head = text.left(split - 1), tail = text.mid(split);
        std::pair<Line, Line> lines = { fit(head, points, false, false, room, stackScale),
            fit(tail, points, false, false, room, stackScale) };
        if (lines.first.text == head && lines.second.text == tail)
            return lines;
        const double size = std::min(lines.first.points, lines.second.points);
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString first;
        qsizetype used = 0;
        for (; used < words.size(); ++used) {
            const QString longer
                = first.isEmpty() ? words[used] : first + QLatin1Char(' ') + words[used];
            if (width(longer, size, false) > room)
                break;
            first = longer;
        }
        QString second = words.mid(used).join(QLatin1Char(' '));
        bool lost = false;
        if (first.isEmpty()) {
            // Not even the first word fits a line: one line, cut.
            first = cutToWidth(text, size, false, false, room);
            second.clear();
            lost = true;
        } else if (width(second, size, false) > room) {
            second = cutToWidth(second, size, false, false, room);
            lost = true;
        }
        cut = cutBefore || lost;
        auto set = [&](Line& line, const QString& words) {
            line.text = words;
            line.points = size;
            line.width = width(words, size, false);
            line.height = height(size, false);
        };
        set(lines.first, first);
        set(lines.second, second);
        return lines;
    }
    // The longest start of the text that fits the room with an ellipsis.
    QString cutToWidth(const QString& text, double points, bool bold, bool italic, double room)
    {
        auto cutAt = [&](qsizetype n) {
            QString start = text.left(n);
            while (start.endsWith(QLatin1Char(' ')))
                start.chop(1);
            return start + Ellipsis;
        };
        qsizetype lo = 0, hi = text.size();
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (width(cutAt(mid), points, bold, italic) <= room)
                lo = mid;
            else
                hi = mid - 1;
        }
        const QString best = cutAt(lo);
        return width(best, points, bold, italic) <= room ? best : QString();
    }

    void addText(const Line& line, double x, double y, int color)
    {
        Item i;
        i.x = x, i.y = y, i.width = line.width, i.height = line.height;
        i.text = line.text;
        i.points = line.points;
        i.bold = line.bold;
        i.italic = line.italic;
        i.color = color;
        items.push_back(std::move(i));
    }
    void addPicture(const SignPicture& p, double x, double y, double w, double h)
    {
        Item i;
        i.kind = Item::Kind::Picture;
        i.x = x, i.y = y, i.width = w, i.height = h;
        i.picture = p;
        items.push_back(std::move(i));
    }
    // The "$", amount and cent sign of the price line: big and small sizes
    // at the line's scale, the amount's width (it may have been cut).
    void addPrice(double x, double y, double big, double small, double scale, const QString& amount)
    {
        Line part;
        part.bold = true;
        double ax = x;
        if (!price.dollar.isEmpty()) {
            part.text = price.dollar;
            part.points = small;
            part.width = width(part.text, small, true);
            part.height = height(small, true);
            addText(part, x, y + 150 * k * scale, colorPrice);
            ax = x + part.width;
        }
        part.text = amount;
        part.points = big;
        part.width = width(amount, big, true);
        part.height = height(big, true);
        addText(part, ax, y, colorPrice);
        if (!price.cent.isEmpty()) {
            const double cx = ax + part.width;
            part.text = price.cent;
            part.points = small;
            part.width = width(part.text, small, true);
            part.height = height(small, true);
            addText(part, cx, y + 100 * k * scale, colorPrice);
        }
    }
    // The price line's width for placing it: the drawn width, and for cents
    // at least the width the typed text had, so cent prices keep their place.
    double priceWidth(double big, double small, double drawn)
    {
        if (price.cent.isEmpty())
            return drawn;
        return std::max(drawn, width(promo, big, true) + width(Dollar, small, true));
    }
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
    s.at = placement;
    s.options = m_options();
    s.k = placement.formatScale;
    s.fs = placement.previewScale * s.k;
    s.x0 = double(placement.left_tw) + placement.shiftLeftRight_tw;

    const SignRow& row = m_model.signRow(placement.row);
    s.sku = TrimSpaces(row.column(SignListModel::ColSku));
    s.description = TrimSpaces(row.column(SignListModel::ColDescription));
    s.promo = TrimSpaces(row.column(SignListModel::ColPromo));
    if (s.promo.isEmpty())
        s.promo = TrimSpaces(row.column(SignListModel::ColRetail));
    s.price = PriceForSign(s.promo);
    s.retail = row.column(SignListModel::ColRetail);
    s.retailText = retailLine(s.retail);
    s.bullets[0] = row.column(SignListModel::ColBullet1);
    s.bullets[1] = row.column(SignListModel::ColBullet2);
    s.bullets[2] = row.column(SignListModel::ColBullet3);
    s.picture = row.column(SignListModel::ColGraphic);

    s.colorBorder = m_settings.get(Setting::ColorBorder).whole();
    s.colorTitle = m_settings.get(Setting::ColorTitle).whole();
    s.colorPrice = m_settings.get(Setting::ColorPrice).whole();
    s.logoFile = m_settings.get(Setting::FileLogo).text();
    s.logoWidth = m_settings.get(Setting::LogoWidth).number();
    s.logoHeight = m_settings.get(Setting::LogoHeight).number();
    s.logoPlace = m_settings.get(Setting::LogoLcr).text();
    s.printSku = m_settings.get(Setting::PrintSku).number();
    return s;
}

SignFit SignPainter::PaintBulletSign(const SignPlacement& placement)
{
    return paint(placement, true);
}

SignFit SignPainter::PaintDescSign(const SignPlacement& placement)
{
    return paint(placement, false);
}

SignFit SignPainter::paint(const SignPlacement& placement, bool bullet)
{
    SignFit result;
    SignCanvas& c = *placement.canvas;
    // The last guard: nothing of a sign reaches beyond its cell.
    c.setClip(QRectF(placement.left_tw, placement.top_tw, placement.width_tw, placement.height_tw)
                  .normalized());
    try {
        Sign s = begin(placement);
        s.bullet = bullet;
        drawBorder(s);
        prepare(s);
        footer(s);
        result = arrange(s);
        result.shrunk = result.shrunk || s.footerShrunk;
        result.cut = result.cut || s.footerCut;
        drawItems(s);
        result.barcodeLeftOff = !drawSkuBarcode(s);
    } catch (const RunTimeError& error) {
        m_onError(error);
    }
    c.setClip(QRectF());
    return result;
}

// The border. It is placed as the printer draws it, one line width being 24
// twips at the format's scale, on the preview too (where the line itself is
// one pixel wide), so both show the same sign.
void SignPainter::drawBorder(Sign& s)
{
    if (s.options.border != 1)
        return;
    SignCanvas& c = *s.c;
    const SignPlacement& at = s.at;
    c.setFillStyle(1);
    c.setDrawStyle(0);
    c.setDrawWidth(at.printing ? 24 * s.k : 1);
    s.edge = roundEven(24 * s.k);
    const double e = s.edge;
    c.Box(at.left_tw + 2 * e, at.top_tw + 2 * e, double(at.left_tw) + at.width_tw - 4 * e,
        double(at.top_tw) + at.height_tw - 4 * e, s.colorBorder);
}

// The limits the sign keeps to, and its pictures.
void SignPainter::prepare(Sign& s)
{
    const SignPlacement& at = s.at;
    // Inside the border line with a line's width to spare, or the cell.
    const double e = s.edge;
    s.left = at.left_tw + 4 * e;
    s.top = at.top_tw + 4 * e;
    s.right = double(at.left_tw) + at.width_tw - 6 * e;
    s.bottom = double(at.top_tw) + at.height_tw - 6 * e;
    if (at.printableWidth_tw > 0) {
        s.left = std::max(s.left, 0.0);
        s.right = std::min(s.right, at.printableWidth_tw);
    }
    if (at.printableHeight_tw > 0) {
        s.top = std::max(s.top, 0.0);
        s.bottom = std::min(s.bottom, at.printableHeight_tw);
    }
    // A logo of no size (a hand-edited or overridden setting) is left out
    // and the sign laid out as without one.
    const bool logoSized = s.logoWidth > 0 && s.logoHeight > 0 && std::isfinite(s.logoWidth)
        && std::isfinite(s.logoHeight);
    s.logoShown = s.options.logo != 0 && logoSized && MORNLIB::FileExists(s.logoFile);
    if (s.logoShown)
        s.logo = s.c->LoadPicture(s.logoFile);
    s.pictureShown = s.options.graphic == 1 && MORNLIB::FileExists(s.picture);
    if (s.pictureShown)
        s.item = s.c->LoadPicture(s.picture);
}

// The SKU in the bottom right corner; the stack ends above it.
void SignPainter::footer(Sign& s)
{
    s.stackLimit = s.bottom;
    if (s.printSku == 0)
        return;
    const SignPlacement& at = s.at;
    const double size = 10 * s.fs;
    const double room = double(at.left_tw) + at.width_tw - 300 * s.k - s.left;
    s.shrunk = s.cut = false;
    const Sign::Line line = s.fit(s.sku, size, false, false, room, 1);
    s.footerShrunk = s.shrunk;
    s.footerCut = s.cut;
    const double x
        = s.clampX(double(at.left_tw) + at.width_tw - line.width - 300 * s.k, line.width);
    const double y = double(at.top_tw) + at.height_tw - 1.5 * line.height - 4 * s.edge;
    s.items.clear();
    s.addText(line, x, y, 0);
    s.footer = std::move(s.items);
    s.items.clear();
    s.skuRight = x + line.width;
    s.skuTop = y;
    if (!s.sku.isEmpty()) {
        s.stackLimit = std::min(s.bottom, y);
        // The barcode's shortest bars stand above the SKU line: the stack
        // ends above them.
        if (s.options.barcode == 1)
            s.stackLimit = std::min(s.bottom, y - SkuBarcodeLeastHeight(s.k));
    }
}

// The SKU as a barcode over its text line, clear of everything the sign
// shows and inside its limits. False when a barcode was asked for and could
// not be drawn.
bool SignPainter::drawSkuBarcode(Sign& s)
{
    if (s.options.barcode != 1 || s.printSku == 0 || s.sku.isEmpty())
        return true;
    SkuBarcodeBox box;
    box.skuRight = s.skuRight;
    box.skuTop = s.skuTop;
    for (const Sign::Item& item : s.items) {
        if (item.kind == Sign::Item::Kind::Dot)
            box.obstacles.push_back(
                QRectF(item.x - item.width, item.y - item.width, 2 * item.width, 2 * item.width));
        else
            box.obstacles.push_back(QRectF(item.x, item.y, item.width, item.height).normalized());
    }
    box.areaLeft = s.left;
    box.areaRight = s.right;
    box.scale = s.k;
    const std::vector<QRectF> bars = SkuBarcodeBars(s.sku, box);
    for (const QRectF& bar : bars)
        s.c->FillRect(bar.left(), bar.top(), bar.right(), bar.bottom(), 0);
    return !bars.empty();
}

// Lays the stack out at its natural size when it fits; else closes up the
// gaps, then scales the stack, then leaves parts off.
SignFit SignPainter::arrange(Sign& s)
{
    Fit fit;
    if (layOut(s, fit))
        return { s.shrunk, s.cut };
    const double naturalBottom = s.stackBottom;
    size_t next = 0;
    for (;;) {
        Fit closed = fit;
        closed.gaps = 0;
        if (layOut(s, closed)) {
            fit.gaps = 1;
            largestThatFits(s, fit, fit.gaps, 0, s.stackBottom, naturalBottom);
            return { true, s.cut };
        }
        const double closedBottom = s.stackBottom;
        Fit smallest = closed;
        smallest.scale = Floor;
        if (layOut(s, smallest)) {
            largestThatFits(s, closed, closed.scale, Floor, s.stackBottom, closedBottom);
            return { true, s.cut };
        }
        while (next < std::size(DropOrder) && !(s.present & DropOrder[next]))
            ++next;
        if (next == std::size(DropOrder))
            return { true, true };
        fit.dropped |= DropOrder[next++];
    }
}

// The largest value of one factor of the fit (between lo, which fits, and
// hi, which does not) with which the stack fits, found by interpolating
// where the stack ends; leaves the sign laid out with it. The stack's end
// moves almost in proportion to either factor, so one or two tries do.
void SignPainter::largestThatFits(
    Sign& s, Fit& fit, double& factor, double lo, double loBottom, double hiBottom)
{
    double hi = factor;
    bool laidOut = false;
    for (int i = 0; i < SearchSteps && hi - lo > 1e-3; ++i) {
        // Aim two twips short of the limit so rounding does not spill over.
        const double span = hiBottom - loBottom;
        double guess
            = span > 0 ? lo + (hi - lo) * (s.stackLimit - 2 - loBottom) / span : (lo + hi) / 2;
        guess = std::clamp(guess, lo + (hi - lo) / 64, hi - (hi - lo) / 64);
        factor = guess;
        laidOut = layOut(s, fit);
        if (laidOut) {
            lo = guess;
            loBottom = s.stackBottom;
            if (s.stackLimit - s.stackBottom < 8)
                return;
        } else {
            hi = guess;
            hiBottom = s.stackBottom;
        }
    }
    factor = lo;
    if (!laidOut)
        layOut(s, fit);
}

// Lays the stack out; true when every item is inside the limits and the
// stack ends above the footer.
bool SignPainter::layOut(Sign& s, const Fit& fit)
{
    s.items.clear();
    s.present = 0;
    s.shrunk = fit.gaps < 1 || fit.scale < 1;
    s.cut = false;
    const double y = stackStart(s, fit);
    if (s.bullet)
        bulletStack(s, fit, y);
    else
        descStack(s, fit, y);
    s.cut = s.cut || (fit.dropped & s.present) != 0;
    s.stackBottom = s.top;
    bool inside = true;
    for (const Sign::Item& i : s.items) {
        const bool dot = i.kind == Sign::Item::Kind::Dot;
        const double x1 = dot ? i.x - i.width : std::min(i.x, i.x + i.width);
        const double x2 = dot ? i.x + i.width : std::max(i.x, i.x + i.width);
        const double y1 = dot ? i.y - i.width : std::min(i.y, i.y + i.height);
        const double y2 = dot ? i.y + i.width : std::max(i.y, i.y + i.height);
        s.stackBottom = std::max(s.stackBottom, y2);
        inside = inside && x1 >= s.left - Slack && x2 <= s.right + Slack && y1 >= s.top - Slack;
    }
    return inside && s.stackBottom <= s.stackLimit + Slack;
}

// The logo, and where the stack's text starts.
double SignPainter::stackStart(Sign& s, const Fit& fit)
{
    const SignPlacement& at = s.at;
    const double k = s.k, ud = at.shiftUpDown_tw, lr = at.shiftLeftRight_tw, t = fit.gaps;
    auto atTop = [&](double y) {
        y = roundEven(between(s.top, y, t));
        return y < s.top ? std::ceil(s.top) : y;
    };
    if (s.logoShown)
        s.present |= Logo;
    if (s.logoShown && !(fit.dropped & Logo)) {
        const double lw1 = roundEven(s.logoWidth * 1440 * k);
        const double lh1 = roundEven(s.logoHeight * 1440 * k);
        double scale = fit.scale;
        if (lw1 * scale > s.right - s.left + Slack) {
            scale = std::max(Floor, (s.right - s.left) / lw1);
            s.shrunk = true;
        }
        const double lw = scale == 1 ? lw1 : roundEven(s.logoWidth * 1440 * k * scale);
        const double lh = scale == 1 ? lh1 : roundEven(s.logoHeight * 1440 * k * scale);
        const double topNatural = roundEven((ud + 250) * k + at.top_tw);
        const double logoTop = atTop(topNatural);
        double logoLeft;
        if (s.logoPlace == QLatin1String("RIGHT"))
            logoLeft = roundEven(at.left_tw + lr + at.width_tw - lw - 250 * k);
        else if (s.logoPlace == QLatin1String("LEFT"))
            logoLeft = roundEven(at.left_tw + lr + 150 * k);
        else
            logoLeft = roundEven((at.width_tw - lw) / 2 + at.left_tw + lr);
        s.addPicture(s.logo, s.clampX(logoLeft, lw), logoTop, lw, lh);
        const double gap = roundEven(at.top_tw + ud + lh1 + 350 * k) - topNatural - lh1;
        return roundEven(logoTop + lh + between(std::min(gap, 10 * k), gap, t));
    }
    double y = roundEven(at.top_tw + ud + 1100 * k);
    if (s.options.title == 1)
        y = roundEven(y - 500 * k);
    if (s.options.retail == 1)
        y = roundEven(y - 300 * k);
    return atTop(y);
}

// The title line, centred, at y: its height, or none when the sign has no
// title or it was left off. Both styles draw their title here.
std::optional<double> SignPainter::titleLine(Sign& s, const Fit& fit, double y)
{
    if (s.options.title != 1 || MORNLIB::IsBlank(s.options.titleText))
        return std::nullopt;
    s.present |= Title;
    if (fit.dropped & Title)
        return std::nullopt;
    const Sign::Line line
        = s.fit(s.options.titleText, 25 * s.fs, true, false, s.right - s.left, fit.scale);
    s.addText(line, s.centred(line.width), y, s.colorTitle);
    return line.height;
}

// The price line's widths and height at its design size (the amount at
// bigPoints, "$" and cent sign at 40 points).
SignPainter::PriceLine SignPainter::measurePrice(Sign& s, double bigPoints)
{
    PriceLine p;
    p.big = bigPoints * s.fs;
    p.small = 40 * s.fs;
    const SignPrice& price = s.price;
    p.amount1 = s.width(price.amount, p.big, true);
    p.drawn1 = (price.dollar.isEmpty() ? 0 : s.width(Dollar, p.small, true)) + p.amount1
        + (price.cent.isEmpty() ? 0 : s.width(price.cent, p.small, true));
    p.pw1 = s.priceWidth(p.big, p.small, p.drawn1);
    p.ph1 = s.height(p.big, true);
    return p;
}

// The price line's scale: the stack's when the line (need wide at scale 1)
// fits its room; else made to fit, never below the floor. With a wider room
// to fall back on (wideRoom > 0), a line that would go below the floor moves
// there instead and takes the scale that fits it, up to the stack's.
SignPainter::PriceScale SignPainter::fitPrice(
    Sign& s, double need, double room, double wideRoom, double stackScale)
{
    if (need * stackScale <= room + Slack)
        return { stackScale, false };
    s.shrunk = true;
    double scale = room / need;
    bool moved = false;
    if (wideRoom > 0 && scale < Floor) {
        moved = true;
        scale = std::min(stackScale, wideRoom / need);
    }
    return { std::max(scale, Floor), moved };
}

// Even the floor is too wide: the amount is cut to what fits between x and
// end beside the "$" and cent sign.
QString SignPainter::cutAmount(Sign& s, const PriceLine& p, double scale, double x, double end)
{
    s.cut = true;
    return s.cutToWidth(
        s.price.amount, p.big * scale, true, false, end - x - (p.drawn1 - p.amount1) * scale);
}

// Adds the price line at (x, y) and the item picture at gx beside it; where
// the next line starts.
double SignPainter::placePrice(
    Sign& s, const PriceLine& p, double x, double gx, double y, double scale, const QString& amount)
{
    const double ph = p.ph1 * scale;
    s.addPrice(x, y, p.big * scale, p.small * scale, scale, amount);
    if (s.pictureShown)
        s.addPicture(s.item, gx, y, ph, ph);
    return roundEven(y + ph + 10 * s.k);
}

// The bullet style's price line, 15 % of the cell in from the left (px),
// the picture beside it at the mirror of that inset and never on it; where
// the next line starts.
double SignPainter::bulletPrice(Sign& s, const Fit& fit, double px, double y)
{
    const SignPlacement& at = s.at;
    const double f = fit.scale;
    const PriceLine p = measurePrice(s, 60);
    const double need1 = s.pictureShown ? 1.1 * p.pw1 + p.ph1 : p.drawn1;
    const PriceScale fitted = fitPrice(s, need1, s.right - px, s.right - s.left, f);
    const double x = fitted.movedLeft ? s.left : px, scale = fitted.scale;
    const double ph = p.ph1 * scale, pw = p.pw1 * scale;
    QString amount = s.price.amount;
    double gx = at.left_tw + at.width_tw - (x - at.left_tw) - ph;
    if (x + 1.1 * pw > gx)
        gx = roundEven(x + 1.1 * pw);
    gx = std::min(gx, s.right - ph);
    if (need1 * scale > s.right - x + Slack) {
        gx = s.right - ph;
        amount = cutAmount(s, p, scale, x, s.pictureShown ? s.right - 1.1 * ph : s.right);
    }
    return placePrice(s, p, x, gx, y, scale, amount);
}

// The description style's price line, centred, or sharing the width with
// the picture in three equal gaps (none narrower than the border's margin
// when the picture shows); where the next line starts.
double SignPainter::descPrice(Sign& s, const Fit& fit, double y)
{
    const SignPlacement& at = s.at;
    const double f = fit.scale, room = s.right - s.left;
    const PriceLine p = measurePrice(s, 80);
    const double gapMin = std::max({ s.left - s.x0, s.x0 + at.width_tw - s.right, 0.0 });
    const double width1 = s.pictureShown ? p.pw1 + p.ph1 : p.drawn1;
    const double space = s.pictureShown ? at.width_tw - 3 * gapMin : room;
    const double scale = fitPrice(s, width1, space, 0, f).scale;
    const double ph = p.ph1 * scale, pw = p.pw1 * scale;
    QString amount = s.price.amount;
    double x, gx = 0;
    // With Item Graphic checked the price keeps its three-gap place whether
    // or not the row has a picture to show beside it.
    if (s.options.graphic == 0) {
        x = (at.width_tw - pw) / 2 + s.x0;
    } else {
        const double g = roundEven((at.width_tw - pw - ph) / 3);
        x = g + s.x0;
        gx = s.x0 + at.width_tw - g - ph;
    }
    if (width1 * scale > space + Slack) {
        x = s.left;
        gx = s.right - ph;
        amount = cutAmount(s, p, scale, x, s.pictureShown ? gx - 0.1 * ph : s.right);
    }
    x = s.clampX(x, p.drawn1 * scale);
    if (s.pictureShown)
        gx = std::min(gx, s.right - ph);
    return placePrice(s, p, x, gx, y, scale, amount);
}

// The three bullet lines with round black dots, from y; returns the top of
// what follows them.
double SignPainter::bulletLines(Sign& s, const Fit& fit, double px, double y)
{
    const double k = s.k, fs = s.fs, t = fit.gaps;
    auto gap = [&](double natural) { return between(std::min(natural, 10 * k), natural, t); };
    const double room = s.right - px;
    const double gaps[3] = { 10 * k, 10 * k, 50 * k };
    const double h1 = s.height(15 * fs, false);
    for (int i = 0; i < 3; ++i) {
        if (MORNLIB::IsBlank(s.bullets[i]))
            continue;
        s.present |= BulletPart[i];
        if (fit.dropped & BulletPart[i])
            continue;
        const Sign::Line line = s.fit(s.bullets[i], 15 * fs, false, false, room, fit.scale, h1);
        const double h = line.height;
        Sign::Item dot;
        dot.kind = Sign::Item::Kind::Dot;
        dot.x = roundEven(h / 2 + px);
        dot.y = roundEven(h / 2 + y);
        dot.width = h / 8;
        s.items.push_back(dot);
        s.addText(line, px + h, y, 0);
        y = roundEven(y + h + gap(gaps[i]));
    }
    return y;
}

void SignPainter::bulletStack(Sign& s, const Fit& fit, double y)
{
    const SignPlacement& at = s.at;
    const double k = s.k, fs = s.fs, f = fit.scale, t = fit.gaps;
    auto gap = [&](double natural) { return between(std::min(natural, 10 * k), natural, t); };
    const double px = std::max(roundEven(0.15 * at.width_tw + s.x0), s.left);
    const double room = s.right - px;

    if (const std::optional<double> h = titleLine(s, fit, y))
        y = roundEven(y + gap(10) + *h);

    s.present |= Price;
    if (!(fit.dropped & Price))
        y = bulletPrice(s, fit, px, y);

    // Description, broken in two when it would run past 90 % of the cell.
    const double d1 = s.width(s.description, 20 * fs, false);
    const qsizetype split
        = d1 * f + 0.15 * at.width_tw > 0.9 * at.width_tw ? splitPosition(s.description) : 0;
    s.present |= Description1 | (split > 0 ? unsigned(Description2) : 0u);
    if (!(fit.dropped & Description1)) {
        if (split > 0 && !(fit.dropped & Description2)) {
            const auto [first, rest] = s.fitTwo(s.description, split, 20 * fs, room, f);
            s.addText(first, px, y, 0);
            y = roundEven(y + first.height + 10 * k);
            s.addText(rest, px, y, 0);
            y = roundEven(y + rest.height + gap(200 * k));
        } else {
            const Sign::Line first
                = s.fit(split > 0 ? s.description.left(split - 1) : s.description, 20 * fs, false,
                    false, room, f);
            s.addText(first, px, y, 0);
            y = roundEven(y + first.height + gap(200 * k));
        }
    }

    y = bulletLines(s, fit, px, y);

    if (s.options.retail == 1 && !MORNLIB::IsBlank(s.retail)) {
        s.present |= Retail;
        if (!(fit.dropped & Retail))
            s.addText(s.fit(s.retailText, 15 * fs, false, true, room, f), px, y, 0);
    }
}

void SignPainter::descStack(Sign& s, const Fit& fit, double y)
{
    const SignPlacement& at = s.at;
    const double k = s.k, fs = s.fs, f = fit.scale, t = fit.gaps;
    auto gap = [&](double natural) { return between(std::min(natural, 10 * k), natural, t); };
    const double room = s.right - s.left;

    if (const std::optional<double> h = titleLine(s, fit, y))
        y = roundEven(y + *h + gap(200 * k));

    // Description, centred, broken in two when wider than 90 % of the cell.
    const double d1 = s.width(s.description, 20 * fs, false);
    const qsizetype split = d1 * f > 0.9 * at.width_tw ? splitPosition(s.description) : 0;
    s.present |= Description1 | (split > 0 ? unsigned(Description2) : 0u);
    if (!(fit.dropped & Description1)) {
        Sign::Line line;
        if (split > 0 && !(fit.dropped & Description2)) {
            const auto [first, rest] = s.fitTwo(s.description, split, 20 * fs, room, f);
            s.addText(first, s.centred(first.width), y, 0);
            y = roundEven(y + first.height + 10 * k);
            line = rest;
        } else {
            line = s.fit(split > 0 ? s.description.left(split - 1) : s.description, 20 * fs, false,
                false, room, f);
        }
        s.addText(line, s.centred(line.width), y, 0);
        y = roundEven(y + line.height + 10 * k);
    }

    // Three plain lines; the first always takes its line, blank or not
    // (closed up with the gaps).
    for (int i = 0; i < 3; ++i) {
        if (MORNLIB::IsBlank(s.bullets[i])) {
            if (i == 0) {
                const double h = s.height(15 * fs * f, false);
                y = t >= 1 ? roundEven(y + h + 10 * k) : roundEven(y + (h + 10 * k) * t);
            }
            continue;
        }
        s.present |= BulletPart[i];
        if (fit.dropped & BulletPart[i])
            continue;
        const Sign::Line line = s.fit(s.bullets[i], 15 * fs, false, false, room, f);
        s.addText(line, s.centred(line.width), y, 0);
        y = roundEven(y + line.height + 10 * k);
    }

    s.present |= Price;
    if (!(fit.dropped & Price))
        y = descPrice(s, fit, y);

    if (s.options.retail == 1 && !MORNLIB::IsBlank(s.retail)) {
        s.present |= Retail;
        if (!(fit.dropped & Retail)) {
            const Sign::Line line = s.fit(s.retailText, 15 * fs, false, true, room, f);
            s.addText(line, s.centred(line.width), y, 0);
        }
    }
}

void SignPainter::drawItems(Sign& s)
{
    SignCanvas& c = *s.c;
    auto draw = [&c](const Sign::Item& item) {
        switch (item.kind) {
        case Sign::Item::Kind::Picture:
            c.PaintPicture(item.picture, item.x, item.y, item.width, item.height);
            break;
        case Sign::Item::Kind::Dot:
            c.setForeColor(0);
            c.setDrawWidth(1);
            c.setFillColor(0);
            c.setFillStyle(0);
            c.Circle(item.x, item.y, item.width);
            break;
        case Sign::Item::Kind::Text:
            c.setForeColor(item.color);
            c.setFontBold(item.bold);
            c.setFontItalic(item.italic);
            c.setFontSize(item.points);
            c.setCurrentX(item.x);
            c.setCurrentY(item.y);
            c.Print(item.text);
            break;
        }
    };
    for (const Sign::Item& item : s.items)
        draw(item);
    for (const Sign::Item& item : s.footer)
        draw(item);
    c.setForeColor(0);
    c.setFontBold(false);
    c.setFontItalic(false);
}
