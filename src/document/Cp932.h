#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace velmor {

// Shift-JIS as Windows extends it (code page 932), through the C library's iconv.

// Never fails: each byte that cannot be decoded becomes U+FFFD and decoding goes on
// with the next byte, so an ASCII byte after a broken lead byte survives.
QString decodeCp932(QByteArrayView bytes);

// Each character without a CP932 form (lone surrogates included) becomes "?";
// their number is stored in *unmappable when given.
QByteArray encodeCp932(QStringView text, int* unmappable = nullptr);

} // namespace velmor
