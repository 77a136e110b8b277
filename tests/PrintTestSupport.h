#pragma once

// Printing test helpers: sign lists, a stand-in print window, pictures, and
// reading back what a recording surface drew.

#include "document/SignListModel.h"
#include "printing/PrintJob.h"
#include "printing/RunTimeError.h"
#include "support/RecordingCanvas.h"
#include "ui/DialogPrintHost.h"
#include "ui/DialogService.h"

#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

namespace PrintTest {

inline SignRow sign(const QString& sku, const QString& promo, const QString& retail = QString(),
    const QString& description = QString(), const QString& b1 = QString(),
    const QString& b2 = QString(), const QString& b3 = QString(),
    const QString& graphic = QString())
{
    using M = SignListModel;
    const int columns[] = { M::ColSku, M::ColPromo, M::ColRetail, M::ColDescription, M::ColBullet1,
        M::ColBullet2, M::ColBullet3, M::ColGraphic };
    const QString* values[] = { &sku, &promo, &retail, &description, &b1, &b2, &b3, &graphic };
    SignRow row;
    for (int i = 0; i < 8; ++i)
        row.column(columns[i]) = *values[i];
    return row;
}

// Replaces the list with these rows (grid rows 1..n).
inline void fill(SignListModel& model, const std::vector<SignRow>& rows)
{
    model.reset();
    model.setRows(int(rows.size()) + 1 > 2 ? int(rows.size()) + 1 : 2);
    for (size_t i = 0; i < rows.size(); ++i)
        model.setSignRow(int(i) + 1, rows[i]);
}

// A row from "sku|promo|retail|description|bullet1|bullet2|bullet3|graphic".
inline SignRow signOf(const QString& fields)
{
    QStringList f = fields.split(QLatin1Char('|'));
    while (f.size() < 8)
        f << QString();
    return sign(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]);
}

inline SignRow typicalSign(int n)
{
    return sign(QStringLiteral("SKU%1").arg(n), QStringLiteral("12.99"), QStringLiteral("15.49"),
        QStringLiteral("Cordless drill with two batteries"), QStringLiteral("18 volt"),
        QStringLiteral("Keyless chuck"), QStringLiteral("Two year warranty"));
}

// What a recording surface saw, kept after the job has let go of it.
struct CanvasLog
{
    std::vector<CanvasOp> ops;
    int newPages = 0, endDocs = 0, clears = 0, orientation = 0;
    bool abandoned = false, opened = false;
};

// A recording surface that leaves its record in the log when destroyed; fails
// with 482 at drawing call failAt (from 1; 0 never), or at the end.
class LoggedCanvas : public RecordingCanvas
{
public:
    LoggedCanvas(CanvasLog& log, QSizeF sheet, QMarginsF margins, double dpi, int failAt = 0,
        bool failEnd = false)
        : RecordingCanvas(sheet, margins, dpi)
        , m_log(log)
        , m_failAt(failAt)
        , m_failEnd(failEnd)
    {
        m_log = { {}, 0, 0, 0, 0, false, true };
    }
    ~LoggedCanvas() override
    {
        m_log = { operations(), newPages(), endDocs(), clears(), Orientation(), abandoned(), true };
    }

protected:
    QPainter* devicePainter() override
    {
        if (m_failAt > 0 && ++m_drawings >= m_failAt)
            throw RunTimeError::printerError(QStringLiteral("test printer is off-line"));
        return nullptr;
    }
    void deviceEndDoc() override
    {
        if (m_failEnd)
            throw RunTimeError::printerError(QStringLiteral("queue refused the job"));
        RecordingCanvas::deviceEndDoc();
    }

private:
    CanvasLog& m_log;
    int m_failAt, m_drawings = 0;
    bool m_failEnd;
};

// The window's side of a print run: a Letter printer with a quarter inch
// unprintable all round, and a 1920 x 1000 preview box at 96 dpi.
class FakePrintWindow : public DialogPrintHost
{
public:
    FakePrintWindow()
        : DialogPrintHost(DialogService::instance())
    {
    }

    int format = 0;
    bool bullet = true;
    SignOptions options;
    std::function<void(int)> beforeSign; // called with the sign number (from 1) before its options
    int failAtDrawing = 0;
    bool failEndDoc = false;

    CanvasLog printer, preview;
    int state = 0, stateWhenPreviewShown = -1, previewsShown = 0, setupRuns = 0;
    bool previewVisible = false, progressEnded = false;
    qint32 lastProgress = 0, progressTotal = 0;

