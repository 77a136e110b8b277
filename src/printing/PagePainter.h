#pragma once

#include "document/PrintOptions.h"
#include "printing/PrintPlan.h"
#include "printing/SignLayout.h"
#include "printing/SignPainter.h"

#include <functional>

class SignCanvas;

// Draws one page of a print plan: each of its signs in its cell, in the
// run's style, on whatever surface it is handed (printer, preview, PDF).
class PagePainter
{
public:
    // Before each sign, its number in the run (from 1); after it, what the
    // sign painter did to fit it. Returning false from after stops the page.
    struct Hooks
    {
        std::function<void(qint32 sign)> before;
        std::function<bool(const PlannedSign& sign, const SignFit& fit)> after;
    };

    PagePainter(SignPainter& painter, const PrintOptions& options, const SheetMetrics& sheet,
        bool printing, double previewScale);

    // Draws the page's signs; the first is sign number firstSign of the run.
    // False when a hook stopped the page.
    bool paintPage(
        SignCanvas& canvas, const PlannedPage& page, qint32 firstSign, const Hooks& hooks);

    // Where a sign of the plan goes on the sheet.
    SignPlacement placementFor(SignCanvas& canvas, const PlannedSign& sign) const;

private:
    SignPainter& m_painter;
    const PrintOptions& m_options;
    SheetMetrics m_sheet;
    bool m_printing;
    double m_previewScale;
    double m_formatScale;
};
