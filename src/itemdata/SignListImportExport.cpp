#include "itemdata/SignListImportExport.h"

#include "base/Cp1252.h"
#include "base/MORNLIB.h"
<<<<<<< HEAD
#include "base/SafeFile.h"
#include "base/SettingsKeys.h"
#include "base/SettingsStore.h"
=======
>>>>>>> layer
#include "document/SignListModel.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

// POS field numbers and grid columns in the order of the export line.
struct Mapping
{
    qint16 field;
    int column;
    const char* name;
};

constexpr Mapping ExportOrder[] = {
    { 1, SignListModel::ColSku, "SKU" },
    { 10, SignListModel::ColDescription, "description" },
    { 48, SignListModel::ColRetail, "regular retail price" },
    { 54, SignListModel::ColCost, "cost" },
    { 56, SignListModel::ColPromo, "promotional price" },
    { 177, SignListModel::ColBullet1, "bullet line 1" },
    { 178, SignListModel::ColBullet2, "bullet line 2" },
    { 179, SignListModel::ColBullet3, "bullet line 3" },
    { 182, SignListModel::ColGraphic, "item graphic file" },
};

// The fields an import reads after the SKU, in the order it reads them.
constexpr Mapping ImportOrder[] = {
    { 56, SignListModel::ColPromo, nullptr },
    { 48, SignListModel::ColRetail, nullptr },
    { 54, SignListModel::ColCost, nullptr },
    { 10, SignListModel::ColDescription, nullptr },
    { 177, SignListModel::ColBullet1, nullptr },
    { 178, SignListModel::ColBullet2, nullptr },
    { 179, SignListModel::ColBullet3, nullptr },
    { 182, SignListModel::ColGraphic, nullptr },
};

<<<<<<< HEAD
const QString AlertTitle = QStringLiteral("Alert:");
// The byte a data-file reader reads as a double quote.
constexpr char QuoteByte = '\x02';

=======
>>>>>>> layer
// A tab or a line break would split the record, and a NUL would end the
// data for any reader: each is written as a space.
QString guardedCell(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\r' || u == u'\n' || u == 0)
            c = QLatin1Char(' ');
    }
    // The reader drops the double quotes around a field; one that begins
    // and ends with a double quote keeps them when its first is written as
    // the byte the reader turns back into a double quote.
    if (out.size() >= 2 && out.startsWith(QLatin1Char('"')) && out.endsWith(QLatin1Char('"')))
        out[0] = QChar(QLatin1Char(QuoteByte));
    return out;
}

} // namespace

const QString SignListImportExport::ExportHeader
    = QStringLiteral("1\t10\t48\t54\t56\t177\t178\t179\t182");

SignListImportExport::SignListImportExport(SignListModel& model)
    : m_model(model)
{
}