    SignOptions signOptions(const SignOptions&) const override
    {
        if (beforeSign)
            beforeSign(++m_signsAsked);
        return options;
    }
    std::unique_ptr<SignCanvas> openPrinterCanvas() override
    {
        return std::make_unique<LoggedCanvas>(printer, QSizeF(12240, 15840),
            QMarginsF(360, 360, 360, 360), 600, failAtDrawing, failEndDoc);
    }
    int windowState() const override { return state; }
    void setWindowState(int s) override { state = s; }
    void maximize() override { state = 2; }
    std::unique_ptr<SignCanvas> openPreviewCanvas() override
    {
        previewVisible = true;
        stateWhenPreviewShown = state;
        return std::make_unique<LoggedCanvas>(preview, QSizeF(28800, 15000), QMarginsF(), 96);
    }
    void showPreview(const SignCanvas&) override { ++previewsShown; }
    void hidePreview() override { previewVisible = false; }
    void showProgress(bool, qint32 sign, qint32 signs) override
    {
        lastProgress = sign;
        progressTotal = signs;
    }
    void endProgress() override { progressEnded = true; }
    void doPrinterSetup() override { ++setupRuns; }

private:
    mutable int m_signsAsked = 0;
};

// A print job with the fake window's options, as the window starts one.
inline PrintJob jobFor(const SignListModel& model, const AppSettings& settings, FakePrintWindow& w)
{
    PrintOptions run;
    run.format = formatFromIndex(w.format);
    run.bullet = w.bullet;
    run.sign = w.options;
    ReadCalibration(settings, run);
    return PrintJob(model, settings, run, w);
}

// A picture file of the given size in a folder.
inline QString writePicture(
    const QString& folder, const QString& name, int w, int h, QColor color = QColor(200, 40, 40))
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    const QString path = folder + QLatin1Char('/') + name;
    image.save(path);
    return path;
}

inline std::vector<CanvasOp> opsOfKind(const std::vector<CanvasOp>& ops, CanvasOp::Kind kind)
{
    std::vector<CanvasOp> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
        [kind](const CanvasOp& op) { return op.kind == kind; });
    return out;
}

inline std::vector<CanvasOp> textOps(const std::vector<CanvasOp>& ops)
{
    return opsOfKind(ops, CanvasOp::Kind::Text);
}

inline const CanvasOp* findText(const std::vector<CanvasOp>& ops, const QString& text, int nth = 0)
{
    for (const CanvasOp& op : ops) {
        if (op.kind == CanvasOp::Kind::Text && op.text == text && nth-- == 0)
            return &op;
    }
    return nullptr;
}

// One line per drawing call: "TEXT x,y SIZE[b][i] [#COLOR]", "box x,y x2,y2 lWIDTH [#COLOR]",
// "dot x,y rRADIUS [fSTYLE #FILL]", "pic FILE x,y WxH", "page" (new page or clear).
inline QStringList describe(const std::vector<CanvasOp>& ops)
{
    using K = CanvasOp::Kind;
    auto n = [](double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); };
    auto xy = [&n](double x, double y) { return n(x) + QLatin1Char(',') + n(y); };
    QStringList out;
    for (const CanvasOp& op : ops) {
        const QString color = op.color ? QStringLiteral(" #%1").arg(op.color) : QString();
        if (op.kind == K::Text)
            out << op.text + ' ' + xy(op.x, op.y) + ' ' + n(op.fontSize) + (op.bold ? "b" : "")
                    + (op.italic ? "i" : "") + color;
        else if (op.kind == K::Box)
            out << "box " + xy(op.x, op.y) + ' ' + xy(op.x2, op.y2) + " l" + n(op.drawWidth)
                    + color;
        else if (op.kind == K::Circle)
            out << "dot " + xy(op.x, op.y) + " r" + n(op.radius)
                    + (op.fillStyle || op.fillColor
                            ? QStringLiteral(" f%1 #%2").arg(op.fillStyle).arg(op.fillColor)
                            : QString());
        else if (op.kind == K::Picture)
            out << "pic " + QFileInfo(op.text).fileName() + ' ' + xy(op.x, op.y) + ' ' + n(op.width)
                    + 'x' + n(op.height);
        else if (op.kind == K::NewPage || op.kind == K::Cls)
            out << QStringLiteral("page");
    }
    return out;
}

} // namespace PrintTest
