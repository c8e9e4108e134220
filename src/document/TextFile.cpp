#include "document/TextFile.h"

#include "document/AtomicFile.h"
#include "document/Cp932.h"
#include "document/FileNames.h"
#include "document/Utf8.h"

#include <QFile>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmor {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

constexpr QByteArrayView kUtf16LeBom("\xFF\xFE");
constexpr QByteArrayView kUtf16BeBom("\xFE\xFF");

// Unicode text of either byte order, or nothing.
std::optional<TextEncoding> unicodeEncodingOf(QByteArrayView bytes)
{
    if (bytes.size() <= 2)
        return std::nullopt;
    if (bytes.startsWith(kUtf16LeBom))
        return TextEncoding::Utf16Le;
    if (bytes.startsWith(kUtf16BeBom))
        return TextEncoding::Utf16Be;
    return std::nullopt;
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
        const qsizetype length = utf8SequenceLength(QByteArrayView(p, end - p));
        if (length == 0)
            return false;
        p += length;
        multiByte = true;
    }
    return multiByte;
}

// An odd last byte belongs to no code unit; it is left out of the text and kept in *trailing.
QString decodeUtf16(QByteArrayView body, TextEncoding encoding, std::optional<char>* trailing)
{
    const qsizetype units = body.size() / 2;
    QString text(units, Qt::Uninitialized);
    if (encoding == TextEncoding::Utf16Be)
        qFromBigEndian<char16_t>(body.data(), units, text.data());
    else
        qFromLittleEndian<char16_t>(body.data(), units, text.data());
    if (body.size() % 2)
        *trailing = body.back();
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

// Turns every CR LF, and every CR on its own, into LF in place, for a text whose line
// breaks are all CR LF or all CR.
void foldUniformLineBreaks(QString& text)
{
    const qsizetype size = text.size();
    qsizetype read = text.indexOf(u'\r');
    if (read < 0)
        return;
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
}

// The same for a text of mixed line breaks, listing each break that is not `usual`.
std::vector<LineBreakException> foldMixedLineBreaks(QString& text, LineBreak usual)
{
    std::vector<LineBreakException> others;
    const qsizetype size = text.size();
    QChar* const data = text.data();
    qsizetype write = 0;
    qsizetype line = 0;
    for (qsizetype read = 0; read < size;) {
        const char16_t c = data[read].unicode();
        if (c != u'\r' && c != u'\n') {
            data[write++] = data[read++];
            continue;
        }
        LineBreak kind = LineBreak::Lf;
        if (c == u'\r')
            kind = read + 1 < size && data[read + 1] == u'\n' ? LineBreak::CrLf : LineBreak::Cr;
        read += kind == LineBreak::CrLf ? 2 : 1;
        data[write++] = u'\n';
        if (kind != usual)
            others.push_back({line, kind});
        ++line;
    }
    text.truncate(write);
    return others;
}

struct FoldedLineBreaks {
    std::optional<LineBreak> usual; // nothing when the text has no line break
    std::vector<LineBreakException> others;
};

// Turns every line break into LF. The usual break is the most frequent one; of two as
// frequent, the one that comes first.
FoldedLineBreaks foldLineBreaks(QString& text)
{
    const QStringView view(text);
    qsizetype crLf = 0;
    qsizetype cr = 0;
    for (qsizetype at = view.indexOf(u'\r'); at >= 0; at = view.indexOf(u'\r', at + 1))
        ++(at + 1 < view.size() && view[at + 1] == u'\n' ? crLf : cr);
    qsizetype lf = 0;
    for (qsizetype at = view.indexOf(u'\n'); at >= 0; at = view.indexOf(u'\n', at + 1))
        ++lf;
    lf -= crLf;
    if (crLf + cr + lf == 0)
        return {};
    const qsizetype firstCr = view.indexOf(u'\r');
    const qsizetype firstLf = view.indexOf(u'\n');
    LineBreak first = LineBreak::Lf;
    if (firstCr >= 0 && (firstLf < 0 || firstCr < firstLf))
        first = firstLf == firstCr + 1 ? LineBreak::CrLf : LineBreak::Cr;
    const auto countOfKind = [&](LineBreak kind) {
        return kind == LineBreak::CrLf ? crLf : kind == LineBreak::Cr ? cr : lf;
    };
    LineBreak usual = first;
    for (LineBreak kind : {LineBreak::CrLf, LineBreak::Lf, LineBreak::Cr}) {
        if (countOfKind(kind) > countOfKind(usual))
            usual = kind;
    }
    if (countOfKind(usual) == crLf + cr + lf) {
        foldUniformLineBreaks(text);
        return {usual, {}};
    }
    return {usual, foldMixedLineBreaks(text, usual)};
}

QStringView lineBreakText(LineBreak lineBreak)
{
    switch (lineBreak) {
    case LineBreak::Lf:
        return u"\n";
    case LineBreak::Cr:
        return u"\r";
    case LineBreak::CrLf:
        break;
    }
    return u"\r\n";
}

// The break after each line in turn: the usual one, or the line's own.
class LineBreakSequence {
public:
    LineBreakSequence(LineBreak usual, std::span<const LineBreakException> others) : m_usual(usual), m_others(others) {}
    LineBreak next()
    {
        while (!m_others.empty() && m_others.front().line < m_line)
            m_others = m_others.subspan(1);
        const bool own = !m_others.empty() && m_others.front().line == m_line;
        ++m_line;
        return own ? m_others.front().lineBreak : m_usual;
    }

private:
    LineBreak m_usual;
    std::span<const LineBreakException> m_others;
    qsizetype m_line = 0;
};

// The extra units the breaks of the first `breaks` lines take beyond one each.
qsizetype extraBreakUnits(qsizetype breaks, LineBreak usual, std::span<const LineBreakException> others)
{
    qsizetype extra = breaks * (lineBreakText(usual).size() - 1);
    for (const LineBreakException& other : others) {
        if (other.line < breaks)
            extra += lineBreakText(other.lineBreak).size() - lineBreakText(usual).size();
    }
    return extra;
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

// prefix, then body with every LF written as lineBreak, or as the line's own break where
// others names one. Neither CP932 nor UTF-8 has the bytes 0x0A or 0x0D inside a multi-byte
// character, so the bytes can be worked on directly.
QByteArray withLineBreaks(QByteArrayView prefix, QByteArray body, LineBreak lineBreak,
                          std::span<const LineBreakException> others)
{
    if (lineBreak != LineBreak::CrLf && others.empty()) {
        if (lineBreak == LineBreak::Cr)
            body.replace('\n', '\r');
        return prefix.isEmpty() ? body : prefix.toByteArray() + body;
    }
    const qsizetype breaks = countOf(QByteArrayView(body), '\n');
    QByteArray bytes(prefix.size() + body.size() + extraBreakUnits(breaks, lineBreak, others), Qt::Uninitialized);
    char* out = std::copy(prefix.begin(), prefix.end(), bytes.data());
    LineBreakSequence sequence(lineBreak, others);
    qsizetype start = 0;
    for (qsizetype lf; (lf = body.indexOf('\n', start)) >= 0; start = lf + 1) {
        out = std::copy(body.begin() + start, body.begin() + lf, out);
        for (const QChar c : lineBreakText(sequence.next()))
            *out++ = char(c.unicode());
    }
    std::copy(body.begin() + start, body.end(), out);
    return bytes;
}

QByteArray encodeUnicodeText(QStringView text, const TextFormat& format, std::span<const LineBreakException> others)
{
    const bool bigEndian = format.encoding == TextEncoding::Utf16Be;
    const QStringView lineEnd = lineBreakText(format.lineBreak);
    const qsizetype breaks = countOf(text, u'\n');
    const bool endLastLine = !text.isEmpty() && !text.endsWith(u'\n');
    const qsizetype units = text.size() + extraBreakUnits(breaks, format.lineBreak, others)
        + (endLastLine ? lineEnd.size() : 0);
    QByteArray bytes(2 + units * 2 + (format.trailingByte ? 1 : 0), Qt::Uninitialized);
    const QByteArrayView mark = bigEndian ? kUtf16BeBom : kUtf16LeBom;
    char* out = std::copy(mark.begin(), mark.end(), bytes.data());
    const auto put = [&out, bigEndian](QStringView part) {
        if (bigEndian)
            qToBigEndian<char16_t>(part.utf16(), part.size(), out);
        else
            qToLittleEndian<char16_t>(part.utf16(), part.size(), out);
        out += part.size() * 2;
    };
    LineBreakSequence sequence(format.lineBreak, others);
    qsizetype start = 0;
    for (qsizetype lf; (lf = text.indexOf(u'\n', start)) >= 0; start = lf + 1) {
        put(text.sliced(start, lf - start));
        put(lineBreakText(sequence.next()));
    }
    // The break added after an unended last line is the usual one: the file had none there.
    if (endLastLine) {
        put(text.sliced(start));
        put(lineEnd);
    }
    if (format.trailingByte)
        *out = *format.trailingByte;
    return bytes;
}

QByteArray encodeUtf8Text(QStringView text, bool byteOrderMark, LineBreak lineBreak,
                          std::span<const LineBreakException> others)
{
    const QByteArrayView mark = byteOrderMark ? kUtf8Bom : QByteArrayView();
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    if (lineBreak == LineBreak::CrLf || !others.empty()) {
        QByteArray body(encoder.requiredSpace(text.size()), Qt::Uninitialized);
        body.truncate(encoder.appendToBuffer(body.data(), text) - body.data());
        return withLineBreaks(mark, std::move(body), lineBreak, others);
    }
    QByteArray bytes(mark.size() + encoder.requiredSpace(text.size()), Qt::Uninitialized);
    char* const begin = std::copy(mark.begin(), mark.end(), bytes.data());
    bytes.truncate(encoder.appendToBuffer(begin, text) - bytes.data());
    if (lineBreak == LineBreak::Cr)
        bytes.replace('\n', '\r');
    return bytes;
}

} // namespace

bool isUnicode(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

DecodedText decodeText(QByteArrayView bytes)
{
    DecodedText decoded;
    TextFormat& format = decoded.format;
    const auto fold = [&decoded](LineBreak none) {
        FoldedLineBreaks folded = foldLineBreaks(decoded.text);
        decoded.format.lineBreak = folded.usual.value_or(none);
        decoded.otherLineBreaks = std::move(folded.others);
    };
    if (const std::optional<TextEncoding> unicode = unicodeEncodingOf(bytes)) {
        format.encoding = *unicode;
        decoded.text = decodeUtf16(bytes.sliced(2), *unicode, &format.trailingByte);
        fold(LineBreak::CrLf);
    } else if (bytes.startsWith(kUtf8Bom) || isMultiByteUtf8(bytes)) {
        const bool byteOrderMark = bytes.startsWith(kUtf8Bom);
        format.encoding = byteOrderMark ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        decoded.text = decodeUtf8(bytes.sliced(byteOrderMark ? kUtf8Bom.size() : 0));
        fold(LineBreak::Lf);
    } else {
        decoded.text = decodeCp932(bytes);
        fold(LineBreak::CrLf);
        // Decoded CP932 holds no raw-byte character but those its bytes gave.
        const auto* const units = decoded.text.utf16();
        for (qsizetype at = 0; at < decoded.text.size(); ++at) {
            if (isCp932RawByte(units[at]))
                decoded.rawBytes.push_back(at);
        }
    }
    return decoded;
}

QByteArray encodeText(QStringView text, const TextFormat& format, int* replaced, std::span<const qsizetype> rawBytes,
                      std::span<const LineBreakException> otherLineBreaks, QStringList* replacedExamples)
{
    if (replaced)
        *replaced = 0;
    switch (format.encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return encodeUnicodeText(text, format, otherLineBreaks);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return encodeUtf8Text(text, format.encoding == TextEncoding::Utf8Bom, format.lineBreak, otherLineBreaks);
    case TextEncoding::Cp932:
        break;
    }
    int unmappable = 0;
    QByteArray body = encodeCp932(text, rawBytes, &unmappable, replacedExamples);
    if (replaced)
        *replaced = unmappable;
    return withLineBreaks({}, std::move(body), format.lineBreak, otherLineBreaks);
}

FileError::FileError(const QString& message, const QString& path)
    : std::runtime_error(message.toStdString()), m_path(path)
{
}

FileError FileError::cannotOpen(const QString& path)
{
    return FileError(QStringLiteral("ファイル %1 は開けません").arg(displayFileName(path)), path);
}

FileError FileError::tooLarge(const QString& path, qsizetype maxChars)
{
    return FileError(QStringLiteral("ファイル %1 は大きすぎます\nThe text is longer than %2 characters.")
                         .arg(displayFileName(path), QString::number(maxChars)),
                     path);
}

FileError FileError::cannotCreate(const QString& path, const QString& why)
{
    QString message = QStringLiteral("ファイル %1 を作成できません").arg(displayFileName(path));
    if (!why.isEmpty())
        message += u'\n' + why;
    return FileError(message, path);
}

DecodedText readTextFile(const QString& path, qsizetype maxChars, const ReadingProgress& reading)
{
    // Devices and pipes could be read without end, and a pipe would not even open without a
    // writer: only a regular file is read.
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    QFile file;
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        throw FileError::cannotOpen(path);
    }
    // No character takes more than four bytes (a UTF-16 CR LF), so a file this big is refused unread.
    if ((qsizetype(status.st_size) - 3) / 4 > maxChars)
        throw FileError::tooLarge(path, maxChars);
    // A megabyte at a time, so that the reader can tell how far it has got; a file that grows
    // meanwhile is read to its new end.
    constexpr qsizetype kStep = 1 << 20;
    // One byte more than the size, so that the end is found without growing the buffer.
    QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + kStep);
        const qint64 got = file.read(bytes.data() + done, std::min(kStep, bytes.size() - done));
        if (got < 0)
            throw FileError::cannotOpen(path);
        if (got == 0)
            break;
        done += got;
        if (reading && !reading(done, status.st_size))
            throw ReadStopped{};
    }
    bytes.truncate(done);
    DecodedText decoded = decodeText(bytes);
    if (decoded.text.size() > maxChars)
        throw FileError::tooLarge(path, maxChars);
    return decoded;
}

int writeTextFile(const QString& path, QStringView text, const TextFormat& format, std::span<const qsizetype> rawBytes)
{
    int replaced = 0;
    AtomicFileWriter file(path);
    if (!file.write(encodeText(text, format, &replaced, rawBytes)) || !file.commit())
        throw FileError::cannotCreate(path, file.refusedLink() ? file.error() : QString());
    return replaced;
}

} // namespace velmor
