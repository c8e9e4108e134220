#include "document/TextFile.h"

#include "document/AtomicFile.h"
#include "document/Cp932.h"
#include "document/SoftBreaks.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTextDocument>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace velmor {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

bool isUnicodeText(QByteArrayView bytes)
{
    return bytes.size() > 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// Well-formed UTF-8 as RFC 3629 has it: no overlong forms, no surrogates, nothing above
// U+10FFFF. True only when there is at least one multi-byte character, since pure ASCII
// reads the same as CP932.
bool isMultiByteUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    bool multiByte = false;
    while (p < end) {
        // Runs of ASCII are skipped eight bytes at a time.
        for (quint64 word; end - p >= 8; p += 8) {
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
        }
        if (p == end)
            break;
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
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
            return false;
        }
        if (end - p <= trail || p[1] < low || p[1] > high)
            return false;
        for (qsizetype i = 2; i <= trail; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        p += trail + 1;
        multiByte = true;
    }
    return multiByte;
}

QString decodeUtf16Le(QByteArrayView body)
{
    const qsizetype units = body.size() / 2;
    QString text(units + body.size() % 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(body.data(), units, text.data());
    if (body.size() % 2)
        text[units] = QChar::ReplacementCharacter;
    return text;
}

QString decodeUtf8(QByteArrayView body)
{
    // fromUtf8 would drop a leading U+FEFF, but after the mark (already cut off) it is text.
    qsizetype marks = 0;
    while (body.sliced(marks * kUtf8Bom.size()).startsWith(kUtf8Bom))
        ++marks;
    const QString text = QString::fromUtf8(body.sliced(marks * kUtf8Bom.size()));
    return marks == 0 ? text : QString(marks, QChar(0xFEFF)) + text;
}

// Turns every CR LF, and every CR on its own, into LF in place. Returns the style of the
// first line break.
LineBreak foldLineBreaks(QString& text)
{
    const qsizetype size = text.size();
    qsizetype read = text.indexOf(u'\r');
    if (read < 0)
        return LineBreak::Lf;
    const bool crLfFirst =
        read + 1 < size && text[read + 1] == u'\n' && !QStringView(text).first(read).contains(u'\n');
    QChar* const data = text.data();
    qsizetype write = read;
    while (read < size) {
        // data[read] is a CR.
        data[write++] = u'\n';
        read += read + 1 < size && data[read + 1] == u'\n' ? 2 : 1;
        qsizetype next = QStringView(data + read, size - read).indexOf(u'\r');
        next = next < 0 ? size : read + next;
        std::memmove(data + write, data + read, size_t(next - read) * sizeof(QChar));
        write += next - read;
        read = next;
    }
    text.truncate(write);
    return crLfFirst ? LineBreak::CrLf : LineBreak::Lf;
}

// Line by line, since finding a character is far faster than counting them one by one.
template <typename View, typename Char>
qsizetype countOf(View text, Char c)
{
    qsizetype count = 0;
    for (qsizetype at = text.indexOf(c); at >= 0; at = text.indexOf(c, at + 1))
        ++count;
    return count;
}

// prefix, then body with every LF written as CR LF. Neither CP932 nor UTF-8 has the byte
// 0x0A inside a multi-byte character, so the bytes can be worked on directly.
QByteArray withCrLf(QByteArrayView prefix, QByteArrayView body)
{
    const qsizetype breaks = countOf(body, '\n');
    QByteArray bytes(prefix.size() + body.size() + breaks, Qt::Uninitialized);
    char* out = std::copy(prefix.begin(), prefix.end(), bytes.data());
    qsizetype start = 0;
    for (qsizetype lf; (lf = body.indexOf('\n', start)) >= 0; start = lf + 1) {
        out = std::copy(body.begin() + start, body.begin() + lf, out);
        *out++ = '\r';
        *out++ = '\n';
    }
    std::copy(body.begin() + start, body.end(), out);
    return bytes;
}

QByteArray encodeUnicodeText(QStringView text)
{
    const qsizetype breaks = countOf(text, u'\n');
    const bool endLastLine = !text.isEmpty() && !text.endsWith(u'\n');
    const qsizetype units = text.size() + breaks + (endLastLine ? 2 : 0);
    QByteArray bytes(2 + units * 2, Qt::Uninitialized);
    bytes[0] = char(0xFF);
    bytes[1] = char(0xFE);
    char* out = bytes.data() + 2;
    const auto put = [&out](QStringView part) {
        qToLittleEndian<char16_t>(part.utf16(), part.size(), out);
        out += part.size() * 2;
    };
    qsizetype start = 0;
    for (qsizetype lf; (lf = text.indexOf(u'\n', start)) >= 0; start = lf + 1) {
        put(text.sliced(start, lf - start));
        put(u"\r\n");
    }
    if (endLastLine) {
        put(text.sliced(start));
        put(u"\r\n");
    }
    return bytes;
}

QByteArray encodeUtf8Text(QStringView text, bool byteOrderMark, LineBreak lineBreak)
{
    const QByteArrayView mark = byteOrderMark ? kUtf8Bom : QByteArrayView();
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    if (lineBreak == LineBreak::CrLf) {
        QByteArray body(encoder.requiredSpace(text.size()), Qt::Uninitialized);
        body.truncate(encoder.appendToBuffer(body.data(), text) - body.data());
        return withCrLf(mark, body);
    }
    QByteArray bytes(mark.size() + encoder.requiredSpace(text.size()), Qt::Uninitialized);
    char* const begin = std::copy(mark.begin(), mark.end(), bytes.data());
    bytes.truncate(encoder.appendToBuffer(begin, text) - bytes.data());
    return bytes;
}

} // namespace

