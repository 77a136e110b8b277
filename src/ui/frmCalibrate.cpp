#include "ui/frmCalibrate.h"

#include "base/NumberText.h"
#include "base/SettingsKeys.h"
#include "document/PrinterCalibration.h"
#include "printing/CalibrationTestPage.h"
#include "printing/PrinterCanvas.h"
#include "printing/PrinterChoice.h"
#include "printing/RunTimeError.h"
#include "printing/SignCanvas.h"
#include "ui/DialogPrintHost.h"
#include "ui/DialogService.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

const QString frmCalibrate::MarginHelpText
    = QStringLiteral("To properly position your signs on the page, you must\n"
                     "verify the top and right margin widths.\n"
                     "\n"
                     "Adjust the suggested margin so that the crossed lines\n"
                     "print in the middle of the test page.\n"
                     "\n"
                     "You can find the middle of the page by folding the printed\n"
                     "test page in half and then in half again (quarterfolding).\n"
                     "\n"
                     "When setting the margin, 360 = 1/4\".  DECREASE to move\n"
                     "right or down, INCREASE to move left or up.");

const QString frmCalibrate::ShiftHelpText
    = QStringLiteral("Once the center of the page is identified, you can also\n"
                     "shift the text left-right and up-down for each sign\n"
                     "format.  Large adjustments may cause some text to\n"
                     "extend off the sign or not print.\n"
                     "\n"
                     "Ordinarily these adjustments will all be set to zero.\n"
                     "\n"
                     "360 = 1/4\".  Positive numbers shift right or down.\n"
                     "Negative numbers shift left or up.");

namespace {

QLineEdit* numberBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaximumWidth(90);
    return box;
}

QLabel* helpLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // Plain text keeps the double spaces after full stops.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

} // namespace

frmCalibrate::frmCalibrate(const AppSettings& settings, DialogService& dialogs, QPrinter* printer,
    std::function<void()> printerSetup, QWidget* owner)
    : QDialog(owner)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_printer(printer)
    , m_printerSetup(std::move(printerSetup))
{
    setObjectName(QStringLiteral("frmCalibrate"));
    setWindowTitle(QStringLiteral("Calibrate Printer"));
    setModal(true);
    if (m_printer)
        m_printerName = PrinterChoice::toText(*m_printer);
    buildWidgets();
    FormLoad();
}

frmCalibrate::~frmCalibrate() = default;

void frmCalibrate::createControls()
{
    txtMarginTop = numberBox("txtMarginTop", this);
    txtMarginLeft = numberBox("txtMarginLeft", this);
    txtAdj4UD = numberBox("txtAdj4UD", this);
    txtAdj4LR = numberBox("txtAdj4LR", this);
    txtAdj2UD = numberBox("txtAdj2UD", this);
    txtAdj2LR = numberBox("txtAdj2LR", this);
    txtAdj1UD = numberBox("txtAdj1UD", this);
    txtAdj1LR = numberBox("txtAdj1LR", this);

    ckbPrintSku = new QCheckBox(
        QStringLiteral(" Print Sku on Signs (Normally this box will be checked)"), this);
    ckbPrintSku->setObjectName(QStringLiteral("ckbPrintSku"));

    txtPgHt = new QLineEdit(this);
    txtPgHt->setObjectName(QStringLiteral("txtPgHt"));
    txtPgHt->setReadOnly(true);
    txtPgWd = new QLineEdit(this);
    txtPgWd->setObjectName(QStringLiteral("txtPgWd"));
    txtPgWd->setReadOnly(true);

    lblPrinter = new QLabel(this);
    lblPrinter->setObjectName(QStringLiteral("lblPrinter"));
    lblPrinter->setTextFormat(Qt::PlainText);
    lblPrinter->setWordWrap(true);

    lblMarginHelp = helpLabel("lblMarginHelp", MarginHelpText, this);
    lblShiftHelp = helpLabel("lblShiftHelp", ShiftHelpText, this);

    cmdPrintTest = new QPushButton(QStringLiteral("&Print Test Page"), this);
    cmdPrintTest->setObjectName(QStringLiteral("cmdPrintTest"));
    cmdPrintTest->setAutoDefault(false);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setToolTip(QStringLiteral("Click OK to save your margin settings."));
    cmdOk->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setToolTip(
        QStringLiteral("Click Cancel to exit without saving new margin settings."));
    cmdCancel->setAutoDefault(false);
}

