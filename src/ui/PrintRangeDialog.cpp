#include "ui/PrintRangeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

PrintRangeDialog::PrintRangeDialog(const QString& title, int signsPerPage, int signs,
    int selectedSigns, const PrintRange& initial, QWidget* parent)
    : QDialog(parent)
    , m_signsPerPage(std::max(signsPerPage, 1))
    , m_signs(signs)
    , m_selectedSigns(selectedSigns)
{
    setObjectName(QStringLiteral("frmPrintRange"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    addFirstCell(form, initial.firstCell);

    m_copies = new QSpinBox(this);
    m_copies->setObjectName(QStringLiteral("spnCopies"));
    m_copies->setRange(1, PrintRange::MaxCopies);
    m_copies->setValue(std::clamp(initial.copies, 1, PrintRange::MaxCopies));
    m_copies->setToolTip(
        QStringLiteral("How many of each sign to print; the copies of a sign stand side by side."));
    form->addRow(QStringLiteral("Copies of each sign:"), m_copies);

    addPageRange(layout);

    m_selectedOnly = new QCheckBox(m_selectedSigns == 1
            ? QStringLiteral("Only the selected row (1 sign)")
            : QStringLiteral("Only the selected rows (%1 signs)").arg(m_selectedSigns),
        this);
    m_selectedOnly->setObjectName(QStringLiteral("chkSelectedOnly"));
    m_selectedOnly->setEnabled(m_selectedSigns > 0);
    m_selectedOnly->setChecked(initial.selectedOnly && m_selectedSigns > 0);
    layout->addWidget(m_selectedOnly);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const bool some = initial.fromPage > 1 || initial.toPage > 0;
    (some ? m_somePages : m_allPages)->setChecked(true);
    updatePages();
    m_fromPage->setValue(std::max(initial.fromPage, 1));
    m_toPage->setValue(initial.toPage > 0 ? initial.toPage : m_toPage->maximum());

    connectPageRange();
}

// All pages, or the pages from one to another, with the page count.
void PrintRangeDialog::addPageRange(QVBoxLayout* layout)
{
    m_allPages = new QRadioButton(QStringLiteral("All pages"), this);
    m_allPages->setObjectName(QStringLiteral("optAllPages"));
    m_somePages = new QRadioButton(QStringLiteral("Pages"), this);
    m_somePages->setObjectName(QStringLiteral("optPageRange"));
    m_fromPage = new QSpinBox(this);
    m_fromPage->setObjectName(QStringLiteral("spnFromPage"));
    m_toPage = new QSpinBox(this);
    m_toPage->setObjectName(QStringLiteral("spnToPage"));
    m_pageCount = new QLabel(this);
    m_pageCount->setObjectName(QStringLiteral("lblPageCount"));
    auto* pagesRow = new QHBoxLayout;
    pagesRow->addWidget(m_somePages);
    pagesRow->addWidget(m_fromPage);
    pagesRow->addWidget(new QLabel(QStringLiteral("to"), this));
    pagesRow->addWidget(m_toPage);
    pagesRow->addWidget(m_pageCount);
    layout->addWidget(m_allPages);
    layout->addLayout(pagesRow);
}

// The cell of the first sheet to start at.
void PrintRangeDialog::addFirstCell(QFormLayout* form, int firstCell)
{
    m_firstCell = new QSpinBox(this);
    m_firstCell->setObjectName(QStringLiteral("spnFirstCell"));
    m_firstCell->setRange(1, m_signsPerPage);
    m_firstCell->setValue(std::clamp(firstCell, 1, m_signsPerPage));
    m_firstCell->setToolTip(QStringLiteral(
        "The cell of the first sheet the first sign goes in, for a sheet with signs already "
        "used (cells counted left to right, top to bottom)."));
    form->addRow(QStringLiteral("Start at cell:"), m_firstCell);
    // 1-Up sheets have one cell only.
    if (m_signsPerPage == 1) {
        m_firstCell->hide();
        form->labelForField(m_firstCell)->hide();
    }
}

// Keeps the range's controls consistent with each other and the page count.
void PrintRangeDialog::connectPageRange()
{
    connect(m_firstCell, &QSpinBox::valueChanged, this, &PrintRangeDialog::updatePages);
    connect(m_copies, &QSpinBox::valueChanged, this, &PrintRangeDialog::updatePages);
    connect(m_selectedOnly, &QCheckBox::toggled, this, &PrintRangeDialog::updatePages);
    connect(m_somePages, &QRadioButton::toggled, this, &PrintRangeDialog::updatePages);
    // Typing a page picks the page range.
    for (QSpinBox* box : { m_fromPage, m_toPage }) {
        connect(box, &QSpinBox::valueChanged, this, [this] { m_somePages->setChecked(true); });
    }
    connect(m_fromPage, &QSpinBox::valueChanged, this, [this](int from) {
        if (m_toPage->value() < from)
            m_toPage->setValue(from);
    });
    connect(m_toPage, &QSpinBox::valueChanged, this, [this](int to) {
        if (m_fromPage->value() > to)
            m_fromPage->setValue(to);
    });
}

void PrintRangeDialog::updatePages()
{
    const int signs = m_selectedOnly->isChecked() ? m_selectedSigns : m_signs;
    const qint64 cellsUsed = qint64(signs) * m_copies->value() + m_firstCell->value() - 1;
    const int pages = int(std::max<qint64>((cellsUsed + m_signsPerPage - 1) / m_signsPerPage, 1));
    const bool atEnd = m_toPage->value() == m_toPage->maximum();
    const QSignalBlocker blockFrom(m_fromPage);
    const QSignalBlocker blockTo(m_toPage);
    m_fromPage->setRange(1, pages);
    m_toPage->setRange(1, pages);
    // A range that ran to the last page keeps doing so.
    if (atEnd || !m_somePages->isChecked())
        m_toPage->setValue(pages);
    m_pageCount->setText(
        pages == 1 ? QStringLiteral("of 1 page") : QStringLiteral("of %1 pages").arg(pages));
}

PrintRange PrintRangeDialog::range() const
{
    PrintRange range;
    range.firstCell = m_firstCell->value();
    if (m_somePages->isChecked()) {
        range.fromPage = m_fromPage->value();
        range.toPage = m_toPage->value();
    }
    range.selectedOnly = m_selectedOnly->isChecked();
    range.copies = m_copies->value();
    return range;
}
