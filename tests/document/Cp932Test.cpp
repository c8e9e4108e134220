#include "document/Cp932.h"

#include "QtPrinters.h"

#include <QList>
#include <QSysInfo>

#include <gtest/gtest.h>
#include <iconv.h>

using velmor::decodeCp932;
using velmor::encodeCp932;

namespace {

const QByteArray kMinchoBytes("\x82\x6C\x82\x72\x20\x82\x6F\x96\xBE\x92\xA9");
const QString kMincho = QStringLiteral("ＭＳ Ｐ明朝");

TEST(Cp932Decode, ReadsJapaneseFontName) { EXPECT_EQ(decodeCp932(kMinchoBytes), kMincho); }

TEST(Cp932Decode, FollowsWindowsMappings)
{
    // Yen sign position stays a backslash, the wave dash is the full-width tilde,
    // half-width katakana are single bytes, NEC and IBM extensions are present.
    EXPECT_EQ(decodeCp932("C:\\dir~"), QStringLiteral("C:\\dir~"));
    EXPECT_EQ(decodeCp932("\x81\x60"), QString(QChar(0xFF5E)));
    EXPECT_EQ(decodeCp932("\xB1\xDD"), QStringLiteral("ｱﾝ"));
    EXPECT_EQ(decodeCp932("\x87\x40"), QStringLiteral("①"));
    EXPECT_EQ(decodeCp932("\xFA\x40"), QStringLiteral("ⅰ"));
}

TEST(Cp932Decode, EmptyInputGivesEmptyText) { EXPECT_TRUE(decodeCp932(QByteArrayView()).isEmpty()); }

QChar raw(unsigned char byte) { return QChar(char16_t(velmor::kCp932RawByteBase + byte)); }

TEST(Cp932Decode, BadBytesAreKeptAsRawByteCharactersAndDecodingGoesOn)
{
    // An undefined single byte.
    EXPECT_EQ(decodeCp932("a\xFD" "b"), QStringLiteral("a") + raw(0xFD) + QStringLiteral("b"));
    // A lead byte whose trail byte is not one: the trail byte is read on its own.
    EXPECT_EQ(decodeCp932("\x82\x20\x82\x6C"), raw(0x82) + QStringLiteral(" Ｍ"));
    // A lead byte cut off by the end of the input.
    EXPECT_EQ(decodeCp932("ok\x82"), QStringLiteral("ok") + raw(0x82));
    // Nothing but bad bytes.
    EXPECT_EQ(decodeCp932("\x80\xA0\xFF"), QString(raw(0x80)) + raw(0xA0) + raw(0xFF));
}

TEST(Cp932RoundTrip, BadBytesComeBackUnchanged)
{
    const QByteArray bad[] = {
        "\x80", "\xA0", "\xFD", "\xFE", "\xFF",  // never part of a character
        "abc\x81", "\xFC",                         // lead byte at the end
        "\x81\x20", "\x81\x7F", "\x9F\xFD",        // lead byte with a bad trail byte
        "\x85\x40", "\xEB\x9F", "\xEF\xFC",        // unassigned pairs
        "\x81\x81\x82",                            // a pair, then a cut-off lead byte
    };
    for (const QByteArray& bytes : bad) {
        int unmappable = -1;
        EXPECT_EQ(encodeCp932(decodeCp932(bytes), &unmappable), bytes) << bytes.toHex(' ').toStdString();
        EXPECT_EQ(unmappable, 0);
    }
}

TEST(Cp932RoundTrip, ArbitraryBytesComeBackUnchanged)
{
    // Lead bytes 87, ED, EE and FA to FC hold every duplicate mapping (see below); without
    // them, any byte sequence at all must survive decoding and encoding.
    QByteArray bytes;
    quint32 state = 12345;
    while (bytes.size() < 200000) {
        state = state * 1103515245u + 12345u;
        const unsigned char b = static_cast<unsigned char>(state >> 16);
        if (b != 0x87 && b != 0xED && b != 0xEE && b < 0xFA)
            bytes += char(b);
    }
    int unmappable = -1;
    EXPECT_EQ(encodeCp932(decodeCp932(bytes), &unmappable), bytes);
    EXPECT_EQ(unmappable, 0);
}

// Every single byte and every byte pair that CP932 decodes to one character.
struct Cp932Repertoire {
    QByteArray bytes;
    QList<QByteArray> codes;
};

Cp932Repertoire allCp932Characters()
{
    Cp932Repertoire all;
    const auto add = [&all](const QByteArray& code) {
        const QString c = decodeCp932(code);
        if (c.size() == 1 && (c[0].unicode() & 0xFF80) != velmor::kCp932RawByteBase + 0x80) {
            all.bytes += code;
            all.codes.append(code);
        }
    };
    for (int single = 0; single < 0x100; ++single)
        add(QByteArray(1, char(single)));
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail)
            add(QByteArray(1, char(lead)) + char(trail));
    }
    return all;
}

