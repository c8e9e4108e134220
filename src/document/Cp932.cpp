#include "document/Cp932.h"

#include <QSysInfo>

#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <string>

namespace velmor {

namespace {

// QString's code units in memory order, so iconv reads and writes them in place.
constexpr const char* kUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

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

    // Converts from `in` as far as it can. False when it stopped at a sequence it rejects
    // (EILSEQ, or EINVAL for one cut off by the end of the input) or for lack of room (E2BIG).
    bool convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        char* inPtr = const_cast<char*>(in);
        const size_t result = iconv(m_cd, &inPtr, &inLeft, &out, &outLeft);
        in = inPtr;
        return result != size_t(-1);
    }

private:
    iconv_t m_cd;
};

// CP932 never decodes to these two noncharacters.
constexpr char16_t kLeadByte = 0xFFFE;
constexpr char16_t kNoCharacter = 0xFFFF;

// What iconv makes of every single byte and every byte pair, read off it once: looking up
// a table decodes several times faster than iconv itself.
struct DecodeTable {
    char16_t single[0x100];     // a character, kLeadByte, or kNoCharacter
    char16_t pair[0x80][0x100]; // by lead byte - 0x80 and trail byte: a character or kNoCharacter
};

DecodeTable buildDecodeTable()
{
    DecodeTable table;
    Converter converter(kUtf16, "CP932");
    // Outcome of decoding a whole input: one character, or kNoCharacter.
    const auto decode = [&converter](const char* in, size_t size, bool& incomplete) {
        char16_t c = kNoCharacter;
        char* out = reinterpret_cast<char*>(&c);
        size_t outLeft = sizeof c;
        incomplete = !converter.convert(in, size, out, outLeft) && errno == EINVAL;
        return size == 0 && outLeft == 0 ? c : kNoCharacter;
    };
    bool incomplete = false;
    for (int byte = 0; byte < 0x100; ++byte) {
        const char in = char(byte);
        table.single[byte] = decode(&in, 1, incomplete);
        if (incomplete && byte >= 0x80)
            table.single[byte] = kLeadByte;
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const char pair[] = {char(lead), char(trail)};
            table.pair[lead - 0x80][trail] =
                table.single[lead] == kLeadByte ? decode(pair, 2, incomplete) : kNoCharacter;
        }
    }
    return table;
}

// Which raw-byte characters of a text are raw bytes: all of them, or those at given positions.
class RawByteFilter {
public:
    RawByteFilter() = default;
    explicit RawByteFilter(std::span<const qsizetype> positions) : m_positions(positions), m_all(false) {}

    // Asked with ascending positions.
    bool isRawByte(QStringView text, qsizetype at)
    {
        if (!isCp932RawByte(text[at].unicode()))
            return false;
        if (m_all)
            return true;
        while (!m_positions.empty() && m_positions.front() < at)
            m_positions = m_positions.subspan(1);
        return !m_positions.empty() && m_positions.front() == at;
    }

private:
    std::span<const qsizetype> m_positions;
    bool m_all = true;
};

QByteArray encode(QStringView text, RawByteFilter rawBytes, int* unmappable, QStringList* examples)
{
    // A CP932 character takes at most two bytes for its one code unit; "?" and a raw byte
    // take one byte for one or two units.
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char* out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    const char* const begin = reinterpret_cast<const char*>(text.utf16());
    const char* in = begin;
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    int count = 0;
    Converter converter("CP932", kUtf16);
    while (inLeft > 0 && !converter.convert(in, inLeft, out, outLeft)) {
        if (errno == E2BIG)
            throw std::logic_error("CP932 encoding outgrew its buffer");
        const qsizetype at = (in - begin) / qsizetype(sizeof(char16_t));
        const char16_t c = text[at].unicode();
        size_t units = 1;
        if (rawBytes.isRawByte(text, at)) {
            *out = char(c - kCp932RawByteBase);
        } else {
            *out = '?';
            ++count;
            if (QChar::isHighSurrogate(c) && at + 1 < text.size() && text[at + 1].isLowSurrogate())
                units = 2;
            if (examples && examples->size() < kMostUnmappableExamples) {
                const QString character = text.sliced(at, qsizetype(units)).toString();
                if (!examples->contains(character))
                    *examples << character;
            }
        }
        ++out;
        --outLeft;
        in += units * sizeof(char16_t);
        inLeft -= units * sizeof(char16_t);
    }
    bytes.truncate(out - bytes.data());
    if (unmappable)
        *unmappable = count;
    return bytes;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    static const DecodeTable table = buildDecodeTable();
    // A CP932 character takes one or two bytes and is one UTF-16 code unit, and a raw byte
    // is one unit too: the text never has more units than the input has bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in < end) {
        const unsigned char byte = *in++;
        char16_t c = table.single[byte];
        if (c == kLeadByte && in < end && table.pair[byte - 0x80][*in] != kNoCharacter)
            c = table.pair[byte - 0x80][*in++];
        else if (c == kLeadByte || c == kNoCharacter)
            c = char16_t(kCp932RawByteBase + byte);
        *out++ = c;
    }
    text.truncate(out - begin);
    text.squeeze();
    return text;
}

QByteArray encodeCp932(QStringView text, int* unmappable) { return encode(text, RawByteFilter(), unmappable, nullptr); }

QByteArray encodeCp932(QStringView text, std::span<const qsizetype> rawBytes, int* unmappable, QStringList* examples)
{
    return encode(text, RawByteFilter(rawBytes), unmappable, examples);
}

} // namespace velmor