DecodedText decodeText(QByteArrayView bytes)
{
    DecodedText decoded;
    if (isUnicodeText(bytes)) {
        decoded.text = decodeUtf16Le(bytes.sliced(2));
        foldLineBreaks(decoded.text);
        decoded.format = {TextEncoding::Utf16Le, LineBreak::CrLf};
    } else if (bytes.startsWith(kUtf8Bom) || isMultiByteUtf8(bytes)) {
        const bool byteOrderMark = bytes.startsWith(kUtf8Bom);
        decoded.text = decodeUtf8(bytes.sliced(byteOrderMark ? kUtf8Bom.size() : 0));
        const LineBreak lineBreak = foldLineBreaks(decoded.text);
        decoded.format = {byteOrderMark ? TextEncoding::Utf8Bom : TextEncoding::Utf8, lineBreak};
    } else {
        decoded.text = decodeCp932(bytes);
        foldLineBreaks(decoded.text);
        decoded.format = {TextEncoding::Cp932, LineBreak::CrLf};
    }
    return decoded;
}

QByteArray encodeText(QStringView text, TextFormat format, int* replaced)
{
    if (replaced)
        *replaced = 0;
    switch (format.encoding) {
    case TextEncoding::Utf16Le:
        return encodeUnicodeText(text);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return encodeUtf8Text(text, format.encoding == TextEncoding::Utf8Bom, format.lineBreak);
    case TextEncoding::Cp932:
        break;
    }
    return withCrLf({}, encodeCp932(text, replaced));
}

QString documentText(const QTextDocument& document) { return wholeText(document); }

FileError::FileError(const QString& message, const QString& path)
    : std::runtime_error(message.toStdString()), m_path(path)
{
}

FileError FileError::cannotOpen(const QString& path)
{
    return FileError(QStringLiteral("ファイル %1 は開けません").arg(path), path);
}

FileError FileError::tooLarge(const QString& path, qsizetype maxChars)
{
    return FileError(QStringLiteral("ファイル %1 は大きすぎます\nThe text is longer than %2 characters.")
                         .arg(path, QString::number(maxChars)),
                     path);
}

FileError FileError::cannotCreate(const QString& path)
{
    return FileError(QStringLiteral("ファイル %1 を作成できません").arg(path), path);
}

DecodedText readTextFile(const QString& path, qsizetype maxChars)
{
    // Devices and pipes could be read without end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    // No character takes more than four bytes (a UTF-16 CR LF), so a file this big is refused unread.
    if ((file.size() - 3) / 4 > maxChars)
        throw FileError::tooLarge(path, maxChars);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path);
    DecodedText decoded = decodeText(bytes);
    if (decoded.text.size() > maxChars)
        throw FileError::tooLarge(path, maxChars);
    return decoded;
}

int writeTextFile(const QString& path, QStringView text, TextFormat format)
{
    int replaced = 0;
    if (!writeFileAtomically(path, encodeText(text, format, &replaced)))
        throw FileError::cannotCreate(path);
    return replaced;
}

} // namespace velmor
