#pragma once

#include <QString>
#include <QtGlobal>

#include <QByteArray>

#include <functional>
#include <vector>

class AppSettings;
class CommonDialog;
class DialogService;
class SignListModel;
struct SignRow;
class qorDatFile;
class qorDct;

// The two File commands that move the sign list to and from files: import
// appends the records of a POS data file (through the data-file reader) and
// export writes the list as a tab-delimited file with a header of POS field
// numbers. Both remember the last file under FILEIMPEXP.
class SignListImportExport
{
public:
    // What the window does around an import: load the current row into the
    // entry panel at the end, and show how many records have been read.
    struct ImportHooks
    {
        std::function<void()> loadSelectedRow;
        std::function<void(qint64 recordsRead)> progress;
    };

    SignListImportExport(SignListModel& model, DialogService& dialogs, CommonDialog& dialog,
        const AppSettings& settings);

    // The Read Data File command. Returns the number of rows added (0 also
    // when the user cancelled or the file could not be opened).
    qint64 importFile(qorDatFile& reader, const qorDct& dictionary, const ImportHooks& hooks);
    // Reads the data file at path as the command does once its dialog has
    // chosen it (recent files, a file dropped on the window).
    qint64 importPath(const QString& path, qorDatFile& reader, const qorDct& dictionary,
        const ImportHooks& hooks);
    // Appends the records of an already opened reader, as the command does
    // after its dialog; the reader is closed afterwards.
    qint64 importRecords(qorDatFile& reader, const ImportHooks& hooks);

    // The Save To Data File command. True when a file was written.
    bool exportFile();
    // Writes the list to path without any dialog; false (with the reason in
    // error) when nothing was written. An earlier file of that name is then
    // left as it was.
    bool writeList(const QString& path, QString* error) const;

    // The file the last import opened or the last export wrote; empty when
    // the command was cancelled or the file could not be opened or written.
    const QString& lastFile() const { return m_lastFile; }
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
    DialogService& m_dialogs;
    CommonDialog& m_dialog;
    const AppSettings& m_settings;
    qint64 m_recordsRead = 0; // by the last importRecords
    QString m_lastFile;
};
