#include "document/Cp932.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <string>

namespace velmor {

namespace {

// Owns one conversion descriptor; CP932 ships with glibc, so failing to open it
// means a broken installation rather than bad input.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; at each sequence iconv rejects, `skip` says how many input
    // bytes to drop and `replacement` is written in their place.
    template <typename Skip>
    QByteArray run(QByteArrayView in, qsizetype capacity, QByteArrayView replacement, Skip skip,
                   int* rejected)
    {
        QByteArray out(capacity + replacement.size(), Qt::Uninitialized);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = size_t(in.size());
        qsizetype used = 0;
        int count = 0;
        auto ensure = [&](qsizetype extra) {
            if (out.size() - used < extra)
                out.resize(std::max(out.size() * 2, used + extra));
        };
        while (inLeft > 0) {
            char* outPtr = out.data() + used;
            size_t outLeft = size_t(out.size() - used);
            const size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            used = outPtr - out.data();
            if (result != size_t(-1))
                break;
            if (errno == E2BIG) {
                ensure(out.size());
                continue;
            }
            // EILSEQ, or EINVAL for a sequence cut off at the end of the input.
            const size_t drop = std::min(skip(static_cast<unsigned char>(*inPtr)), inLeft);
            inPtr += drop;
            inLeft -= drop;
            ensure(replacement.size());
            std::copy(replacement.begin(), replacement.end(), out.data() + used);
            used += replacement.size();
            ++count;
        }
        out.truncate(used);
        if (rejected)
            *rejected = count;
        return out;
    }

private:
    iconv_t m_cd;
};

size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

QString withoutLoneSurrogates(QStringView text)
{
    QString fixed;
    fixed.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            fixed.append(c);
            fixed.append(text[++i]);
        } else if (c.isSurrogate()) {
            fixed.append(QChar::ReplacementCharacter);
        } else {
            fixed.append(c);
        }
    }
    return fixed;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    Converter converter("UTF-8", "CP932");
    // Every CP932 character, and U+FFFD for a single bad byte, takes at most 3 UTF-8 bytes per input byte.
    const QByteArray utf8 = converter.run(bytes, bytes.size() * 3, "\xEF\xBF\xBD",
                                          [](unsigned char) { return size_t(1); }, nullptr);
    return QString::fromUtf8(utf8);
}

QByteArray encodeCp932(QStringView text, int* unmappable)
{
    const QByteArray utf8 = text.isValidUtf16() ? text.toUtf8() : withoutLoneSurrogates(text).toUtf8();
    Converter converter("CP932", "UTF-8");
    // A CP932 character never takes more bytes than its UTF-8 form.
    return converter.run(utf8, utf8.size(), "?", utf8SequenceLength, unmappable);
}

} // namespace velmor