// Valid CP932 straight through iconv in one call.
QString iconvDecode(const QByteArray& bytes)
{
    iconv_t cd = iconv_open(QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE", "CP932");
    QString text(bytes.size(), Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char* const begin = reinterpret_cast<char*>(text.data());
    char* out = begin;
    size_t outLeft = size_t(text.size()) * 2;
    const size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1))
        return QStringLiteral("iconv rejected the input");
    text.truncate((out - begin) / 2);
    return text;
}

TEST(Cp932Decode, DecodesEveryCharacterAsIconvDoes)
{
    const Cp932Repertoire all = allCp932Characters();
    EXPECT_EQ(decodeCp932(all.bytes), iconvDecode(all.bytes));
}

TEST(Cp932RoundTrip, EveryCharacterKeepsItsTextAndCanonicalBytesKeepTheirBytes)
{
    const Cp932Repertoire all = allCp932Characters();
    // 128 ASCII, 63 half-width katakana, and the double-byte table with NEC and IBM rows and
    // the user-defined area.
    EXPECT_EQ(all.codes.size(), 128 + 63 + 9604);
    EXPECT_TRUE(all.codes.contains(QByteArray("\x95\x5C"))); // 表: trail byte is a backslash
    EXPECT_TRUE(all.codes.contains(QByteArray("\x83\x5C"))); // ソ
    EXPECT_TRUE(all.codes.contains(QByteArray("\xDF")));
    EXPECT_TRUE(all.codes.contains(QByteArray("\xF9\xFC"))); // last user-defined character

    const QString text = decodeCp932(all.bytes);
    ASSERT_EQ(text.size(), all.codes.size());
    int unmappable = -1;
    const QByteArray canonical = encodeCp932(text, &unmappable);
    EXPECT_EQ(unmappable, 0);
    EXPECT_EQ(decodeCp932(canonical), text);

    // Several characters have two codes (NEC row 13, NEC-selected and IBM extensions); the
    // encoder writes one of them. Every other code is written back as it was.
    QByteArray canonicalOnly;
    int duplicates = 0;
    for (const QByteArray& code : all.codes) {
        const QByteArray written = encodeCp932(decodeCp932(code));
        if (written == code) {
            canonicalOnly += code;
            continue;
        }
        ++duplicates;
        EXPECT_TRUE(QByteArray("\x87\xED\xEE\xFA\xFB\xFC").contains(code[0])) << code.toHex().toStdString();
        EXPECT_EQ(decodeCp932(written), decodeCp932(code));
    }
    EXPECT_EQ(duplicates, 398);
    EXPECT_EQ(encodeCp932(decodeCp932(canonicalOnly)), canonicalOnly);
    EXPECT_EQ(encodeCp932(decodeCp932(canonical)), canonical);
}

TEST(Cp932Decode, LargeMixedInputKeepsEveryCharacter)
{
    QByteArray bytes;
    QString expected;
    for (int i = 0; i < 50000; ++i) {
        bytes += kMinchoBytes + "\xB1";
        expected += kMincho + QStringLiteral("ｱ");
    }
    EXPECT_EQ(decodeCp932(bytes), expected);
}

TEST(Cp932Encode, WritesJapaneseFontName)
{
    int unmappable = -1;
    EXPECT_EQ(encodeCp932(kMincho, &unmappable), kMinchoBytes);
    EXPECT_EQ(unmappable, 0);
}

TEST(Cp932Encode, RoundTripsJapaneseText)
{
    const QString text = QStringLiteral("漢字とかな、カタカナ、ｶﾀｶﾅ、ＡＢＣ123 ①ⅰ～\r\n");
    EXPECT_EQ(decodeCp932(encodeCp932(text)), text);
}

TEST(Cp932Encode, UnmappableCharactersBecomeQuestionMarksAndAreCounted)
{
    int unmappable = -1;
    // Hangul, a character outside the BMP and a lone surrogate have no CP932 form.
    const QString text = QStringLiteral("a한b😀c") + QChar(0xD800) + QStringLiteral("明");
    EXPECT_EQ(encodeCp932(text, &unmappable), QByteArray("a?b?c?\x96\xBE"));
    EXPECT_EQ(unmappable, 3);
}

TEST(Cp932Encode, RawByteCharactersBecomeTheirBytes)
{
    int unmappable = -1;
    const QString text = QStringLiteral("x") + raw(0x80) + raw(0xFF) + QChar(0xF77F) + QChar(0xF800);
    // Private-use characters just outside the raw-byte range are ordinary unmappable characters.
    EXPECT_EQ(encodeCp932(text, &unmappable), QByteArray("x\x80\xFF??"));
    EXPECT_EQ(unmappable, 2);
}

TEST(Cp932Encode, EmptyTextGivesNoBytes)
{
    int unmappable = -1;
    EXPECT_TRUE(encodeCp932(QString(), &unmappable).isEmpty());
    EXPECT_EQ(unmappable, 0);
}

} // namespace
