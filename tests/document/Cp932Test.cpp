#include "document/Cp932.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

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

TEST(Cp932Decode, BadBytesBecomeReplacementAndDecodingGoesOn)
{
    const QChar bad = QChar::ReplacementCharacter;
    // An undefined single byte.
    EXPECT_EQ(decodeCp932("a\xFD" "b"), QStringLiteral("a") + bad + QStringLiteral("b"));
    // A lead byte whose trail byte is not one: the trail byte is read on its own.
    EXPECT_EQ(decodeCp932("\x82\x20\x82\x6C"), QString(bad) + QStringLiteral(" Ｍ"));
    // A lead byte cut off by the end of the input.
    EXPECT_EQ(decodeCp932("ok\x82"), QStringLiteral("ok") + bad);
    // Nothing but bad bytes.
    EXPECT_EQ(decodeCp932("\xFD\xFD\xFD"), QString(3, bad));
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

TEST(Cp932Encode, EmptyTextGivesNoBytes)
{
    int unmappable = -1;
    EXPECT_TRUE(encodeCp932(QString(), &unmappable).isEmpty());
    EXPECT_EQ(unmappable, 0);
}

} // namespace