// Margins with their instructions.
QHBoxLayout* frmCalibrate::marginRow()
{
    auto* margins = new QGridLayout;
    margins->addWidget(new QLabel(QStringLiteral("Top Margin (start 180):"), this), 0, 0);
    margins->addWidget(txtMarginTop, 0, 1);
    margins->addWidget(new QLabel(QStringLiteral("Left Margin (start 270):"), this), 1, 0);
    margins->addWidget(txtMarginLeft, 1, 1);
    margins->setRowStretch(2, 1);
    auto* marginRow = new QHBoxLayout;
    marginRow->addLayout(margins);
    marginRow->addSpacing(16);
    marginRow->addWidget(lblMarginHelp, 1);
    return marginRow;
}

// Shifts per format with their instructions.
QHBoxLayout* frmCalibrate::shiftRow()
{
    auto* shifts = new QGridLayout;
    shifts->addWidget(new QLabel(QStringLiteral("4-up Format"), this), 0, 1);
    shifts->addWidget(new QLabel(QStringLiteral("2-up Format"), this), 0, 2);
    shifts->addWidget(new QLabel(QStringLiteral("1-up Format"), this), 0, 3);
    shifts->addWidget(new QLabel(QStringLiteral("Shift Up/Down:"), this), 1, 0);
    shifts->addWidget(txtAdj4UD, 1, 1);
    shifts->addWidget(txtAdj2UD, 1, 2);
    shifts->addWidget(txtAdj1UD, 1, 3);
    shifts->addWidget(new QLabel(QStringLiteral("Shift Left/Right:"), this), 2, 0);
    shifts->addWidget(txtAdj4LR, 2, 1);
    shifts->addWidget(txtAdj2LR, 2, 2);
    shifts->addWidget(txtAdj1LR, 2, 3);
    shifts->setRowStretch(3, 1);
    auto* shiftRow = new QHBoxLayout;
    shiftRow->addLayout(shifts);
    shiftRow->addSpacing(16);
    shiftRow->addWidget(lblShiftHelp, 1);
    return shiftRow;
}

void frmCalibrate::buildWidgets()
{
    createControls();
    QHBoxLayout* const margins = marginRow();
    QHBoxLayout* const shifts = shiftRow();

    // The current printer's page, for reference.
    auto* page = new QHBoxLayout;
    page->addWidget(new QLabel(QStringLiteral("Ht: "), this));
    page->addWidget(txtPgHt);
    page->addWidget(new QLabel(QStringLiteral("Wid: "), this));
    page->addWidget(txtPgWd);
    page->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrintTest);
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* top = new QVBoxLayout(this);
    top->addWidget(lblPrinter);
    top->addSpacing(8);
    top->addLayout(margins);
    top->addSpacing(12);
    top->addLayout(shifts);
    top->addSpacing(12);
    top->addWidget(ckbPrintSku);
    top->addLayout(page);
    top->addSpacing(8);
    top->addLayout(buttons);
    setFixedSize(sizeHint());

    connect(cmdOk, &QPushButton::clicked, this, &frmCalibrate::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCalibrate::cmdCancel_Click);
    connect(cmdPrintTest, &QPushButton::clicked, this, &frmCalibrate::cmdPrintTest_Click);
}

void frmCalibrate::FormLoad()
{
    using namespace SettingsKeys;
    // The values the printer prints with now: its own, or the plain ones.
    const auto stored = [this](Setting key) {
        return PrinterCalibration::read(m_settings, key, m_printerName).text();
    };
    txtMarginTop->setText(stored(Setting::MarginTopOffered));
    txtMarginLeft->setText(stored(Setting::MarginLeftOffered));
    txtAdj4UD->setText(stored(Setting::Adj4UD));
    txtAdj4LR->setText(stored(Setting::Adj4LR));
    txtAdj2UD->setText(stored(Setting::Adj2UD));
    txtAdj2LR->setText(stored(Setting::Adj2LR));
    txtAdj1UD->setText(stored(Setting::Adj1UD));
    txtAdj1LR->setText(stored(Setting::Adj1LR));
    lblPrinter->setText(printerText());

    // Read as the painters read it: ticked for any stored number but 0; text
    // with no leading number counts as 0.
    const double sku = NumberText::roundHalfEven(m_settings.get(Setting::PrintSku).number());
    ckbPrintSku->setChecked(sku != 0.0);

    showPageSize();
}

QString frmCalibrate::printerText() const
{
    if (m_printerName.isEmpty())
        return QStringLiteral("These values are for the system's default printer.");
    const auto named = [](const QString& choice) {
        return QStringLiteral("\"%1\"").arg(choice.startsWith(PrinterChoice::PdfPrefix)
                ? QStringLiteral("PDF file ") + choice.mid(PrinterChoice::PdfPrefix.size())
                : choice);
    };
    QString text = QStringLiteral("These values are for the printer %1.").arg(named(m_printerName));
    // A printer not yet calibrated on its own prints with another's values.
    const QString owner = PrinterCalibration::plainKeysPrinter(m_settings);
    if (!owner.isEmpty() && owner != m_printerName
        && !m_settings.contains(
            PrinterCalibration::ownKey(SettingsKeys::Setting::MarginTop, m_printerName)))
        text
            += QStringLiteral(" Until you save them it prints with those of %1.").arg(named(owner));
    return text;
}

