#include "printing/SkuBarcode.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Quiet zones in modules: Code 128 asks for ten each side; UPC-A for nine;
// EAN-13 for eleven before and seven after.
constexpr int Code128Quiet = 10;
constexpr int UpcQuiet = 9;
constexpr int EanQuietLeft = 11;
constexpr int EanQuietRight = 7;

// Sizes in twips at the 4-Up scale.
constexpr double DotTwips = 1440.0 / 300; // one dot of a 300-dpi printer
constexpr double MinModuleTwips = 3 * DotTwips; // 0.01 inch
constexpr double NominalModuleTwips = 0.013 * 1440;
// An article number's module may be at most twice its nominal 0.33 mm.
constexpr double MaxArticleModuleTwips = 0.66 / 25.4 * 1440;
constexpr double BarHeightTwips = 0.45 * 1440;
constexpr double MinBarHeightTwips = 0.2 * 1440;
constexpr double GapBelowTwips = 40; // above the SKU line
constexpr double GapAboveTwips = 80; // below the sign's other content

struct SymbolDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

bool allDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(),
        [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace

bool SkuBarcode::hasValidCheckDigit(const QString& digits)
{
    if (digits.size() < 2 || !allDigits(digits))
        return false;
    // Weights 3, 1, 3, ... from the digit before the check digit leftwards.
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size() - 2; i >= 0; --i) {
        sum += (digits[i].unicode() - '0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10 == digits.back().unicode() - '0';
}

SkuBarcode::Symbology SkuBarcode::symbologyFor(const QString& sku)
{
    const QString text = sku.trimmed();
    if (text.isEmpty())
        return Symbology::None;
    if ((text.size() == 12 || text.size() == 13) && hasValidCheckDigit(text))
        return text.size() == 12 ? Symbology::UpcA : Symbology::Ean13;
    return Symbology::Code128;
}

namespace {

int zintSymbology(SkuBarcode::Symbology symbology)
{
    switch (symbology) {
    case SkuBarcode::Symbology::UpcA:
        return BARCODE_UPCA;
    case SkuBarcode::Symbology::Ean13:
        return BARCODE_EANX;
    default:
        return BARCODE_CODE128;
    }
}

struct QuietZones
{
    int left, right;
};

QuietZones quietZones(SkuBarcode::Symbology symbology)
{
    switch (symbology) {
    case SkuBarcode::Symbology::UpcA:
        return { UpcQuiet, UpcQuiet };
    case SkuBarcode::Symbology::Ean13:
        return { EanQuietLeft, EanQuietRight };
    default:
        return { Code128Quiet, Code128Quiet };
    }
}

} // namespace

SkuBarcode::SkuBarcode(const QString& sku)
{
    const Symbology symbology = symbologyFor(sku);
    if (symbology == Symbology::None)
        return;
    // Code 128 reaches beyond printable ASCII only through shifts that many
    // scanners read wrongly: such a SKU gets no barcode rather than one that
    // scans as another SKU.
    const QString text = sku.trimmed();
    if (symbology == Symbology::Code128 && !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() <= 0x7E;
        }))
        return;
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return;
    symbol->symbology = zintSymbology(symbology);
    // The SKU is printed as text under the bars by the sign itself.
    symbol->show_hrt = 0;
    symbol->input_mode = UNICODE_MODE;
    const QByteArray data = text.toUtf8();
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()),
            int(data.size()))
            >= ZINT_ERROR
        || ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || !symbol->vector
        || symbol->width <= 0)
        return;

    // The vector's units per module follow from the bars' span, which runs
    // from the first bar to the last, symbol->width modules.
    double left = HUGE_VAL, right = -HUGE_VAL, top = HUGE_VAL, bottom = -HUGE_VAL;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        left = std::min(left, double(r->x));
        right = std::max(right, double(r->x) + r->width);
        top = std::min(top, double(r->y));
        bottom = std::max(bottom, double(r->y) + r->height);
    }
    if (!(right > left && bottom > top))
        return;
    const double unitsPerModule = (right - left) / symbol->width;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        m_bars.push_back({ (r->x - left) / unitsPerModule, r->width / unitsPerModule,
            (r->y - top) / (bottom - top), r->height / (bottom - top) });
    }
    m_symbology = symbology;
    m_modules = symbol->width;
    const QuietZones quiet = quietZones(symbology);
    m_quietLeft = quiet.left;
    m_quietRight = quiet.right;
}

std::vector<QRectF> SkuBarcode::bars(
    double rightTwips, double bottomTwips, double moduleTwips, double heightTwips) const
{
    std::vector<QRectF> out;
    out.reserve(m_bars.size());
    const double left = rightTwips - m_modules * moduleTwips;
    const double top = bottomTwips - heightTwips;
    for (const Bar& bar : m_bars) {
        out.emplace_back(left + bar.left * moduleTwips, top + bar.top * heightTwips,
            bar.width * moduleTwips, bar.height * heightTwips);
    }
    return out;
}

double SkuBarcodeLeastHeight(double scale)
{
    return (MinBarHeightTwips + GapBelowTwips + GapAboveTwips) * scale;
}

std::vector<QRectF> SkuBarcodeBars(const QString& sku, const SkuBarcodeBox& box)
{
    const SkuBarcode code(sku);
    if (!code.isValid())
        return {};
    const double k = box.scale > 0 ? box.scale : 1;

    // The widest module of whole dots, up to the nominal size, that keeps
    // the barcode and its quiet zones inside the area and leaves the bars
    // their least height under whatever stands above them.
    const int totalModules = code.quietLeft() + code.modules() + code.quietRight();
    const double room = box.areaRight - box.areaLeft;
    const double fitting = std::floor(room / totalModules / DotTwips) * DotTwips;
    double nominal
        = std::max(std::round(NominalModuleTwips * k / DotTwips) * DotTwips, MinModuleTwips);
    if (code.symbology() != SkuBarcode::Symbology::Code128)
        nominal = std::min(nominal, std::floor(MaxArticleModuleTwips / DotTwips) * DotTwips);
    const double bottom = box.skuTop - GapBelowTwips * k;
    for (double module = std::min(nominal, fitting); module >= MinModuleTwips - 1e-9;
         module -= DotTwips) {
        // The last bar over the SKU line's end, moved left as far as the
        // right quiet zone needs.
        double right = std::min(box.skuRight, box.areaRight - code.quietRight() * module);
        right = std::max(right, box.areaLeft + (code.quietLeft() + code.modules()) * module);
        const double spanLeft = right - (code.modules() + code.quietLeft()) * module;
        const double spanRight = right + code.quietRight() * module;
        double ceiling = bottom - BarHeightTwips * k - GapAboveTwips * k;
        for (const QRectF& r : box.obstacles) {
            if (r.right() > spanLeft && r.left() < spanRight && r.top() < bottom)
                ceiling = std::max(ceiling, r.bottom());
        }
        const double height = bottom - ceiling - GapAboveTwips * k;
        if (height >= MinBarHeightTwips * k)
            return code.bars(right, bottom, module, height);
    }
    return {};
}
