#pragma once

#include "base/PictureReader.h"

#include <QHash>
#include <QImage>
#include <QRawFont>
#include <QRectF>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

// A picture loaded for drawing: the file it came from and its pixels. Copies
// share the pixels, so a picture drawn on many signs is one image (and one
// embedded object in a PDF).
struct SignPicture
{
    QString path;
    QImage image;
};

// One drawing call as the surface saw it, in the surface's user units
// (twips on the printer), with the drawing state it was made in.
struct CanvasOp
{
    enum class Kind { Line, Box, Circle, Picture, Text, NewPage, EndDoc, Cls, FillRect };
    Kind kind = Kind::Text;
    // Line, Box and FillRect: (x, y) to (x2, y2). Circle: centre (x, y), radius.
    // Picture: (x, y) top-left, width, height. Text: (x, y) top-left of the
    // line, width and height as TextWidth/TextHeight measure them.
    double x = 0, y = 0, x2 = 0, y2 = 0;
    double width = 0, height = 0, radius = 0;
    int color = 0; // line, box, outline or FillRect colour; text colour
    int fillColor = 0; // Circle
    int fillStyle = 1; // Circle and Box: 0 solid, 1 transparent
    int drawWidth = 1; // Line, Box, Circle
    int drawStyle = 0;
    QString text; // Text: the text; Picture: the file path
    QImage image; // Picture: the picture (shared, not copied)
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    int page = 1; // page of the document the call landed on (from 1)
    QRectF clip; // drawing is cut off outside this rectangle; empty: nowhere
};

// The drawing surface through which signs and the calibration page are
// drawn: the printer, the on-screen preview, or a recorder for tests.
//
// All positions are in user units with y growing downward; on the printer
// they are twips (1440 to the inch) with (0, 0) at the top-left corner of the
// printable area. The surface keeps the drawing state between calls
// (current position, colours, fill and line style, line width, font size and
// style). Colours are RGB integers as stored in the settings: red + 256 *
// green + 65536 * blue.
//
// Text is set in Liberation Sans and measured from the face's design metrics
// (no hinting), scaled from the font size in points, so TextWidth and
// TextHeight give the same twips on every device and match what Print draws.
// A font of N points is N points tall on paper whatever the device's
// resolution.
//
// Any operation may throw RunTimeError (printer failure 482, unreadable
// picture 481, invalid property value 380).
class SignCanvas
{
public:
    enum class PrintEnd {
        NewLine, // afterwards CurrentY moves down one line, CurrentX to the left edge
        Continue // afterwards CurrentX is just past the text, CurrentY unchanged
    };
    static constexpr int Portrait = 1;
    static constexpr int Landscape = 2;

    virtual ~SignCanvas();
    SignCanvas(const SignCanvas&) = delete;
    SignCanvas& operator=(const SignCanvas&) = delete;

    // --- page and surface geometry ---
    // The whole sheet (printer) or the box's size (preview), in twips.
    double Width() const { return m_widthTwips; }
    double Height() const { return m_heightTwips; }
    // The user coordinate system: on the printer the printable area in
    // twips from (0, 0); on the preview whatever the job sets.
    double ScaleLeft() const { return m_scaleLeft; }
    double ScaleTop() const { return m_scaleTop; }
    double ScaleWidth() const { return m_scaleWidth; }
    double ScaleHeight() const { return m_scaleHeight; }
    void setScaleLeft(double v) { m_scaleLeft = v; }
    void setScaleTop(double v) { m_scaleTop = v; }
    void setScaleWidth(double v);
    void setScaleHeight(double v);
    // Always 1 (twips); setting anything else is an invalid property value.
    int ScaleMode() const { return 1; }
    void setScaleMode(int mode);
    // Page orientation: 1 portrait, 2 landscape. Only the printer (and the
    // recorder standing in for it) turns the sheet; the preview ignores it.
    int Orientation() const { return m_orientation; }
    virtual void setOrientation(int orientation);
    // The printer's name ("" for the preview).
    virtual QString DeviceName() const = 0;
    // The face text is set in.
    QString FontName() const;

