#pragma once

#include "printing/SignCanvas.h"

#include <QPainter>

#include <memory>

class AtomicOutput;

class QPrinter;

// The printer as a drawing surface: a QPainter on the program's one
// QPrinter (a CUPS queue, or a PDF file when the user picked file output).
// Width/Height are the sheet and ScaleWidth/ScaleHeight the printable area
// in twips, read from the printer's page layout for the current orientation;
// (0, 0) is the top-left corner of the printable area.
//
// PDF output: the document starts with the first drawing call (or NewPage)
// and pages stream to a new file beside the chosen one as they are
// finished. At EndDoc that file must be a complete PDF; it then takes the
// chosen file's place. A file that cannot be written, or a PDF found
// incomplete (a full disk), raises 482 and leaves an earlier file of the
// name as it was. A link at the name that another user made, or one that
// does not lead to a regular file, raises 70 before anything is written.
// The PDF engine gets the new file already open (see
// AtomicOutput::openedPath), not a name it would open again. An abandoned
// PDF is removed.
//
// A real printer: a print queue takes whatever it is given once the
// document is started and cannot be told to drop it, so the pages are kept
// here and only handed to the queue at EndDoc. An abandoned document thus
// never reaches the printer. A missing printer raises 482 at the first
// drawing call, a queue that refuses the document at EndDoc.
//
// A surface destroyed with a document still open abandons it.
class PrinterCanvas : public SignCanvas
{
public:
    explicit PrinterCanvas(QPrinter* printer);
    ~PrinterCanvas() override;

    void setOrientation(int orientation) override;
    QString DeviceName() const override;
    void abandonDocument() override;

    // True while a document has been started and not yet ended.
    bool documentOpen() const { return m_painter.isActive() || m_held; }
    // Drawing calls kept for a real printer, not yet sent.
    size_t heldOperations() const { return m_pending.size(); }
    QPrinter* printer() const { return m_printer; }

    // Empty when the file is a complete PDF, else what is wrong with it.
    static QString PdfFileProblem(const QString& path);

protected:
    QPainter* devicePainter() override;
    void deviceNewPage() override;
    void deviceEndDoc() override;
    void deviceCls() override { }
    void deferOp(const CanvasOp& op) override { m_pending.push_back(op); }

private:
    void readGeometry();
    void beginDocument();
    // Points the printer back at the chosen file, as it was given.
    void restoreOutputFileName(const QString& target = QString());

    QPrinter* m_printer;
    QPainter m_painter;
    bool m_held = false; // a real printer's document is being kept
    std::vector<CanvasOp> m_pending;
    std::unique_ptr<AtomicOutput> m_pdf; // the PDF being written
};
