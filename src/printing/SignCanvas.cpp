#include "printing/SignCanvas.h"

#include "base/NumberText.h"
#include "printing/RunTimeError.h"

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <cmath>
#include <utility>

namespace {

// Text is measured and laid out at this pixel size and scaled to the wanted
// size. At 256 pixels to the em every design unit of Liberation Sans (2048
// to the em) is a whole number of FreeType's 1/64 pixels, so advances,
// ascent and descent are the face's design values exactly: no device
// rounding or hinting creeps in. (Much larger sizes are not kept in the
// font engine's glyph cache and make PDF output slow.)
constexpr double ReferenceEm = 256.0;
constexpr double TwipsPerPoint = 20.0;
constexpr double MaxFontPoints = 2160.0;

QColor colorOf(int rgb)
{
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

Qt::PenStyle penStyleOf(int drawStyle)
{
    switch (drawStyle) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

RunTimeError invalidValue()
{
    return RunTimeError(
        RunTimeError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
}

} // namespace

SignCanvas::SignCanvas() = default;
SignCanvas::~SignCanvas() = default;

void SignCanvas::setGeometry(double widthTwips, double heightTwips, double innerWidthTwips,
    double innerHeightTwips, double dpiX, double dpiY)
{
    m_widthTwips = widthTwips;
    m_heightTwips = heightTwips;
    m_innerWidthTwips = innerWidthTwips > 0 ? innerWidthTwips : 1;
    m_innerHeightTwips = innerHeightTwips > 0 ? innerHeightTwips : 1;
    m_dpiX = dpiX > 0 ? dpiX : 96;
    m_dpiY = dpiY > 0 ? dpiY : 96;
    m_scaleLeft = 0;
    m_scaleTop = 0;
    m_scaleWidth = m_innerWidthTwips;
    m_scaleHeight = m_innerHeightTwips;
}

void SignCanvas::setScaleWidth(double v)
{
    if (!(v != 0) || !std::isfinite(v))
        throw invalidValue();
    m_scaleWidth = v;
}

void SignCanvas::setScaleHeight(double v)
{
    if (!(v != 0) || !std::isfinite(v))
        throw invalidValue();
    m_scaleHeight = v;
}

void SignCanvas::setScaleMode(int mode)
{
    if (mode != 1)
        throw invalidValue();
}

void SignCanvas::setOrientation(int orientation)
{
    if (orientation != Portrait && orientation != Landscape)
        throw invalidValue();
    m_orientation = orientation;
}

QString SignCanvas::FontName() const
{
    return face().raw.familyName();
}

void SignCanvas::setDrawWidth(double width)
{
    const double rounded = NumberText::roundHalfEven(width);
    if (!(rounded >= 1 && rounded <= 32767))
        throw invalidValue();
    m_drawWidth = int(rounded);
}

void SignCanvas::setFontSize(double points)
{
    if (!(points > 0 && points <= MaxFontPoints))
        throw invalidValue();
    m_fontSize = points;
}

const SignCanvas::FontFace& SignCanvas::face(bool bold, bool italic) const
{
    const size_t index = (bold ? 1 : 0) + (italic ? 2 : 0);
    std::unique_ptr<FontFace>& slot = m_faces[index];
    if (!slot) {
        slot = std::make_unique<FontFace>();
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(int(ReferenceEm));
        font.setBold(bold);
        font.setItalic(italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::NoFontMerging));
        slot->raw = QRawFont::fromFont(font);
        slot->ascent = slot->raw.ascent();
        slot->lineHeight = slot->raw.ascent() + slot->raw.descent();
    }
    return *slot;
}

// Glyphs are placed at their design advances, without kerning, so that the
// width measured here is exactly the width drawn on any device.
SignCanvas::Shaped SignCanvas::shape(const FontFace& face, const QString& text)
{
    Shaped shaped;
    shaped.glyphs = face.raw.glyphIndexesForString(text);
    shaped.advances = face.raw.advancesForGlyphIndexes(shaped.glyphs, QRawFont::UseDesignMetrics);
    for (const QPointF& advance : std::as_const(shaped.advances))
        shaped.width += advance.x();
    return shaped;
}

double SignCanvas::emUserX() const
{
    return m_fontSize * TwipsPerPoint * m_scaleWidth / m_innerWidthTwips;
}

double SignCanvas::emUserY() const
{
    return m_fontSize * TwipsPerPoint * m_scaleHeight / m_innerHeightTwips;
}

double SignCanvas::TextWidth(const QString& text) const
{
    return shape(text).width / ReferenceEm * emUserX();
}

double SignCanvas::TextHeight(const QString&) const
{
    return face().lineHeight / ReferenceEm * emUserY();
}

double SignCanvas::deviceUnitsPerUserX() const
{
    return m_innerWidthTwips * m_dpiX / 1440.0 / m_scaleWidth;
}

double SignCanvas::deviceUnitsPerUserY() const
{
    return m_innerHeightTwips * m_dpiY / 1440.0 / m_scaleHeight;
}

double SignCanvas::toDeviceX(double x) const
{
    return (x - m_scaleLeft) * deviceUnitsPerUserX();
}

double SignCanvas::toDeviceY(double y) const
{
    return (y - m_scaleTop) * deviceUnitsPerUserY();
}

CanvasOp SignCanvas::stateOp(CanvasOp::Kind kind) const
{
    CanvasOp op;
    op.kind = kind;
    op.color = m_foreColor;
    op.fillColor = m_fillColor;
    op.fillStyle = m_fillStyle;
    op.drawWidth = m_drawWidth;
    op.drawStyle = m_drawStyle;
    op.fontSize = m_fontSize;
    op.bold = m_fontBold;
    op.italic = m_fontItalic;
    op.page = m_page;
    op.clip = m_clip;
    return op;
}

static QPen penFor(int color, int width, int style)
{
    QPen pen(colorOf(color));
    pen.setWidthF(width);
    pen.setStyle(penStyleOf(style));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void SignCanvas::submit(CanvasOp op)
{
    switch (op.kind) {
    case CanvasOp::Kind::Text:
    case CanvasOp::Kind::Picture:
        m_extents.push_back(QRectF(op.x, op.y, op.width, op.height).normalized());
        break;
    case CanvasOp::Kind::Circle:
        m_extents.push_back(
            QRectF(op.x - op.radius, op.y - op.radius, 2 * op.radius, 2 * op.radius).normalized());
        break;
    case CanvasOp::Kind::FillRect:
        m_extents.push_back(QRectF(QPointF(op.x, op.y), QPointF(op.x2, op.y2)).normalized());
        break;
    default:
        break;
    }
    if (QPainter* p = devicePainter())
        paintOp(*p, op);
    else
        deferOp(op);
    logOp(op);
}

// Sets the painter's clip to the op's clip rectangle (in user units), only
// when it differs from the one already set.
void SignCanvas::applyClip(QPainter& p, const QRectF& clip)
{
    if (m_painterClip == clip)
        return;
    p.setTransform(QTransform());
    if (clip.isEmpty()) {
        p.setClipping(false);
    } else {
        p.setClipRect(QRectF(QPointF(toDeviceX(clip.left()), toDeviceY(clip.top())),
            QPointF(toDeviceX(clip.right()), toDeviceY(clip.bottom())))
                          .normalized());
    }
    m_painterClip = clip;
}

void SignCanvas::paintPicture(QPainter& p, const CanvasOp& op)
{
    p.setTransform(QTransform());
    const QRectF target = QRectF(QPointF(toDeviceX(op.x), toDeviceY(op.y)),
        QPointF(toDeviceX(op.x + op.width), toDeviceY(op.y + op.height)))
                              .normalized();
    if (!target.isValid())
        return;
    const QImage image = pictureForDevice(SignPicture { op.text, op.image }, target.size());
    if (!image.isNull())
        p.drawImage(target, image);
}

// Draws the op's text as one glyph run, the glyphs shaped at the reference
// em and scaled to the op's point size at the device's resolution.
void SignCanvas::paintText(QPainter& p, const CanvasOp& op)
{
    const FontFace& f = face(op.bold, op.italic);
    const Shaped shaped = shape(f, op.text);
    if (shaped.glyphs.isEmpty())
        return;
    QList<QPointF> positions;
    positions.reserve(shaped.glyphs.size());
    double x = 0;
    for (const QPointF& advance : shaped.advances) {
        positions.append(QPointF(x, f.ascent));
        x += advance.x();
    }
    QGlyphRun run;
    run.setRawFont(f.raw);
    run.setGlyphIndexes(shaped.glyphs);
    run.setPositions(positions);
    QTransform t;
    t.translate(toDeviceX(op.x), toDeviceY(op.y));
    t.scale(op.fontSize * m_dpiX / 72.0 / ReferenceEm, op.fontSize * m_dpiY / 72.0 / ReferenceEm);
    p.setTransform(t);
    p.setPen(colorOf(op.color));
    p.drawGlyphRun(QPointF(0, 0), run);
}

void SignCanvas::paintOp(QPainter& p, const CanvasOp& op)
{
    using Kind = CanvasOp::Kind;
    const QBrush fill = op.fillStyle == 0 ? QBrush(colorOf(op.fillColor)) : QBrush(Qt::NoBrush);
    if (op.kind != Kind::NewPage && op.kind != Kind::EndDoc && op.kind != Kind::Cls)
        applyClip(p, op.clip);
    switch (op.kind) {
    case Kind::Line:
        p.setTransform(QTransform());
        p.setPen(penFor(op.color, op.drawWidth, op.drawStyle));
        p.drawLine(
            QPointF(toDeviceX(op.x), toDeviceY(op.y)), QPointF(toDeviceX(op.x2), toDeviceY(op.y2)));
        break;
    case Kind::Box:
        p.setTransform(QTransform());
        p.setPen(penFor(op.color, op.drawWidth, op.drawStyle));
        p.setBrush(fill);
        p.drawRect(QRectF(
            QPointF(toDeviceX(op.x), toDeviceY(op.y)), QPointF(toDeviceX(op.x2), toDeviceY(op.y2)))
                       .normalized());
        break;
    case Kind::FillRect:
        p.setTransform(QTransform());
        p.fillRect(QRectF(QPointF(toDeviceX(op.x), toDeviceY(op.y)),
                       QPointF(toDeviceX(op.x2), toDeviceY(op.y2)))
                       .normalized(),
            colorOf(op.color));
        break;
    case Kind::Circle: {
        p.setTransform(QTransform());
        p.setPen(penFor(op.color, op.drawWidth, op.drawStyle));
        p.setBrush(fill);
        const double r = std::abs(op.radius * deviceUnitsPerUserX());
        p.drawEllipse(QPointF(toDeviceX(op.x), toDeviceY(op.y)), r, r);
        break;
    }
    case Kind::Picture:
        paintPicture(p, op);
        break;
    case Kind::Text:
        paintText(p, op);
        break;
    case Kind::NewPage:
    case Kind::EndDoc:
    case Kind::Cls:
        break;
    }
}

void SignCanvas::Line(double x1, double y1, double x2, double y2)
{
    CanvasOp op = stateOp(CanvasOp::Kind::Line);
    op.x = x1, op.y = y1, op.x2 = x2, op.y2 = y2;
    submit(std::move(op));
}

void SignCanvas::Box(double x1, double y1, double x2, double y2, int color)
{
    CanvasOp op = stateOp(CanvasOp::Kind::Box);
    op.x = x1, op.y = y1, op.x2 = x2, op.y2 = y2;
    op.color = color;
    submit(std::move(op));
}

void SignCanvas::FillRect(double x1, double y1, double x2, double y2, int color)
{
    CanvasOp op = stateOp(CanvasOp::Kind::FillRect);
    op.x = x1, op.y = y1, op.x2 = x2, op.y2 = y2;
    op.color = color;
    submit(std::move(op));
}

void SignCanvas::Circle(double x, double y, double radius)
{
    CanvasOp op = stateOp(CanvasOp::Kind::Circle);
    op.x = x, op.y = y, op.radius = radius;
    submit(std::move(op));
}

QImage SignCanvas::readPicture(const QString& path)
{
    // Only the header is read here; the pixels are decoded when the picture
    // is drawn, at the size it is drawn.
    QString error;
    if (!PictureReader::probe(path, &error).isValid())
        throw RunTimeError::invalidPicture(path, error);
    return QImage();
}

QImage SignCanvas::pictureForDevice(const SignPicture& picture, QSizeF devicePixels)
{
    if (!picture.image.isNull())
        return picture.image;
    QString error;
    const QImage image = m_pictureCache.picture(
        picture.path, devicePixels.toSize().expandedTo(QSize(1, 1)), &error);
    if (image.isNull())
        throw RunTimeError::invalidPicture(picture.path, error);
    return image;
}

SignPicture SignCanvas::LoadPicture(const QString& path)
{
    auto found = m_pictures.constFind(path);
    if (found != m_pictures.constEnd())
        return *found;
    SignPicture picture { path, readPicture(path) };
    m_pictures.insert(path, picture);
    return picture;
}

void SignCanvas::PaintPicture(
    const SignPicture& picture, double x, double y, double width, double height)
{
    CanvasOp op = stateOp(CanvasOp::Kind::Picture);
    op.x = x, op.y = y, op.width = width, op.height = height;
    op.text = picture.path;
    op.image = picture.image;
    submit(std::move(op));
}

void SignCanvas::Print(const QString& text, PrintEnd end)
{
    const double width = TextWidth(text);
    const double height = TextHeight(text);
    CanvasOp op = stateOp(CanvasOp::Kind::Text);
    op.x = m_currentX, op.y = m_currentY, op.width = width, op.height = height;
    op.text = text;
    submit(std::move(op));
    if (end == PrintEnd::NewLine) {
        m_currentX = m_scaleLeft;
        m_currentY += height;
    } else {
        m_currentX += width;
    }
}

void SignCanvas::NextPrintZone()
{
    const double zone = 14 * TextWidth(QStringLiteral("0"));
    if (zone <= 0)
        return;
    const double column = std::floor((m_currentX - m_scaleLeft) / zone + 1e-9);
    m_currentX = m_scaleLeft + (column + 1) * zone;
}

void SignCanvas::NewPage()
{
    deviceNewPage();
    logOp(stateOp(CanvasOp::Kind::NewPage));
    ++m_page;
    m_currentX = m_scaleLeft;
    m_currentY = m_scaleTop;
}

void SignCanvas::EndDoc()
{
    deviceEndDoc();
    logOp(stateOp(CanvasOp::Kind::EndDoc));
    m_page = 1;
    m_currentX = m_scaleLeft;
    m_currentY = m_scaleTop;
}

void SignCanvas::Cls()
{
    deviceCls();
    logOp(stateOp(CanvasOp::Kind::Cls));
    m_currentX = m_scaleLeft;
    m_currentY = m_scaleTop;
}