    // --- drawing state ---
    double CurrentX() const { return m_currentX; }
    double CurrentY() const { return m_currentY; }
    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int color) { m_foreColor = color; }
    int FillColor() const { return m_fillColor; }
    void setFillColor(int color) { m_fillColor = color; }
    int FillStyle() const { return m_fillStyle; }
    void setFillStyle(int style) { m_fillStyle = style; }
    int DrawStyle() const { return m_drawStyle; }
    void setDrawStyle(int style) { m_drawStyle = style; }
    // Line width in device pixels; a fractional value is rounded (halves to
    // even). Below 1 or above 32767 is an invalid property value.
    int DrawWidth() const { return m_drawWidth; }
    void setDrawWidth(double width);
    double FontSize() const { return m_fontSize; }
    // Points; must be above 0 and at most 2160.
    void setFontSize(double points);
    bool FontBold() const { return m_fontBold; }
    void setFontBold(bool on) { m_fontBold = on; }
    bool FontItalic() const { return m_fontItalic; }
    void setFontItalic(bool on) { m_fontItalic = on; }
    // Drawing outside this rectangle (user units) is cut off; an empty
    // rectangle cuts off nothing.
    QRectF clip() const { return m_clip; }
    void setClip(const QRectF& rect) { m_clip = rect; }

    // --- operations ---
    // A straight line in ForeColor.
    void Line(double x1, double y1, double x2, double y2);
    // The outline of the rectangle with corners (x1, y1) and (x2, y2) in the
    // colour, filled with FillColor when FillStyle is 0.
    void Box(double x1, double y1, double x2, double y2, int color);
    // The rectangle with corners (x1, y1) and (x2, y2) filled solid in the
    // colour, without an outline, whatever FillStyle and DrawWidth are: its
    // edges are exactly where they are given (barcode bars).
    void FillRect(double x1, double y1, double x2, double y2, int color);
    // Circle centred at (x, y): outline in ForeColor, filled with FillColor
    // when FillStyle is 0.
    void Circle(double x, double y, double radius);
    // Loads a picture file (JPEG, bitmap, PNG, ...): its header is read
    // once per surface, its pixels when it is drawn, at the drawn size, and
    // kept within a fixed memory budget. Unreadable files raise 481.
    SignPicture LoadPicture(const QString& path);
    // The whole picture scaled into the rectangle.
    void PaintPicture(const SignPicture& picture, double x, double y, double width, double height);
    // Draws the text at (CurrentX, CurrentY), the top-left of its line.
    void Print(const QString& text, PrintEnd end = PrintEnd::NewLine);
    // Moves CurrentX to the next print zone (fixed tab stops 14 digit
    // widths apart, counted from the left edge).
    void NextPrintZone();
    double TextWidth(const QString& text) const;
    // The height of one line of text in the current font.
    double TextHeight(const QString& text) const;
    // Ends the page; the next drawing goes on a new sheet.
    void NewPage();
    // Ends the document and releases it for printing.
    void EndDoc();
    // Preview: clears everything drawn.
    void Cls();
    // Throws away a half-finished document: nothing reaches the printer.
    virtual void abandonDocument() { }

    // The bounding boxes, in user units, of the texts, pictures, circles and
    // filled rectangles drawn since startExtents (boxes and lines, the
    // frames around things, are not kept).
    void startExtents() { m_extents.clear(); }
    const std::vector<QRectF>& extents() const { return m_extents; }

    // Page of the document the next drawing lands on (from 1).
    int page() const { return m_page; }

