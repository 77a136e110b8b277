#include "itemdata/WorkList.h"

#include "base/SafeFile.h"
#include "document/SignListModel.h"
#include "itemdata/SignListImportExport.h"
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {

using Fields = std::vector<SignListImportExport::FieldColumn>;

// Sorts the lines: one with a NUL byte or the wrong number of fields (a cut
// last line, a line someone edited) is set aside in damaged and the others
// go to good. Without damaged such a line refuses the whole file, as does a
// NUL byte in the header line; why then says which line.
bool sortLines(const QByteArray& bytes, qsizetype fieldCount, QByteArray& good, QString& why,
    QByteArray* damaged, int* firstDamaged)
{
    good.reserve(bytes.size());
    qsizetype at = 0;
    int lineNumber = 0;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line(bytes.constData() + at, end - at);
        ++lineNumber;
        if (lineNumber == 1 && line.contains('\0')) {
            why = QStringLiteral("it holds a NUL byte on line 1");
            return false;
        }
        if (lineNumber > 1 && (line.contains('\0') || line.count('\t') != fieldCount - 1)) {
            if (!damaged) {
                why = line.contains('\0')
                    ? QStringLiteral("it holds a NUL byte on line %1").arg(lineNumber)
                    : QStringLiteral("line %1 does not hold %2 fields")
                          .arg(lineNumber)
                          .arg(fieldCount);
                return false;
            }
            if (firstDamaged && *firstDamaged == 0)
                *firstDamaged = lineNumber;
            damaged->append(line.data(), line.size());
            if (!damaged->endsWith('\r'))
                damaged->append('\r');
            damaged->append('\n');
        } else {
            good.append(line.data(), line.size());
            good.append('\n');
        }
        at = next;
    }
    return true;
}

// Reads the sorted lines as the list's export file: the header must name
// the list's fields in order.
bool readRows(const QByteArray& good, const QString& path, const Fields& fields,
    std::vector<SignRow>& rows, QString& why)
{
    // Every field is taken whole: the reader cuts values to the dictionary's
    // lengths, so this one allows the longest.
    qorDct dictionary;
    for (const auto& f : fields)
        dictionary.setDLen(f.field, std::numeric_limits<qint16>::max());
    qorDatFile reader;
    QList<qint32> header;
    bool headerOk = reader.fopenData(good, path, dictionary) == qorDatFile::StatusOk
        && reader.layout() == qorDatFile::TabDelimited
        && reader.GetFieldList(header) == qsizetype(fields.size());
    for (size_t i = 0; headerOk && i < fields.size(); ++i)
        headerOk = header.at(qsizetype(i)) == fields[i].field;
    if (!headerOk) {
        why = QStringLiteral("its first line is not the list's header");
        return false;
    }

    rows.clear();
    QString value;
    while (reader.gr(-1)) {
        SignRow row;
        for (const auto& f : fields) {
            reader.gf(f.field, value);
            row.column(f.column) = value;
        }
        rows.push_back(std::move(row));
    }
    if (reader.readFailed()) {
        why = QStringLiteral("it could not be read to its end");
        return false;
    }
    return true;
}

} // namespace

bool WorkList::parse(const QByteArray& bytes, const QString& path, std::vector<SignRow>& rows,
    QString* reason, QByteArray* damaged, int* firstDamaged)
{
    const Fields fields = SignListImportExport::exportFields();
    if (damaged)
        damaged->clear();
    if (firstDamaged)
        *firstDamaged = 0;
    QByteArray good;
    QString why;
    if (sortLines(bytes, qsizetype(fields.size()), good, why, damaged, firstDamaged)
        && readRows(good, path, fields, rows, why))
        return true;
    rows.clear();
    if (reason)
        *reason = why;
    return false;
}

void WorkList::keepEarlierBadCopies(const QString& bad)
{
    // The copies of earlier sessions move one number up; the oldest beyond
    // the fifth goes.
    const auto numbered = [&bad](int n) { return bad + QLatin1Char('.') + QString::number(n); };
    QFile::remove(numbered(KeptBadCopies));
    for (int n = KeptBadCopies - 1; n >= 1; --n) {
        if (QFileInfo(numbered(n)).exists())
            QFile::rename(numbered(n), numbered(n + 1));
    }
    if (QFileInfo(bad).exists())
        QFile::rename(bad, numbered(1));
}

namespace {

// Reads the work list file into rows; reason is set when it cannot be read
// at all, damaged holds the lines that cannot be rows.
void readWorkFile(const QFileInfo& info, const QString& path, std::vector<SignRow>& rows,
    QString& reason, QByteArray& damaged, int& firstDamaged)
{
    QFile file(path);
    if (!info.isFile()) {
        reason = QStringLiteral("it is not a regular file");
    } else if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            reason = file.errorString();
        else
            WorkList::parse(bytes, path, rows, &reason, &damaged, &firstDamaged);
        file.close();
    }
}

