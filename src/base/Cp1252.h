#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The single-byte Windows-1252 code page that the POS files and the export
// use. Decoding never fails (every byte maps to a character); encoding
// reports the first character the code page cannot hold instead of
// replacing it, so that nothing is silently written as "?".
//
// The tables come from Qt's "windows-1252" codec once per process; byte
// conversions afterwards are plain table look-ups, which matters for files
// of a hundred thousand records.
namespace Cp1252 {

QString decode(QByteArrayView bytes);

// The encoded bytes, or nothing when a character cannot be written; then
// badIndex (when given) receives the index of the first such character.
std::optional<QByteArray> encode(const QString& text, qsizetype* badIndex = nullptr);

// Appends the encoded text to out; false (out partly written) when a
// character cannot be written, with its index in badIndex.
bool appendEncoded(QByteArray& out, const QString& text, qsizetype* badIndex = nullptr);

// True when the platform codec was available; otherwise the built-in table
// (the same mapping) is in use.
bool usesPlatformCodec();

} // namespace Cp1252
