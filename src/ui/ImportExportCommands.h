#pragma once

#include "itemdata/SignListImportExport.h"

class AppSettings;
class CommonDialog;
class DialogService;

// The window's Read Data File and Save To Data File commands: the file
// dialog (starting from, and remembering, the file under FILEIMPEXP), the
// busy pointer and blocked input while records are read, and the outcome in
// a message box.
class ImportExportCommands
{
public:
    using ImportHooks = SignListImportExport::ImportHooks;

    ImportExportCommands(SignListModel& model, DialogService& dialogs, CommonDialog& dialog,
        const AppSettings& settings);

    // Read Data File. Returns the number of rows added (0 also when the user
    // cancelled or the file could not be opened).
    qint64 importFile(qorDatFile& reader, const qorDct& dictionary, const ImportHooks& hooks);
    // Reads the data file at path as the command does once its dialog has
    // chosen it (recent files, a file dropped on the window).
    qint64 importPath(const QString& path, qorDatFile& reader, const qorDct& dictionary,
        const ImportHooks& hooks);
    // Appends the records of an already opened reader under the busy
    // pointer and blocked input; the reader is closed afterwards.
    qint64 importRecords(qorDatFile& reader, const ImportHooks& hooks);

    // Save To Data File. True when a file was written. The dictionary reads
    // an existing file of the chosen name, to say what replacing it loses.
    bool exportFile(const qorDct& dictionary);

    // The file the last import opened or the last export wrote; empty when
    // the command was cancelled or the file could not be opened or written.
    const QString& lastFile() const { return m_lastFile; }

private:
    // The question before an existing file is replaced, naming what it holds.
    QString replaceQuestion(const QString& path, const qorDct& dictionary) const;

    SignListImportExport m_io;
    DialogService& m_dialogs;
    CommonDialog& m_dialog;
    const AppSettings& m_settings;
    QString m_lastFile;
};