QString unreadableProblem(const QString& reason, const QString& bad, bool kept)
{
    return kept ? QStringLiteral("The sign list of the last session could not be read (%1).\n"
                                 "The file was set aside as %2 and the list starts empty.")
                      .arg(reason, QDir::toNativeSeparators(bad))
                : QStringLiteral("The sign list of the last session could not be read (%1), "
                                 "nor set aside as %2.\nThe list starts empty.")
                      .arg(reason, QDir::toNativeSeparators(bad));
}

// Writes the damaged lines to the .bad file, under the list's header so
// that Read Data File can load what is left of them, and says so.
QString setDamagedAside(
    const QString& bad, const QByteArray& damaged, int firstDamaged, size_t restored)
{
    const int lines = int(damaged.count('\n'));
    QString error;
    const bool kept = SafeFile::writeAll(
        bad, SignListImportExport::ExportHeader.toLatin1() + "\r\n" + damaged, &error, 0600);
    const QString what = lines == 1
        ? QStringLiteral("Line %1 of the sign list of the last session is damaged")
              .arg(firstDamaged)
        : QStringLiteral("%1 lines of the sign list of the last session are damaged (the first "
                         "is line %2)")
              .arg(lines)
              .arg(firstDamaged);
    const QString others = restored == 0 ? QStringLiteral("no other line holds a sign")
        : restored == 1                  ? QStringLiteral("the other sign is restored")
                        : QStringLiteral("the other %1 signs are restored").arg(restored);
    return kept
        ? QStringLiteral("%1.\n%2 set aside in %3; %4.")
              .arg(what, lines == 1 ? QStringLiteral("It was") : QStringLiteral("They were"),
                  QDir::toNativeSeparators(bad), others)
        : QStringLiteral("%1.\n%2 could not be set aside in %3 (%4); %5.")
              .arg(what, lines == 1 ? QStringLiteral("It") : QStringLiteral("They"),
                  QDir::toNativeSeparators(bad), error, others);
}

} // namespace

WorkList::Restored WorkList::restore()
{
    Restored result;
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return result;

    QString reason;
    std::vector<SignRow> rows;
    QByteArray damaged;
    int firstDamaged = 0;
    readWorkFile(info, m_path, rows, reason, damaged, firstDamaged);

    const QString bad = m_path + QStringLiteral(".bad");
    if (!reason.isEmpty()) {
        // Kept for the user to look at (it is an export file, so Read Data
        // File can load what is readable); the session starts empty.
        keepEarlierBadCopies(bad);
        result.problem = unreadableProblem(reason, bad, QFile::rename(m_path, bad));
        return result;
    }
    if (!damaged.isEmpty()) {
        keepEarlierBadCopies(bad);
        result.problem = setDamagedAside(bad, damaged, firstDamaged, rows.size());
    }

    result.signs = int(rows.size());
    if (!rows.empty()) {
        // As after an import: the signs, then an empty row to go on with.
        rows.emplace_back();
        m_model.replaceRows(1, m_model.Rows() - 1, std::move(rows));
    }
    return result;
}

WorkList::Line WorkList::lineOf(int row) const
{
    Line line;
    line.unwritable
        = !SignListImportExport::appendRow(line.bytes, m_model.signRow(row), row, m_path, nullptr);
    return line;
}

std::vector<WorkList::Line>& WorkList::ownBlock(int i, size_t& at)
{
    size_t b = 0;
    at = size_t(i);
    while (b + 1 < m_blocks.size() && at >= m_blocks[b]->size()) {
        at -= m_blocks[b]->size();
        ++b;
    }
    // Only the window hands blocks out, so a block nobody else holds now
    // stays the window's own.
    if (m_blocks[b].use_count() > 1)
        m_blocks[b] = std::make_shared<std::vector<Line>>(*m_blocks[b]);
    return *m_blocks[b];
}

void WorkList::encode(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        size_t at = 0;
        Line& line = ownBlock(i, at)[at];
        m_unwritable -= line.unwritable ? 1 : 0;
        line = lineOf(i + 1);
        m_unwritable += line.unwritable ? 1 : 0;
    }
}