void frmCalibrate::showPageSize()
{
    // Only shown for reference, in the printer's current orientation: a
    // printer that cannot be asked leaves the boxes as they are.
    if (!m_printer || !m_printer->isValid())
        return;
    try {
        PrinterCanvas canvas(m_printer);
        txtPgHt->setText(QString::number(qint64(NumberText::roundHalfEven(canvas.Height())))
            + QLatin1String(", ") + CalibrationTestPage::plainNumber(float(canvas.ScaleHeight())));
        txtPgWd->setText(QString::number(qint64(NumberText::roundHalfEven(canvas.Width())))
            + QLatin1String(", ") + CalibrationTestPage::plainNumber(float(canvas.ScaleWidth())));
    } catch (const RunTimeError&) {
    }
}

bool frmCalibrate::ValidateCalibration()
{
    const std::pair<QLineEdit*, const char*> boxes[] = {
        { txtMarginTop, "Top Margin" },
        { txtMarginLeft, "Left Margin" },
        { txtAdj4UD, "Up/Down 4-Up" },
        { txtAdj4LR, "Left/Right 4-Up" },
        { txtAdj2UD, "Up/Down 2-Up" },
        { txtAdj2LR, "Left/Right 2-Up" },
        { txtAdj1UD, "Up/Down 1-Up" },
        { txtAdj1LR, "Left/Right 1-Up" },
    };
    for (const auto& [box, name] : boxes) {
        if (NumberText::isNumeric(box->text()))
            continue;
        box->setFocus(Qt::OtherFocusReason);
        m_dialogs.message(QLatin1String(name) + QLatin1String(" must be numeric.  Please correct."),
            DialogService::Buttons::Ok, DialogService::Icon::Information, QStringLiteral("Alert:"),
            this);
        return true;
    }
    return false;
}

void frmCalibrate::cmdOk_Click()
{
    if (ValidateCalibration())
        return;
    using namespace SettingsKeys;
    // The margins and shifts belong to this printer; whether signs carry
    // their SKU is one choice for every printer.
    PrinterCalibration::save(m_settings, m_printerName,
        { txtMarginTop->text(), txtMarginLeft->text(), txtAdj4UD->text(), txtAdj4LR->text(),
            txtAdj2UD->text(), txtAdj2LR->text(), txtAdj1UD->text(), txtAdj1LR->text() });
    m_settings.save(PRINTSKU, ckbPrintSku->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

void frmCalibrate::cmdCancel_Click()
{
    reject();
}

void frmCalibrate::cmdPrintTest_Click()
{
    if (ValidateCalibration())
        return;
    try {
        if (!m_printer)
            throw RunTimeError::printerError(QStringLiteral("no printer is installed"));
        PrinterCanvas canvas(m_printer);
        drawTestPage(canvas);
    } catch (const RunTimeError& error) {
        // The printer could not even be taken up.
        reportTestPageError(error);
    }
}

bool frmCalibrate::PrintTestPage(SignCanvas& canvas)
{
    if (ValidateCalibration())
        return false;
    return drawTestPage(canvas);
}

bool frmCalibrate::drawTestPage(SignCanvas& canvas)
{
    const CalibrationTestPage::Values values {
        txtMarginTop->text(),
        txtMarginLeft->text(),
        txtAdj4UD->text(),
        txtAdj4LR->text(),
        txtAdj2UD->text(),
        txtAdj2LR->text(),
        txtAdj1UD->text(),
        txtAdj1LR->text(),
    };
    try {
        CalibrationTestPage::draw(canvas, values, QDateTime::currentDateTime());
        return true;
    } catch (const RunTimeError& error) {
        // A half-drawn page is thrown away rather than left open on the
        // printer, where the next print job would carry on with it.
        try {
            canvas.abandonDocument();
        } catch (const RunTimeError&) {
        }
        reportTestPageError(error);
        return false;
    }
}

void frmCalibrate::reportTestPageError(const RunTimeError& error)
{
    // The same report as the print job's: a printer failure offers printer
    // setup, anything else shows its description.
    if (ReportRunTimeError(m_dialogs, error) && m_printerSetup) {
        m_printerSetup();
        // The values typed now go to the printer chosen there.
        if (m_printer)
            m_printerName = PrinterChoice::toText(*m_printer);
        lblPrinter->setText(printerText());
    }
}
