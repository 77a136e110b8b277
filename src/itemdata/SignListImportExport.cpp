#include "itemdata/SignListImportExport.h"

#include "base/Cp1252.h"
#include "base/MORNLIB.h"
#include "document/SignListModel.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
        return CommandResult::notice(QStringLiteral("File not found"));
    case qorDatFile::StatusEmpty:
        return CommandResult::notice(QStringLiteral("File is empty"));
    case qorDatFile::StatusInvalidHeader:
        return CommandResult::notice(QStringLiteral("Error in file header"));
    default:
        return CommandResult::notice(QStringLiteral("Can not open file"));
    }
}

CommandResult SignListImportExport::readResult(const qorDatFile& reader, const QString& path)
{
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

bool SignListImportExport::writeList(const QString& path, QString* error) const
{
    const QByteArray lineEnd("\r\n");
    QByteArray content;
    content.reserve(qsizetype(m_model.Rows()) * 96);
    content += ExportHeader.toLatin1() + lineEnd;

    for (int row = 1; row < m_model.Rows(); ++row) {
        const SignRow& sign = m_model.signRow(row);
        if (MORNLIB::IsBlank(sign.column(SignListModel::ColSku)))
            continue;
        bool first = true;
        for (const Mapping& m : ExportOrder) {
            if (!first)
                content += '\t';
            first = false;
            const QString text = guardedCell(sign.column(m.column));
            qsizetype bad = -1;
            if (!Cp1252::appendEncoded(content, text, &bad)) {
                // Report the whole character, also when it takes two units.
                const qsizetype len
                    = (text.at(bad).isHighSurrogate() && bad + 1 < text.size()) ? 2 : 1;
                if (error)
                    *error
                        = QStringLiteral("Row %1, %2: the character \"%3\" can not be written to a "
                                         "data file.  Nothing was written to %4")
                              .arg(row)
                              .arg(QLatin1String(m.name), text.mid(bad, len), path);
                return false;
            }
        }
        content += lineEnd;
    }

    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Can not write data file: %1\n%2").arg(path, reason);
        return false;
    };

    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("It is a folder."));
    if (info.exists() && !info.isFile()) {
        // A device or pipe cannot be replaced by a new file; write into it.
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly))
            return fail(device.errorString());
        if (device.write(content) != content.size() || !device.flush())
            return fail(device.errorString());
        device.close();
        if (device.error() != QFileDevice::NoError)
            return fail(device.errorString());
        return true;
    }

    // Written to a new file that takes the old one's place only when
    // complete, so a failure leaves any earlier file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