void WorkList::rowsInserted(int first, int last)
{
    std::vector<Line> lines;
    lines.reserve(size_t(last - first + 1));
    for (int i = first; i <= last; ++i) {
        lines.push_back(lineOf(i + 1));
        m_unwritable += lines.back().unwritable ? 1 : 0;
    }
    if (m_blocks.empty())
        m_blocks.push_back(std::make_shared<std::vector<Line>>());
    size_t at = 0;
    std::vector<Line>& block = ownBlock(first, at);
    block.insert(block.begin() + qsizetype(at), std::make_move_iterator(lines.begin()),
        std::make_move_iterator(lines.end()));
    if (block.size() <= 2 * BlockLines)
        return;
    // A grown block is cut into blocks of the usual size.
    size_t b = 0;
    while (m_blocks[b].get() != &block)
        ++b;
    std::vector<Block> pieces;
    for (size_t from = 0; from < block.size(); from += BlockLines) {
        const auto begin = block.begin() + qsizetype(from);
        const auto end = block.begin() + qsizetype(qMin(block.size(), from + BlockLines));
        pieces.push_back(std::make_shared<std::vector<Line>>(
            std::make_move_iterator(begin), std::make_move_iterator(end)));
    }
    m_blocks.erase(m_blocks.begin() + qsizetype(b));
    m_blocks.insert(m_blocks.begin() + qsizetype(b), pieces.begin(), pieces.end());
}

void WorkList::rowsRemoved(int first, int last)
{
    int count = last - first + 1;
    while (count > 0) {
        size_t at = 0;
        std::vector<Line>& block = ownBlock(first, at);
        const size_t n = qMin(block.size() - at, size_t(count));
        for (size_t k = at; k < at + n; ++k)
            m_unwritable -= block[k].unwritable ? 1 : 0;
        block.erase(block.begin() + qsizetype(at), block.begin() + qsizetype(at + n));
        count -= int(n);
        if (block.empty() && m_blocks.size() > 1) {
            size_t b = 0;
            while (m_blocks[b].get() != &block)
                ++b;
            m_blocks.erase(m_blocks.begin() + qsizetype(b));
        }
    }
}

void WorkList::rebuild()
{
    m_blocks.clear();
    m_unwritable = 0;
    rowsInserted(0, m_model.rowCount() - 1);
}

void WorkList::watch()
{
    if (m_watching)
        return;
    m_watching = true;
    rebuild();
    connect(&m_model, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            encode(topLeft.row(), bottomRight.row());
            schedule();
        });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) {
            rowsInserted(first, last);
            schedule();
        });
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this,
        [this](const QModelIndex&, int first, int last) {
            rowsRemoved(first, last);
            schedule();
        });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        rebuild();
        schedule();
    });
}

void WorkList::schedule()
{
    // Not restarted by further changes: a steady stream of edits is still
    // saved every SaveDelayMs.
    if (!m_timer.isActive())
        m_timer.start(SaveDelayMs);
}

QString WorkList::unwritableReason() const
{
    if (m_unwritable == 0)
        return QString();
    int row = 1;
    for (const Block& block : m_blocks) {
        for (const Line& line : *block) {
            if (line.unwritable) {
                QByteArray ignored;
                QString reason;
                SignListImportExport::appendRow(
                    ignored, m_model.signRow(row), row, m_path, &reason);
                return reason;
            }
            ++row;
        }
    }
    return QString();
}

void WorkList::startWrite()
{
    if (m_writing) {
        m_again = true;
        return;
    }
    const QString unwritable = unwritableReason();
    if (!unwritable.isEmpty()) {
        writeDone(unwritable);
        return;
    }
    m_writing = true;
    // The blocks are shared with the worker, not copied.
    m_pool.start([this, blocks = m_blocks, path = m_path]() {
        const QString error = write(blocks, path);
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
    if (!m_watching)
        rebuild();
    QString reason = unwritableReason();
    if (reason.isEmpty())
        reason = write(m_blocks, m_path);
    if (error)
        *error = reason;
    m_lastError = reason;
    return reason.isEmpty();
}

QString WorkList::write(const std::vector<Block>& blocks, const QString& path)
{
    QByteArray content = SignListImportExport::ExportHeader.toLatin1() + "\r\n";
    qsizetype size = content.size();
    for (const Block& block : blocks) {
        for (const Line& line : *block)
            size += line.bytes.size();
    }
    content.reserve(size);
    for (const Block& block : blocks) {
        for (const Line& line : *block)
            content += line.bytes;
    }

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Can not create the folder %1").arg(QDir::toNativeSeparators(folder));
    // A new file takes the old one's place only when it is complete; it
    // holds costs, so only its owner may read it.
    QString reason;
    if (!SafeFile::writeAll(path, content, &reason, 0600))
        return QStringLiteral("Can not write %1: %2").arg(path, reason);
    return QString();
}
