#pragma once

#include <QRectF>
#include <QString>

#include <vector>

// A SKU as a printable barcode: a SKU of 12 or 13 digits whose last digit is
// a valid check digit is a UPC-A or EAN-13 article number and is encoded as
// one; anything else of printable ASCII characters is encoded as Code 128.
// Other SKUs get no barcode, as scanners would misread them. The bars come back as filled
// rectangles in twips, laid out from the bottom-right corner of the space the
// sign leaves for them, so that printer and preview draw the same vectors.
class SkuBarcode
{
public:
    enum class Symbology { None, Code128, UpcA, Ean13 };

    // The symbology the SKU is printed in; None for an empty SKU.
    static Symbology symbologyFor(const QString& sku);
    // True when the digits end with their GTIN check digit.
    static bool hasValidCheckDigit(const QString& digits);

    // Encodes the SKU (spaces around it are not part of it). An empty SKU,
    // or one with a character outside printable ASCII, gives an invalid
    // barcode.
    explicit SkuBarcode(const QString& sku);

    bool isValid() const { return m_modules > 0; }
    Symbology symbology() const { return m_symbology; }
    // Width of the bars from the first to the last, and the quiet zones each
    // side must keep clear, in modules (the narrowest bar).
    int modules() const { return m_modules; }
    int quietLeft() const { return m_quietLeft; }
    int quietRight() const { return m_quietRight; }

    // The bars with the last bar's right edge at rightTwips and the longest
    // bars' foot at bottomTwips, each module moduleTwips wide and the longest
    // bars heightTwips tall.
    std::vector<QRectF> bars(
        double rightTwips, double bottomTwips, double moduleTwips, double heightTwips) const;

private:
    // One bar in modules from the first bar's left edge; its length as a
    // share of the longest bar's (guard bars of UPC and EAN run longer).
    struct Bar
    {
        double left = 0;
        double width = 0;
        double top = 0;
        double height = 1;
    };
    Symbology m_symbology = Symbology::None;
    int m_modules = 0;
    int m_quietLeft = 0;
    int m_quietRight = 0;
    std::vector<Bar> m_bars;
};

// Where a SKU's barcode goes on a sign and how large it is drawn: above the
// SKU line, the last bar over the line's right end. The bars' module is a
// whole number of 300-dpi dots (so every dot-grid printer draws equal bars)
// of about 0.013 inch times the format's scale, never under 0.01 inch (nor,
// for UPC-A and EAN-13, over their largest module of 0.66 mm); they
// stand 0.45 inch tall times the scale, shortened down to 0.2 inch times the
// scale where something the sign shows stands above them, never lower. No
// barcode is drawn where it does not fit that way.
struct SkuBarcodeBox
{
    // The SKU line's right end and top, in twips; what the sign has drawn
    // (the barcode and its quiet zones keep clear of it); the leftmost and
    // rightmost point the barcode and its quiet zones may use.
    double skuRight = 0;
    double skuTop = 0;
    std::vector<QRectF> obstacles;
    double areaLeft = 0;
    double areaRight = 0;
    // The format's scale (1 for 4-Up).
    double scale = 1;
};

// The height a sign keeps free above its SKU line for the barcode's
// shortest bars and the gaps around them, in twips, at the format's scale.
double SkuBarcodeLeastHeight(double scale);

// The barcode's bars for the SKU in the box, in twips; empty when the SKU
// cannot be encoded or the barcode does not fit.
std::vector<QRectF> SkuBarcodeBars(const QString& sku, const SkuBarcodeBox& box);
