#include "itemdata/WorkList.h"

#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <limits>

WorkList::WorkList(SignListModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
          + QStringLiteral("/kestrane/worklist.txt"))
{
    m_timer.setSingleShot(true);
    m_pool.setMaxThreadCount(1);
    connect(&m_timer, &QTimer::timeout, this, &WorkList::startWrite);
}

WorkList::~WorkList()
{
    m_pool.waitForDone();
}

bool WorkList::parse(
    const QByteArray& bytes, const QString& path, std::vector<SignRow>& rows, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const std::vector<SignListImportExport::FieldColumn> fields
        = SignListImportExport::exportFields();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        return fail(
            QStringLiteral("it holds a NUL byte on line %1").arg(bytes.left(nul).count('\n') + 1));

    // Every field is taken whole: the reader cuts values to the dictionary's
    // lengths, so this one allows the longest.
    qorDct dictionary;
    for (const auto& f : fields)
        dictionary.setDLen(f.field, std::numeric_limits<qint16>::max());
    qorDatFile reader;
    QList<qint32> header;
    if (reader.fopenData(bytes, path, dictionary) != qorDatFile::StatusOk
        || reader.layout() != qorDatFile::TabDelimited || reader.GetFieldList(header) != 9)
        return fail(QStringLiteral("its first line is not the list's header"));
    for (size_t i = 0; i < fields.size(); ++i) {
        if (header.at(qsizetype(i)) != fields[i].field)
            return fail(QStringLiteral("its first line is not the list's header"));
    }

    rows.clear();
    QString value;
    while (reader.gr(-1)) {
        if (reader.LineBuf().count(QLatin1Char('\t')) != qsizetype(fields.size()) - 1) {
            const qint32 line = reader.lineNumber() + 1;
            rows.clear();
            return fail(
                QStringLiteral("line %1 does not hold %2 fields").arg(line).arg(fields.size()));
        }
        SignRow row;
        for (const auto& f : fields) {
            reader.gf(f.field, value);
            row.column(f.column) = value;
        }
        rows.push_back(std::move(row));
    }
    if (reader.readFailed()) {
        rows.clear();
        return fail(QStringLiteral("it could not be read to its end"));
    }
    return true;
}

WorkList::Restored WorkList::restore()
{
    Restored result;
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return result;

    QString reason;
    std::vector<SignRow> rows;
    QFile file(m_path);
    if (!info.isFile())
        reason = QStringLiteral("it is not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            reason = file.errorString();
        else
            parse(bytes, m_path, rows, &reason);
        file.close();
    }

    if (!reason.isEmpty()) {
        // Kept for the user to look at (it is an export file, so Read Data
        // File can load what is readable); the session starts empty.
        const QString bad = m_path + QStringLiteral(".bad");
        QFile::remove(bad);
        const bool kept = QFile::rename(m_path, bad);
        result.problem = kept
            ? QStringLiteral("The sign list of the last session could not be read (%1).\n"
                             "The file was set aside as %2 and the list starts empty.")
                  .arg(reason, QDir::toNativeSeparators(bad))
            : QStringLiteral("The sign list of the last session could not be read (%1), "
                             "nor set aside as %2.\nThe list starts empty.")
                  .arg(reason, QDir::toNativeSeparators(bad));
        return result;
    }

    result.signs = int(rows.size());
    if (!rows.empty()) {
        // As after an import: the signs, then an empty row to go on with.
        rows.emplace_back();
        m_model.replaceRows(1, m_model.Rows() - 1, std::move(rows));
    }
    return result;
}

void WorkList::watch()
{
    connect(&m_model, &QAbstractItemModel::dataChanged, this, &WorkList::schedule);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &WorkList::schedule);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, &WorkList::schedule);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &WorkList::schedule);
}

void WorkList::schedule()
{
    // Not restarted by further changes: a steady stream of edits is still
    // saved every SaveDelayMs.
    if (!m_timer.isActive())
        m_timer.start(SaveDelayMs);
}

void WorkList::startWrite()
{
    if (m_writing) {
        m_again = true;
        return;
    }
    m_writing = true;
    // The copy shares the rows' texts; the window goes on with its own.
    m_pool.start([this, rows = m_model.signRows(), path = m_path]() {
        const QString error = write(rows, path);
        QMetaObject::invokeMethod(
            this, [this, error]() { writeDone(error); }, Qt::QueuedConnection);
    });
}

void WorkList::writeDone(const QString& error)
{
    m_writing = false;
    if (!error.isEmpty() && error != m_lastError)
        emit saveFailed(error);
    m_lastError = error;
    if (m_again) {
        m_again = false;
        schedule();
    }
}

bool WorkList::saveNow(QString* error)
{
    m_timer.stop();
    m_pool.waitForDone();
    m_writing = false;
    m_again = false;
    const QString reason = write(m_model.signRows(), m_path);
    if (error)
        *error = reason;
    m_lastError = reason;
    return reason.isEmpty();
}

QString WorkList::write(const std::vector<SignRow>& rows, const QString& path)
{
    QByteArray content;
    QString error;
    if (!SignListImportExport::encodeRows(rows, path, content, &error))
        return error;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Can not create the folder %1").arg(QDir::toNativeSeparators(folder));
    // A new file takes the old one's place only when it is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Can not write %1: %2").arg(path, file.errorString());
    if (file.write(content) != content.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QStringLiteral("Can not write %1: %2").arg(path, reason);
    }
    if (!file.commit())
        return QStringLiteral("Can not write %1: %2").arg(path, file.errorString());
    return QString();
}
