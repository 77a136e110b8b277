#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class qorDct;

// Reads POS data files: a header line of POS field numbers, then one record
// per line with its fields in header order, either quote-and-comma (layout
// 0), comma-separated without quoting (1) or tab-delimited (2). Hands out
// single fields by field number, cut to the dictionary's length for that
// field, with trailing spaces removed.
//
// Lines are assembled by byte position from blocks of the file, so a file of
// any size is read a line at a time and going back to the first record does
// not reopen it. Outcomes are 16-bit status codes; the three open failures
// are also told to the user through the notifier.
class qorDatFile
{
public:
    static constexpr qint16 StatusOk = 0;
    static constexpr qint16 StatusCannotOpen = 1;
    static constexpr qint16 StatusEmpty = 2;
    static constexpr qint16 StatusInvalidHeader = 3;
    static constexpr qint16 FieldBlank = 1;
    static constexpr qint16 FieldMissing = -1;

    enum Layout : qint16 { QuoteAndComma = 0, CommaSeparated = 1, TabDelimited = 2 };

    // Receives the text of each "Fopen:" message.
    using Notifier = std::function<void(const QString& text)>;

    explicit qorDatFile(Notifier notify = Notifier());
    ~qorDatFile();
    qorDatFile(const qorDatFile&) = delete;
    qorDatFile& operator=(const qorDatFile&) = delete;

    // Opens the file and reads its header. mode 0 reads only; mode 1 deletes
    // any file of that name first and opens it for reading and writing; any
    // other mode opens it for reading and writing. flds and Typ are accepted
    // and not used. 0 open with a valid header, 1 cannot open, 2 empty,
    // 3 invalid header; on anything but 0 the file is closed again.
    qint16 fopen(const QString& Fname, const qorDct& Dict, const QString& flds = QString(),
        qint16 mode = 0, qint16 Typ = 0);
    // The same on bytes in memory (named Fname in the messages).
    qint16 fopenData(const QByteArray& data, const QString& Fname, const qorDct& Dict);
    // The same on an open device, read block by block as a file is.
    qint16 fopenDevice(std::unique_ptr<QIODevice> device, const QString& Fname, const qorDct& Dict);

    // Without a line number (or below 1): reads the next record. Otherwise
    // makes record line iline the current one, going back to the first
    // record when needed; true when the line buffer then holds it.
    bool gr(qint32 iline = -1);
    // The value of POS field ifld in the current record: 0 found and not
    // blank, 1 blank, -1 not in the header (ibuf then "").
    qint16 gf(qint16 ifld, QString& ibuf) const;
    // arr receives the header's field numbers in order followed by -1;
    // returns their count.
    qint16 GetFieldList(QList<qint32>& arr) const;
    void fclose();

    QString FieldList() const { return m_fieldListText; }
    QString LineBuf() const;
    qint16 layout() const { return m_layout; }
    qint32 lineNumber() const { return m_lineNumber; }
    bool isOpen() const { return m_device != nullptr; }
    // True when the last read stopped because the file could not be read
    // (not at the end of the data).
    bool readFailed() const { return m_readFailed; }
    // The line of the file (the header being line 1) that holds the NUL byte
    // ending the data; 0 when none was met.
    qint32 nulLine() const { return m_nulLine; }
    // The line of the file (the header being line 1) that a read error cut
    // short, ending the data; 0 when none did.
    qint32 readErrorLine() const { return m_readErrorLine; }

    // Bytes fetched per block. The result never depends on it; tests make it
    // small to put line ends on block boundaries.
    void setBlockSize(qint64 bytes) { m_blockSize = qMax<qint64>(1, bytes); }

private:
    enum class Start { Header, Rewind, Next };

    qint16 openDevice(std::unique_ptr<QIODevice> device, const QString& Fname, const qorDct& Dict);
    bool readLine(Start how);
    qint64 scanLine(qint64 pos, Start how, bool& atLineFeed, bool& cut);
    bool fieldAt(qsizetype position, QByteArrayView& field) const;
    // Makes the block that holds byte offset (counted from 0) current;
    // false at the end of the data or on a read failure.
    bool loadBlock(qint64 offset);
    bool parseHeader();
    void notify(const QString& text) const;

    Notifier m_notify;
    const qorDct* m_dict = nullptr;
    std::unique_ptr<QIODevice> m_device;

    // Header.
    std::vector<qint32> m_fields; // numbers beyond 16 bits are kept but never match
    QString m_fieldListText;
    qint16 m_layout = QuoteAndComma;

    // Reading position; byte positions count from 1, 0 meaning none.
    qint32 m_lineNumber = 0;
    qint64 m_firstRecordPos = 0;
    qint64 m_nextPos = 0;
    qint64 m_dataEndPos = -1; // position of a NUL that ends the data, -1 none seen
    qint32 m_nulLine = 0;
    qint32 m_readErrorLine = 0;
    QByteArray m_line;
    bool m_readFailed = false;
    bool m_headerTooLong = false;

    qint64 m_blockSize = 64 * 1024;
    QByteArray m_block;
    qint64 m_blockStart = -1; // offset (from 0) of m_block in the file
};
