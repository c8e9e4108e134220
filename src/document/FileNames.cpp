#include "document/FileNames.h"

namespace velmor {

namespace {

constexpr char16_t kByteBase = 0xDC00;

bool isKeptByte(char16_t c) { return c >= kByteBase + 0x80 && c <= kByteBase + 0xFF; }

// Length of the well-formed UTF-8 sequence at the start of bytes (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF); 0 when there is none.
qsizetype utf8SequenceLength(QByteArrayView bytes)
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

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = utf8SequenceLength(bytes.sliced(at));
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(runStart, at - runStart));
        name += QChar(char16_t(kByteBase + static_cast<unsigned char>(bytes[at])));
        runStart = ++at;
    }
    name += QString::fromUtf8(bytes.sliced(runStart));
    return name;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isKeptByte(name[i].unicode()))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - kByteBase);
        start = i + 1;
    }
    return bytes;
}

QString displayFileName(const QString& name)
{
    QString shown = name;
    for (QChar& c : shown) {
        if (isKeptByte(c.unicode()))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

} // namespace velmor
