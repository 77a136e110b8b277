#include "base/PngScaler.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <vector>

namespace {

// What the decoding keeps across the library's error jump: nothing here
// lives in a register of the function that set the jump.
struct Decode
{
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> row;
    std::vector<quint32> sums; // per source sample, over the rows of a band
    std::vector<quint32> columnWidth; // source columns per target column
    QImage out;
    bool interlaced = false;
    int channels = 4;
    char message[200] = {};

    ~Decode()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file)
            std::fclose(file);
    }
};

void onError(png_structp png, png_const_charp text)
{
    auto* d = static_cast<Decode*>(png_get_error_ptr(png));
    std::snprintf(d->message, sizeof d->message, "%s", text);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) { }

// Writes the averages of one band of source rows as target row y.
void emitRow(Decode& d, int y, quint64 rows)
{
    uchar* line = d.out.scanLine(y);
    const int width = d.out.width();
    const int channels = d.channels;
    quint32* sums = d.sums.data();
    for (int x = 0; x < width; ++x) {
        const quint32 columns = d.columnWidth[size_t(x)];
        const quint64 n = rows * columns;
        quint64 total[4] = { 0, 0, 0, 0 };
        for (quint32 k = 0; k < columns; ++k, sums += channels) {
            for (int c = 0; c < channels; ++c) {
                total[c] += sums[c];
                sums[c] = 0;
            }
        }
        uchar sample[4] = { 0, 0, 0, 255 };
        for (int c = 0; c < channels; ++c)
            sample[c] = uchar(n ? (total[c] + n / 2) / n : 0);
        uchar* px = line + x * 4;
        if (channels <= 2) { // gray, and alpha
            px[0] = px[1] = px[2] = sample[0];
            px[3] = channels == 2 ? sample[1] : 255;
        } else {
            px[0] = sample[0];
            px[1] = sample[1];
            px[2] = sample[2];
            px[3] = sample[3];
        }
    }
}

// The decoding proper; errors jump back into PngScaler::read.
void decode(Decode& d, QSize size)
{
    png_set_error_fn(d.png, &d, onError, onWarning);
    png_init_io(d.png, d.file);
    // The decoded size is bounded by the target, not by the file.
    png_set_user_limits(d.png, 0x7fffffff, 0x7fffffff);
    png_read_info(d.png, d.info);
    const png_uint_32 width = png_get_image_width(d.png, d.info);
    const png_uint_32 height = png_get_image_height(d.png, d.info);
    if (png_get_interlace_type(d.png, d.info) != PNG_INTERLACE_NONE) {
        d.interlaced = true;
        return;
    }
    // Samples of 8 bits, as gray, gray and alpha, RGB or RGBA: the sums are
    // kept per sample, and spread to RGBA only for the target row.
    png_set_expand(d.png);
    png_set_strip_16(d.png);
    png_read_update_info(d.png, d.info);
    const int channels = png_get_channels(d.png, d.info);
    if (channels < 1 || channels > 4)
        png_error(d.png, "unsupported sample layout");
    d.channels = channels;

    const int outW = size.width();
    const int outH = size.height();
    d.out = QImage(outW, outH, QImage::Format_RGBA8888);
    if (d.out.isNull())
        png_error(d.png, "out of memory");
    d.row.resize(size_t(width) * size_t(channels));
    d.sums.assign(d.row.size(), 0);
    // A band's sums are 32-bit: at most this many rows of 255 each.
    if (height / png_uint_32(outH) + 1 > 0xffffffffu / 255)
        png_error(d.png, "picture too tall");
    d.columnWidth.assign(size_t(outW), 0);
    for (png_uint_32 x = 0; x < width; ++x)
        ++d.columnWidth[size_t(quint64(x) * quint64(outW) / width)];

    int band = 0;
    quint64 rowsInBand = 0;
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(d.png, d.row.data(), nullptr);
        const int target = int(quint64(y) * quint64(outH) / height);
        if (target != band) {
            emitRow(d, band, rowsInBand);
            band = target;
            rowsInBand = 0;
        }
        ++rowsInBand;
        // Rows are summed sample by sample; the columns of a target pixel
        // only once per target row.
        const png_byte* px = d.row.data();
        quint32* sums = d.sums.data();
        const size_t samples = d.row.size();
        for (size_t i = 0; i < samples; ++i)
            sums[i] += px[i];
    }
    emitRow(d, band, rowsInBand);
}

} // namespace

QImage PngScaler::read(const QString& path, QSize size)
{
    m_handled = true;
    m_error.clear();
    Decode d;
    d.file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!d.file) {
        m_error = QStringLiteral("Can not open the picture file");
        return QImage();
    }
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    d.info = d.png ? png_create_info_struct(d.png) : nullptr;
    if (!d.info) {
        m_error = QStringLiteral("out of memory");
        return QImage();
    }
    if (setjmp(png_jmpbuf(d.png))) {
        m_error = QString::fromLatin1(d.message);
        return QImage();
    }
    decode(d, size.expandedTo(QSize(1, 1)));
    if (d.interlaced) {
        m_handled = false;
        return QImage();
    }
    return d.out;
}
