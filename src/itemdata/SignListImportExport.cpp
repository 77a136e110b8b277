#include "itemdata/SignListImportExport.h"

#include "base/Cp1252.h"
#include "base/MORNLIB.h"
#include "base/SafeFile.h"
#include "document/SignListModel.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

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

// The byte a data-file reader reads as a double quote.
constexpr char QuoteByte = '\x02';

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
    const qint16 r = reader.fopen(path, dictionary, QString(), 0, 0);
    switch (r) {
    case qorDatFile::StatusOk:
        return {};
    case qorDatFile::StatusCannotOpen:
        return CommandResult::notice(!QFileInfo::exists(path) ? QStringLiteral("File not found")
                : reader.readFailed() ? QStringLiteral("File can not be read")
                                      : QStringLiteral("Can not open file"));
    case qorDatFile::StatusEmpty:
        return CommandResult::notice(QStringLiteral("File is empty"));
    case qorDatFile::StatusInvalidHeader:
        return CommandResult::notice(QStringLiteral("Error in file header"));
    default:
        return CommandResult::notice(QStringLiteral("Can not open file"));
    }
}

CommandResult SignListImportExport::readResult(const qorDatFile& reader, const QString& path) const
{
    if (reader.nulLine() > 0)
        return CommandResult::failure(
            QStringLiteral("Reading stopped at a NUL byte on line %1 of %2.  %3 records were read.")
                .arg(reader.nulLine())
                .arg(path)
                .arg(m_recordsRead));
    if (reader.readErrorLine() > 0)
        return CommandResult::failure(QStringLiteral(
            "Reading stopped by a read error on line %1 of %2.  %3 records were read.")
                                          .arg(reader.readErrorLine())
                                          .arg(path)
                                          .arg(m_recordsRead));
    if (reader.readFailed())
        return CommandResult::failure(
            QStringLiteral("The data file could not be read to its end: ") + path);
    return {};
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

std::optional<qint64> SignListImportExport::countRecords(
    const QString& path, const qorDct& dictionary)
{
    // A reader of its own, silent: the count only describes the file.
    qorDatFile reader;
    if (!openDataFile(reader, path, dictionary).done())
        return std::nullopt;
    qint64 records = 0;
    QString value;
    while (reader.gr(-1)) {
        if (reader.gf(1, value) == qorDatFile::StatusOk)
            ++records;
    }
    reader.fclose();
    return records;
}

qint64 SignListImportExport::exportableSigns() const
{
    qint64 signs = 0;
    for (int row = 1; row < m_model.Rows(); ++row) {
        if (!MORNLIB::IsBlank(m_model.cell(row, SignListModel::ColSku)))
            ++signs;
    }
    return signs;
}

CommandResult SignListImportExport::checkExportable() const
{
    if (m_model.Rows() == 2 && MORNLIB::IsBlank(m_model.cell(1, SignListModel::ColSku)))
        return CommandResult::notice(QStringLiteral("Grid is empty.  No data to export"));
    return {};
}

CommandResult SignListImportExport::exportTo(const QString& path) const
{
    QString error;
    if (writeList(path, &error))
        return {};
    return CommandResult::failure(error);
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
