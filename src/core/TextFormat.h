#pragma once

#include <optional>

namespace velmor {

// How a text file is stored.
//  Cp932:   plain text in code page 932, no header.
//  Utf16Le: Unicode text: FF FE, then UTF-16 little-endian, a line break after every line.
//  Utf16Be: the same with FE FF and big-endian code units.
//  Utf8, Utf8Bom: UTF-8 without or with its byte-order mark (EF BB BF).
enum class TextEncoding { Cp932, Utf16Le, Utf16Be, Utf8, Utf8Bom };

enum class LineBreak { CrLf, Lf, Cr };

struct TextFormat {
    constexpr TextFormat() = default;
    constexpr TextFormat(TextEncoding encoding_, LineBreak lineBreak_, std::optional<char> trailingByte_ = std::nullopt)
        : encoding(encoding_), lineBreak(lineBreak_), trailingByte(trailingByte_)
    {
    }

    TextEncoding encoding = TextEncoding::Cp932;
    // Every line break is written this way, so that an unedited file keeps its own.
    LineBreak lineBreak = LineBreak::CrLf;
    // The last byte of a UTF-16 file of odd length: no character holds it, and it is written
    // back after the text so that the file loses nothing.
    std::optional<char> trailingByte;

    bool operator==(const TextFormat&) const = default;
};

} // namespace velmor
