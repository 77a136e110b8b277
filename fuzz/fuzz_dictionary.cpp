// Feeds arbitrary bytes to the dictionary reader as a dictionary file: the
// field-definition sections and the master/store block.
#include "itemdata/qorDct.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    qorDct dict;
    const qint16 r = dict.setupFromData(bytes, QStringLiteral("INV"), 99);
    if (r != 0 && r != 1 && r != 2)
        std::abort();
    const bool prisame = size > 0 && (data[0] & 1);
    const qint16 s = dict.setupmsFromData(bytes, prisame);
    if (s != 0 && s != 1 && s != 2)
        std::abort();
    if (dict.dLast() < 0 || dict.dLast() > 199)
        std::abort();
    // Every property under the index rule, including numbers far outside.
    for (const qint16 ix : { qint16(-32768), qint16(-1), qint16(0), qint16(10), qint16(199),
             qint16(200), qint16(1182), qint16(32767) }) {
        (void)dict.dAlpha(ix);
        (void)dict.dDesc(ix).size();
        (void)dict.dLen(ix);
        (void)dict.dStDat(ix);
    }
    return 0;
}
