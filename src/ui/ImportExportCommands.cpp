#include "ui/ImportExportCommands.h"

#include "base/SafeFile.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
#include "ui/CommonDialog.h"
#include "ui/DialogService.h"
#include "ui/ResultMessage.h"
#include "ui/UserInputBlocker.h"
#include "ui/WindowHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The busy pointer for the length of the import, restored however it ends.
struct BusyCursor
{
    BusyCursor() { MORNLIB::SetBusyCursor(true); }
    ~BusyCursor() { MORNLIB::SetBusyCursor(false); }
};

} // namespace

QString ImportExportCommands::replaceQuestion(const QString& path, const qorDct& dictionary) const
{
    // What would be lost: the records the file holds, counted as Read Data
    // File would read them, or its size when it is no data file.
    const QFileInfo file(path);
    const std::optional<qint64> records = SignListImportExport::countRecords(path, dictionary);
    const QString held = records
        ? (*records == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(*records))
        : (file.size() == 1 ? QStringLiteral("1 byte, not a data file")
                            : QStringLiteral("%1 bytes, not a data file").arg(file.size()));
    const qint64 signs = m_io.exportableSigns();
    return QStringLiteral("%1 already exists (%2). Replace it with %3?")
        .arg(file.fileName(), held,
            signs == 1 ? QStringLiteral("the 1 sign of the list")
                       : QStringLiteral("the %1 signs of the list").arg(signs));
}

ImportExportCommands::ImportExportCommands(
    SignListModel& model, DialogService& dialogs, CommonDialog& dialog, const AppSettings& settings)
    : m_io(model)
    , m_dialogs(dialogs)
    , m_dialog(dialog)
    , m_settings(settings)
{
}

qint64 ImportExportCommands::importFile(
    qorDatFile& reader, const qorDct& dictionary, const ImportHooks& hooks)
{
    m_dialog.setFileName(m_settings.get(SettingsKeys::Setting::FileImpExp).text());
    m_dialog.setDialogTitle(QStringLiteral("Import File"));
    m_dialog.setFlags(CommonDialog::FlagFileMustExist | CommonDialog::FlagReadOnlyHidden);
    m_dialog.setFilter(QStringLiteral("All Files (*.*)|*.*|Quote and Comma Files (*.dat)|*.dat|"
                                      "Tab Delimited Files (*.txt)|*.txt"));
    m_dialog.setFilterIndex(3);
    m_lastFile.clear();
    if (!m_dialog.ShowOpen())
        return 0;
    return importPath(m_dialog.fileName(), reader, dictionary, hooks);
}

qint64 ImportExportCommands::importPath(
    const QString& path, qorDatFile& reader, const qorDct& dictionary, const ImportHooks& hooks)
{
    m_lastFile.clear();
    m_settings.save(SettingsKeys::FILEIMPEXP, path);

    const CommandResult opened = SignListImportExport::openDataFile(reader, path, dictionary);
    if (!opened.done()) {
        ShowResult(m_dialogs, opened);
        return 0;
    }
    m_lastFile = path;
    const qint64 added = importRecords(reader, hooks);
    ShowResult(m_dialogs, m_io.readResult(reader, path));
    return added;
}

qint64 ImportExportCommands::importRecords(qorDatFile& reader, const ImportHooks& hooks)
{
    BusyCursor busy;
    UserInputBlocker blockInput;
    ImportHooks blocked = hooks;
    blocked.letWindowRepaint = [] { UserInputBlocker::processPendingEvents(); };
    return m_io.importRecords(reader, blocked);
}

bool ImportExportCommands::exportFile(const qorDct& dictionary)
{
    const CommandResult exportable = m_io.checkExportable();
    if (!exportable.done()) {
        ShowResult(m_dialogs, exportable);
        return false;
    }
    m_dialog.setFileName(m_settings.get(SettingsKeys::Setting::FileImpExp).text());
    m_dialog.setDialogTitle(QStringLiteral("Export File"));
    m_dialog.setFlags(0);
    m_dialog.setFilter(QStringLiteral("All Files (*.*)|*.*|Tab Delimited Files (*.txt)|*.txt"));
    m_dialog.setFilterIndex(2);
    m_lastFile.clear();
    if (!m_dialog.ShowSave())
        return false;
    const QString path = m_dialog.fileName();
    // A link another user left at the name is refused before anything is
    // asked; the question names the file that would really be replaced.
    QString replaced;
    const QString refused = SafeFile::linkRefusal(path, &replaced);
    if (!refused.isEmpty()) {
        ShowResult(m_dialogs,
            CommandResult::failure(
                QStringLiteral("Can not write data file: %1\n%2").arg(path, refused)));
        return false;
    }
    // The dialog offers the file last read or written, so Enter alone would
    // replace it: an existing file is replaced only when the user says so,
    // and Enter alone answers No.
    if (QFileInfo(replaced).isFile()
        && m_dialogs.message(replaceQuestion(replaced, dictionary), DialogService::Buttons::YesNo,
               DialogService::Icon::Exclamation, QStringLiteral("Export File"),
               DialogService::Answer::No)
            != DialogService::Answer::Yes)
        return false;
    m_settings.save(SettingsKeys::FILEIMPEXP, path);

    const CommandResult written = m_io.exportTo(path);
    ShowResult(m_dialogs, written);
    if (written.done())
        m_lastFile = path;
    return written.done();
}
