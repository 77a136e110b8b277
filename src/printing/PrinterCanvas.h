#pragma once

#include "printing/SignCanvas.h"

#include <QPainter>

class QPrinter;

// The printer as a drawing surface: a QPainter on the program's one
// QPrinter (a CUPS queue, or a PDF file when the user picked file output).
// Width/Height are the sheet and ScaleWidth/ScaleHeight the printable area
// in twips, read from the printer's page layout for the current orientation;
// (0, 0) is the top-left corner of the printable area.
//
// The document starts with the first drawing call (or NewPage), like a
// printer that is only spoken to when there is something to print; a
// printer that refuses it raises 482 there. A surface destroyed with a
// document still open abandons it.
class PrinterCanvas : public SignCanvas
{
public:
    explicit PrinterCanvas(QPrinter* printer);
    ~PrinterCanvas() override;

    void setOrientation(int orientation) override;
    QString DeviceName() const override;
    void abandonDocument() override;

    // True while a document has been started and not yet ended.
    bool documentOpen() const { return m_painter.isActive(); }
    QPrinter* printer() const { return m_printer; }

protected:
    QPainter* devicePainter() override;
    void deviceNewPage() override;
    void deviceEndDoc() override;
    void deviceCls() override { }

private:
    void readGeometry();
    void beginDocument();

    QPrinter* m_printer;
    QPainter m_painter;
};