CommandResult SignListImportExport::openDataFile(
    qorDatFile& reader, const QString& path, const qorDct& dictionary)
{
<<<<<<< HEAD
    m_dialog.setFileName(m_settings.text(SettingsKeys::FILEIMPEXP, QString()));
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

qint64 SignListImportExport::importPath(
    const QString& path, qorDatFile& reader, const qorDct& dictionary, const ImportHooks& hooks)
{
    m_lastFile.clear();
    m_settings.save(SettingsKeys::FILEIMPEXP, path);

    const qint16 r = reader.fopen(path, dictionary, QString(), 0, 0);
    if (r != qorDatFile::StatusOk) {
        QString text;
        switch (r) {
        case qorDatFile::StatusCannotOpen:
            text = !QFileInfo::exists(path) ? QStringLiteral("File not found")
                : reader.readFailed()       ? QStringLiteral("File can not be read")
                                            : QStringLiteral("Can not open file");
            break;
        case qorDatFile::StatusEmpty:
            text = QStringLiteral("File is empty");
            break;
        case qorDatFile::StatusInvalidHeader:
            text = QStringLiteral("Error in file header");
            break;
        default:
            text = QStringLiteral("Can not open file");
            break;
        }
        m_dialogs.message(
            text, DialogService::Buttons::Ok, DialogService::Icon::Information, AlertTitle);
        return 0;
=======
    const qint16 r = reader.fopen(path, dictionary, QString(), 0, 0);
    switch (r) {
    case qorDatFile::StatusOk:
        return {};
    case qorDatFile::StatusCannotOpen:
        return CommandResult::notice(QStringLiteral("File not found"));
    case qorDatFile::StatusEmpty:
        return CommandResult::notice(QStringLiteral("File is empty"));
    case qorDatFile::StatusInvalidHeader:
        return CommandResult::notice(QStringLiteral("Error in file header"));
    default:
        return CommandResult::notice(QStringLiteral("Can not open file"));
>>>>>>> layer
    }
}

<<<<<<< HEAD
    m_lastFile = path;
    const qint64 added = importRecords(reader, hooks);
    if (reader.nulLine() > 0)
        m_dialogs.message(QStringLiteral("Reading stopped at a NUL byte on line %1 of %2.  %3 "
                                         "records were read.")
                              .arg(reader.nulLine())
                              .arg(path)
                              .arg(m_recordsRead),
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, AlertTitle);
    else if (reader.readFailed())
        m_dialogs.message(QStringLiteral("The data file could not be read to its end: ") + path,
            DialogService::Buttons::Ok, DialogService::Icon::Exclamation, AlertTitle);
    return added;
=======
CommandResult SignListImportExport::readResult(const qorDatFile& reader, const QString& path)
{
    if (reader.readFailed())
        return CommandResult::failure(
            QStringLiteral("The data file could not be read to its end: ") + path);
    return {};
>>>>>>> layer
}

qint64 SignListImportExport::importRecords(qorDatFile& reader, const ImportHooks& hooks)
{
    qint64 added = 0;
    {
        // Rows are handed to the list in batches, each time the window gets
        // a chance to repaint, rather than one model insertion per record.
        std::vector<SignRow> pending;
        QElapsedTimer sinceRepaint;
        sinceRepaint.start();
        qint64 recordsRead = 0;
        bool firstRepaintDone = false;
        QString value;
        auto flush = [&]() {
            added += qint64(pending.size());
            m_model.appendSigns(std::move(pending));
            pending.clear();
        };

        while (reader.gr(-1)) {
            ++recordsRead;
            if (reader.gf(1, value) == qorDatFile::StatusOk) {
                SignRow row;
                row.column(SignListModel::ColSku) = value;
                for (const Mapping& m : ImportOrder) {
                    reader.gf(m.field, value);
                    row.column(m.column) = value;
                }
                pending.push_back(std::move(row));
            }
            if (!firstRepaintDone || sinceRepaint.elapsed() >= RepaintIntervalMs) {
                firstRepaintDone = true;
                flush();
                if (hooks.progress)
                    hooks.progress(recordsRead);
                if (hooks.letWindowRepaint)
                    hooks.letWindowRepaint();
                sinceRepaint.restart();
            }
        }
        flush();
        m_recordsRead = recordsRead;
        if (hooks.progress)
            hooks.progress(recordsRead);

        // The empty row of a fresh list gives way to the imported rows.
        if (m_model.Rows() >= 3 && MORNLIB::IsBlank(m_model.cell(1, SignListModel::ColSku)))
            m_model.deleteRow(1);
        m_model.setRows(m_model.Rows() + 1);

        if (hooks.loadSelectedRow)
            hooks.loadSelectedRow();
    }
    reader.fclose();
    return added;
}

CommandResult SignListImportExport::checkExportable() const
{
<<<<<<< HEAD
    if (m_model.Rows() == 2 && MORNLIB::IsBlank(m_model.cell(1, SignListModel::ColSku))) {
        m_dialogs.message(QStringLiteral("Grid is empty.  No data to export"),
            DialogService::Buttons::Ok, DialogService::Icon::Information, AlertTitle);
        return false;
    }
    m_dialog.setFileName(m_settings.text(SettingsKeys::FILEIMPEXP, QString()));
    m_dialog.setDialogTitle(QStringLiteral("Export File"));
    m_dialog.setFlags(0);
    m_dialog.setFilter(QStringLiteral("All Files (*.*)|*.*|Tab Delimited Files (*.txt)|*.txt"));
    m_dialog.setFilterIndex(2);
    m_lastFile.clear();
    if (!m_dialog.ShowSave())
        return false;
    const QString path = m_dialog.fileName();
    // The dialog offers the file last read or written, so Enter alone would
    // replace it: an existing file is replaced only when the user says so.
    if (QFileInfo(path).isFile()
        && m_dialogs.message(QStringLiteral("The file %1 already exists.\n"
                                            "Do you want to replace it with the sign list?")
                                 .arg(QDir::toNativeSeparators(path)),
               DialogService::Buttons::YesNo, DialogService::Icon::Exclamation,
               QStringLiteral("Export File"))
            != DialogService::Answer::Yes)
        return false;
    m_settings.save(SettingsKeys::FILEIMPEXP, path);
=======
    if (m_model.Rows() == 2 && MORNLIB::IsBlank(m_model.cell(1, SignListModel::ColSku)))
        return CommandResult::notice(QStringLiteral("Grid is empty.  No data to export"));
    return {};
}
>>>>>>> layer

CommandResult SignListImportExport::exportTo(const QString& path) const
{
    QString error;
<<<<<<< HEAD
    if (writeList(path, &error)) {
        m_lastFile = path;
        return true;
    }
    m_dialogs.message(
        error, DialogService::Buttons::Ok, DialogService::Icon::Exclamation, AlertTitle);
    return false;
=======
    if (writeList(path, &error))
        return {};
    return CommandResult::failure(error);
>>>>>>> layer
}

std::vector<SignListImportExport::FieldColumn> SignListImportExport::exportFields()
{
    std::vector<FieldColumn> fields;
    for (const Mapping& m : ExportOrder)
        fields.push_back({ m.field, m.column });
    return fields;
}

bool SignListImportExport::encodeRows(
    const std::vector<SignRow>& rows, const QString& path, QByteArray& content, QString* error)
{
    content.clear();
    content.reserve(qsizetype(rows.size() + 1) * 96);
    content += ExportHeader.toLatin1() + "\r\n";
    for (int row = 1; row <= int(rows.size()); ++row) {
        if (!appendRow(content, rows[size_t(row - 1)], row, path, error))
            return false;
    }
    return true;
}

bool SignListImportExport::appendRow(
    QByteArray& content, const SignRow& sign, int row, const QString& path, QString* error)
{
    if (MORNLIB::IsBlank(sign.column(SignListModel::ColSku)))
        return true;
    bool first = true;
    for (const Mapping& m : ExportOrder) {
        if (!first)
            content += '\t';
        first = false;
        const QString text = guardedCell(sign.column(m.column));
        qsizetype bad = -1;
        if (!Cp1252::appendEncoded(content, text, &bad)) {
            // Report the whole character, also when it takes two units.
            const qsizetype len = (text.at(bad).isHighSurrogate() && bad + 1 < text.size()) ? 2 : 1;
            if (error)
                *error = QStringLiteral("Row %1, %2: the character \"%3\" can not be written to a "
                                        "data file.  Nothing was written to %4")
                             .arg(row)
                             .arg(QLatin1String(m.name), text.mid(bad, len), path);
            return false;
        }
    }
    content += "\r\n";
    return true;
}

bool SignListImportExport::writeList(const QString& path, QString* error) const
{
    QByteArray content;
    if (!encodeRows(m_model.signRows(), path, content, error))
        return false;

    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Can not write data file: %1\n%2").arg(path, reason);
        return false;
    };

    // A device or a pipe is written into without blocking; a file is
    // replaced only when the new content is complete and on disk, so a
    // failure leaves any earlier file as it was.
    QString reason;
    if (!SafeFile::writeAll(path, content, &reason))
        return fail(reason);
    return true;
}
