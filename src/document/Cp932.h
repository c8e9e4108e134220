#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

namespace velmor {

// Shift-JIS as Windows extends it (code page 932), through the C library's iconv.

// A byte that is not part of any CP932 character is kept in the text as the private-use
// character kCp932RawByteBase + byte (U+F780..U+F7FF, clear of CP932's own user-defined
// U+E000..U+E757), so that encoding the text again gives the byte back.
inline constexpr char16_t kCp932RawByteBase = 0xF700;

constexpr bool isCp932RawByte(char16_t c) { return c >= kCp932RawByteBase + 0x80 && c <= kCp932RawByteBase + 0xFF; }

// Never fails: each byte that cannot be decoded becomes its raw-byte character and decoding
// goes on with the next byte, so an ASCII byte after a broken lead byte survives.
QString decodeCp932(QByteArrayView bytes);

// Raw-byte characters become their bytes again. Every other character without a CP932 form
// (lone surrogates included) becomes "?"; their number is stored in *unmappable when given.
QByteArray encodeCp932(QStringView text, int* unmappable = nullptr);

// The same, except that only the characters at the ascending positions rawBytes names are
// taken for raw bytes: a raw-byte character anywhere else is unmappable like any other.
// examples, when given, receives the first kMostUnmappableExamples different unmappable
// characters, in the order they come.
inline constexpr qsizetype kMostUnmappableExamples = 5;
QByteArray encodeCp932(QStringView text, std::span<const qsizetype> rawBytes, int* unmappable,
                       QStringList* examples = nullptr);

} // namespace velmor
