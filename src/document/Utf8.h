#pragma once

#include <QByteArrayView>

namespace velmor {

// Length of the well-formed UTF-8 sequence at the start of bytes (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF); 0 when there is none.
inline qsizetype utf8SequenceLength(QByteArrayView bytes)
{
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    qsizetype trail = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() <= trail || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype i = 2; i <= trail; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return trail + 1;
}

} // namespace velmor
