#pragma once

#include "printing/PrintRange.h"

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QLabel;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;

// Asks before Print Signs and Print Preview where the first sign goes on the
// first sheet (for a sheet with cells already used), how many copies of each
// sign, which pages to print, and whether only the selected rows are printed.
// The page count follows the first cell, the copies and the rows chosen.
class PrintRangeDialog : public QDialog
{
    Q_OBJECT

public:
    PrintRangeDialog(const QString& title, int signsPerPage, int signs, int selectedSigns,
        const PrintRange& initial, QWidget* parent = nullptr);

    // The choice as shown (rows are left to the caller).
    PrintRange range() const;

private:
    void addFirstCell(QFormLayout* form, int firstCell);
    void addPageRange(QVBoxLayout* layout);
    void connectPageRange();
    void updatePages();

    int m_signsPerPage;
    int m_signs;
    int m_selectedSigns;
    QSpinBox* m_firstCell = nullptr;
    QSpinBox* m_copies = nullptr;
    QRadioButton* m_allPages = nullptr;
    QRadioButton* m_somePages = nullptr;
    QSpinBox* m_fromPage = nullptr;
    QSpinBox* m_toPage = nullptr;
    QLabel* m_pageCount = nullptr;
    QCheckBox* m_selectedOnly = nullptr;
};