protected:
    SignCanvas();

    // Sets the sheet (Width/Height, twips), the drawable area in twips and
    // the device resolution in pixels per inch, and resets the user scale to
    // the drawable area from (0, 0).
    void setGeometry(double widthTwips, double heightTwips, double innerWidthTwips,
        double innerHeightTwips, double dpiX, double dpiY);
    double innerWidthTwips() const { return m_innerWidthTwips; }
    double innerHeightTwips() const { return m_innerHeightTwips; }

    // The painter to draw on (started on first use; may throw 482), or
    // nullptr for a surface that only records.
    virtual QPainter* devicePainter() = 0;
    virtual void deviceNewPage() = 0;
    virtual void deviceEndDoc() = 0;
    virtual void deviceCls() = 0;
    // A drawing call the surface keeps to draw later (see devicePainter);
    // the default drops it.
    virtual void deferOp(const CanvasOp&) { }
    // Every call once the device has it, NewPage, EndDoc and Cls included,
    // for a surface that keeps a log of them; the default keeps nothing.
    virtual void logOp(const CanvasOp&) { }
    // Draws one call on a painter, as the operations draw it.
    void paintOp(QPainter& painter, const CanvasOp& op);
    void applyClip(QPainter& painter, const QRectF& clip);
    void paintPicture(QPainter& painter, const CanvasOp& op);
    void paintText(QPainter& painter, const CanvasOp& op);
    // The painter was started afresh: its clip is unknown again.
    void forgetPainterClip() { m_painterClip.reset(); }

    // Checks a picture file and returns its image, or a null image when
    // the pixels are decoded only as it is drawn (the default, which reads
    // the header alone). Unreadable files throw 481.
    virtual QImage readPicture(const QString& path);
    // The image to draw for a picture into a device rectangle of the given
    // size in pixels: the picture's own image, or by default the file
    // decoded at that size through the surface's picture cache. Throws 481.
    virtual QImage pictureForDevice(const SignPicture& picture, QSizeF devicePixels);

    // User units to device pixels.
    double toDeviceX(double x) const;
    double toDeviceY(double y) const;
    double deviceUnitsPerUserX() const;
    double deviceUnitsPerUserY() const;

private:
    // One face (regular, bold, italic, bold italic) at the reference size.
    struct FontFace
    {
        QRawFont raw;
        double ascent = 0;
        double lineHeight = 0;
    };
    const FontFace& face() const { return face(m_fontBold, m_fontItalic); }
    const FontFace& face(bool bold, bool italic) const;
    // Glyphs of the text and the advance of each, in reference units.
    struct Shaped
    {
        QList<quint32> glyphs;
        QList<QPointF> advances;
        double width = 0;
    };
    Shaped shape(const QString& text) const { return shape(face(), text); }
    static Shaped shape(const FontFace& face, const QString& text);
    // Draws the call now, or hands it to deferOp when there is no painter.
    void submit(CanvasOp op);
    // Font em size in user units, horizontally and vertically.
    double emUserX() const;
    double emUserY() const;
    CanvasOp stateOp(CanvasOp::Kind kind) const;

    double m_widthTwips = 0, m_heightTwips = 0;
    double m_innerWidthTwips = 1, m_innerHeightTwips = 1;
    double m_dpiX = 1440, m_dpiY = 1440;
    double m_scaleLeft = 0, m_scaleTop = 0, m_scaleWidth = 1, m_scaleHeight = 1;
    int m_orientation = Portrait;

    double m_currentX = 0, m_currentY = 0;
    int m_foreColor = 0, m_fillColor = 0, m_fillStyle = 1, m_drawStyle = 0, m_drawWidth = 1;
    double m_fontSize = 12;
    bool m_fontBold = false, m_fontItalic = false;

    QRectF m_clip;
    // The clip last set on the painter (in user units), set only when it
    // changes: every change costs a graphics state in a PDF.
    std::optional<QRectF> m_painterClip;

    int m_page = 1;
    std::vector<QRectF> m_extents;
    mutable std::array<std::unique_ptr<FontFace>, 4> m_faces;
    QHash<QString, SignPicture> m_pictures;
    PictureCache m_pictureCache;
};
