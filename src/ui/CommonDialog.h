#pragma once

#include "ui/DialogService.h"

#include <QString>

class QPrinter;
class QWidget;

// The program's one common-dialog component: file open and save, colour and
// printer setup. Callers set the file name, title, flags, filter list and
// filter number in that order, then show the dialog. A cancel (or any
// failure of the dialog) is reported as false, never as an empty result.
class CommonDialog
{
public:
    // Flags as the stored values and callers know them.
    static constexpr int FlagReadOnlyHidden = 4; // hide the read-only box
    static constexpr int FlagFileMustExist = 4096;
    static constexpr int FlagShareAware = 16384;
    static constexpr int FlagColorStartFromSet = 1; // colour: start from Color
    static constexpr int FlagPrinterSetup = 64; // printer-setup form

    CommonDialog(DialogService& service, QWidget* owner);

    void setFileName(const QString& fileName) { m_fileName = fileName; }
    const QString& fileName() const { return m_fileName; }
    void setDialogTitle(const QString& title) { m_title = title; }
    void setFlags(int flags) { m_flags = flags; }
    int flags() const { return m_flags; }
    // Description and pattern pairs, all separated by "|".
    void setFilter(const QString& filter) { m_filter = filter; }
    // Counted from 1.
    void setFilterIndex(int index) { m_filterIndex = index; }
    void setCancelError(bool on) { m_cancelError = on; }
    void setColor(int color) { m_color = color; }
    int color() const { return m_color; }

    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    // The user's choice becomes the given printer; false on cancel.
    bool ShowPrinter(QPrinter* printer);

    // The filter list in the form the file dialog takes ("Jpeg Files (*.jpg *.JPG)").
    static QStringList qtFilters(const QString& filter);

private:
    bool showFile(DialogService::FileMode mode);

    DialogService& m_service;
    QWidget* m_owner;
    QString m_fileName;
    QString m_title;
    QString m_filter;
    int m_flags = 0;
    int m_filterIndex = 1;
    bool m_cancelError = false;
    int m_color = 0;
};
