#pragma once

#include "base/CommandResult.h"

#include <QString>
#include <QtGlobal>

#include <functional>

class SignListModel;
class qorDatFile;
class qorDct;

// Moves the sign list to and from files: import appends the records of a POS
// data file (through the data-file reader) and export writes the list as a
// tab-delimited file with a header of POS field numbers. Outcomes come back
// as values; the window's File commands (which choose the file and remember
// it under FILEIMPEXP) and the batch command show them.
class SignListImportExport
{
public:
    // What the caller does around an import: load the current row into the
    // entry panel at the end, show how many records have been read, and let
    // the window repaint now and then.
    struct ImportHooks
    {
        std::function<void()> loadSelectedRow;
        std::function<void(qint64 recordsRead)> progress;
        std::function<void()> letWindowRepaint;
    };

    explicit SignListImportExport(SignListModel& model);

    // Opens the data file with the reader: a notice ("File not found", "File
    // is empty", "Error in file header", "Can not open file") when it cannot.
    static CommandResult openDataFile(
        qorDatFile& reader, const QString& path, const qorDct& dictionary);
    // Appends the records of an opened reader; the reader is closed
    // afterwards. Returns the number of rows added.
    qint64 importRecords(qorDatFile& reader, const ImportHooks& hooks);
    // After importRecords: a failure when reading stopped before the end.
    static CommandResult readResult(const qorDatFile& reader, const QString& path);

    // A notice when the list holds nothing to export.
    CommandResult checkExportable() const;
    // Writes the list to path: a failure with the reason when nothing was
    // written.
    CommandResult exportTo(const QString& path) const;
    // Writes the list to path without any dialog; false (with the reason in
    // error) when nothing was written. An earlier file of that name is then
    // left as it was.
    bool writeList(const QString& path, QString* error) const;

    static const QString ExportHeader;
    // The import lets the window repaint (and shows its progress) at most
    // this often, and once after the first record.
    static constexpr qint64 RepaintIntervalMs = 25;

private:
    SignListModel& m_model;
};
