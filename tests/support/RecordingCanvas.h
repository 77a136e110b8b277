#pragma once

#include "printing/SignCanvas.h"

#include <QMarginsF>
#include <QSizeF>

#include <vector>

// A surface that draws nothing and records every call (see operations()), standing in for a
// printer in tests. It has a printer's geometry: a sheet and its unprintable margins in twips,
// given for the portrait sheet and turned with the orientation like a real printer's.
class RecordingCanvas : public SignCanvas
{
public:
    // US Letter with a quarter inch unprintable on every side unless given.
    RecordingCanvas(QSizeF portraitSheetTwips = QSizeF(12240, 15840),
        QMarginsF portraitMarginsTwips = QMarginsF(360, 360, 360, 360), double dpi = 600,
        QString deviceName = QStringLiteral("Recorder"));

    void setOrientation(int orientation) override;
    QString DeviceName() const override { return m_deviceName; }

    // Number of NewPage, EndDoc and Cls calls, and whether the document was abandoned.
    int newPages() const { return m_newPages; }
    int endDocs() const { return m_endDocs; }
    int clears() const { return m_clears; }
    bool abandoned() const { return m_abandoned; }

    // The calls in the order made; recording is on from the start. Off, the surface only lays out
    // (for timing the layout alone).
    void setRecording(bool on) { m_recording = on; }
    const std::vector<CanvasOp>& operations() const { return m_ops; }
    void abandonDocument() override { m_abandoned = true; }

protected:
    QPainter* devicePainter() override { return nullptr; }
    void deviceNewPage() override { ++m_newPages; }
    void deviceEndDoc() override { ++m_endDocs; }
    void deviceCls() override { ++m_clears; }
    void logOp(const CanvasOp& op) override
    {
        if (m_recording)
            m_ops.push_back(op);
    }

private:
    void applyGeometry();

    QSizeF m_sheet;
    QMarginsF m_margins;
    double m_dpi;
    QString m_deviceName;
    int m_newPages = 0, m_endDocs = 0, m_clears = 0;
    bool m_abandoned = false;
    bool m_recording = true;
    std::vector<CanvasOp> m_ops;
};
