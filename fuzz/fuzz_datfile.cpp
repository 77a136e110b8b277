// Feeds arbitrary bytes to the data-file reader. The first bytes choose a
// block size, a line number and dictionary lengths; the rest is the file.
// Every record is read twice, with a tiny block size and the default one,
// and the results must agree: line assembly may not depend on the blocks.
#include "itemdata/qorDatFile.h"
#include "itemdata/qorDct.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Reading
{
    qint16 status = 0;
    QList<QString> lines;
    QList<QString> values;
    QList<qint16> codes;
};

Reading readAll(const QByteArray& file, const qorDct& dict, qint64 blockSize, qint32 jump)
{
    Reading out;
    qorDatFile reader;
    reader.setBlockSize(blockSize);
    out.status = reader.fopenData(file, QStringLiteral("fuzz"), dict);
    if (out.status != 0) {
        if (reader.isOpen())
            std::abort();
        return out;
    }
    QList<qint32> fields;
    const qint16 n = reader.GetFieldList(fields);
    if (fields.size() != n + 1 || fields.constLast() != -1)
        std::abort();
    int records = 0;
    QString value;
    bool ended = false;
    while (records < 200) {
        if (!reader.gr(-1)) {
            ended = true;
            break;
        }
        ++records;
        out.lines.append(reader.LineBuf());
        for (qint16 k = 0; k < n && k < 16; ++k) {
            const qint32 f = fields.at(k);
            out.codes.append(f <= 32767 ? reader.gf(qint16(f), value) : qint16(-9));
            out.values.append(value);
        }
        out.codes.append(reader.gf(-5, value));
    }
    if (ended && reader.gr(-1))
        std::abort(); // after the end the reader keeps failing
    // Any line number, then back to the first record without reopening.
    if (reader.gr(jump) && jump >= 1 && reader.lineNumber() != jump)
        std::abort();
    if (records > 0 && !reader.gr(1))
        std::abort();
    reader.fclose();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    const qint64 blockSize = 1 + (data[0] % 7);
    const qint32 jump = qint32(int8_t(data[1])) * 3;
    qorDct dict;
    const qint16 lengths[] = { qint16(int8_t(data[2])), qint16(data[3]), qint16(data[4] % 40) };
    int which = 0;
    for (const qint16 field : { 1, 10, 48, 54, 56, 177, 178, 179, 182, 0 })
        dict.setDLen(field, lengths[which++ % 3]);
    const QByteArray file(reinterpret_cast<const char*>(data + 5), qsizetype(size - 5));

    const Reading small = readAll(file, dict, blockSize, jump);
    const Reading large = readAll(file, dict, 64 * 1024, jump);
    if (small.status != large.status || small.lines != large.lines || small.values != large.values
        || small.codes != large.codes)
        std::abort();
    return 0;
}
