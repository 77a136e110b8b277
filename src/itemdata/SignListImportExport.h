#pragma once

#include "base/CommandResult.h"

#include <QString>
#include <QtGlobal>

#include <QByteArray>

#include <functional>
#include <optional>
#include <vector>

class SignListModel;
struct SignRow;
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
    // can not be read", "File is empty", "Error in file header", "Can not
    // open file") when it cannot.
    static CommandResult openDataFile(
        qorDatFile& reader, const QString& path, const qorDct& dictionary);
    // Appends the records of an opened reader; the reader is closed
    // afterwards. Returns the number of rows added.
    qint64 importRecords(qorDatFile& reader, const ImportHooks& hooks);
    // After importRecords: a failure when reading stopped before the end (at
    // a NUL byte, with the number of records read, or on a read error).
    CommandResult readResult(const qorDatFile& reader, const QString& path) const;

    // The number of rows an import of the data file at path would add, or
    // nothing when it is not a data file the dictionary can read.
    static std::optional<qint64> countRecords(const QString& path, const qorDct& dictionary);
    // The signs an export writes: the rows whose SKU is not blank.
    qint64 exportableSigns() const;

    // A notice when the list holds nothing to export.
    CommandResult checkExportable() const;
    // Writes the list to path: a failure with the reason when nothing was
    // written.
    CommandResult exportTo(const QString& path) const;
    // Writes the list to path without any dialog; false (with the reason in
    // error) when nothing was written. An earlier file of that name is then
    // left as it was.
    bool writeList(const QString& path, QString* error) const;

    // The bytes of an export file holding rows (signs with a blank SKU are
    // left out). False, with the reason in error, when a character cannot be
    // written; path is named in that reason.
    static bool encodeRows(
        const std::vector<SignRow>& rows, const QString& path, QByteArray& content, QString* error);
    // Appends the export line of sign, grid row `row` (nothing for a blank
    // SKU); false as above, content then holding part of the line.
    static bool appendRow(
        QByteArray& content, const SignRow& sign, int row, const QString& path, QString* error);

    // The POS field number of each grid column, in the order of the export
    // line.
    struct FieldColumn
    {
        qint16 field;
        int column;
    };
    static std::vector<FieldColumn> exportFields();

    static const QString ExportHeader;
    // The import lets the window repaint (and shows its progress) at most
    // this often, and once after the first record.
    static constexpr qint64 RepaintIntervalMs = 25;

private:
    SignListModel& m_model;
    qint64 m_recordsRead = 0; // by the last importRecords
};
