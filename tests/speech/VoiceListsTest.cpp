#include "FakeSpeechEngine.h"
#include "QtPrinters.h"

#include "speech/VoiceLists.h"

#include <QByteArray>
#include <gtest/gtest.h>

using velmor::buildVoiceLists;
using velmor::isUsableModeName;
using velmor::ListingEntry;
using velmor::VoiceLists;

namespace {

VoiceLists build(const QStringList& names, const QStringList& speakers, bool withListing = false)
{
    FakeSpeechEngine engine(0);
    engine.modeNames = names;
    engine.speakers = speakers;
    return buildVoiceLists(engine, engine.ModeCount(), withListing, velmor::kVeroniqueAccented);
}

QStringList lineTexts(const std::vector<ListingEntry>& listing)
{
    QStringList texts;
    for (const ListingEntry& entry : listing)
        texts << entry.idLine.text << entry.modeLine.text;
    return texts;
}

} // namespace

TEST(UsableModeName, ShortNamesNeedAKnownPrefix)
{
    for (const char* name : {"Mary", "Mike2", "FemaleB", "Male", "Robot", "Fema", "Female Japanese"})
        EXPECT_TRUE(isUsableModeName(QByteArray(name))) << name;
    for (const char* name : {"", "Adult1", "mary", "MALE voice", "Mar", " Mary", "Mal", "Fem ale"})
        EXPECT_FALSE(isUsableModeName(QByteArray(name))) << name;
}

TEST(UsableModeName, TwentyBytesIsStillShort)
{
    const QByteArray twenty = "Male " + QByteArray(15, 'x');
    ASSERT_EQ(twenty.size(), 20);
    EXPECT_TRUE(isUsableModeName(twenty));
    EXPECT_FALSE(isUsableModeName(QByteArray("Adult") + QByteArray(10, 'x') + "(L&H)"));
}

TEST(UsableModeName, LongNamesMustEndInTheLAndHMark)
{
    const QByteArray listed = "Adult Female #1 (L&H)";
    ASSERT_EQ(listed.size(), 21);
    EXPECT_TRUE(isUsableModeName(listed));
    EXPECT_FALSE(isUsableModeName(listed + " "));
    EXPECT_FALSE(isUsableModeName(QByteArray("Male English (America)")));
    EXPECT_FALSE(isUsableModeName(QByteArray("Male English (US) (l&h)")));
}

TEST(UsableModeName, TwentyFiveCharacterNames)
{
    const QString marked = QStringLiteral("American English TTS(L&H)");
    const QString unmarked = QStringLiteral("Male American English TTS");
    ASSERT_EQ(marked.size(), 25);
    ASSERT_EQ(unmarked.size(), 25);
    const VoiceLists lists = build({marked, unmarked}, {QStringLiteral("Carol"), QStringLiteral("Mike")});
    EXPECT_EQ(lists.modeNames, QStringList{marked});
    EXPECT_EQ(lists.modeNumbers, QStringList{QStringLiteral("1")});
}

TEST(UsableModeName, LengthCountsCodePageBytes)
{
    // "Male" and eight kana make 20 bytes in the code page; a ninth kana makes 22.
    const QString tenKana = QStringLiteral("Male\u3042\u3044\u3046\u3048\u304A\u304B\u304D\u304F");
    EXPECT_TRUE(isUsableModeName(tenKana));
    EXPECT_FALSE(isUsableModeName(tenKana + QStringLiteral("\u3051")));
    // A character without a code-page form counts as the one byte "?".
    EXPECT_TRUE(isUsableModeName(QStringLiteral("Female Fran\u00E7ais")));
}

TEST(UsableModeName, TheEmbeddedEnginesNamesPass)
{
    for (const char* name :
         {"Female English (US)", "Male English (US)", "Female English (UK)", "Male English (UK)", "Female Japanese",
          "Male Japanese", "Female Korean", "Male Korean", "Female French", "Male French", "Female German",
          "Male German", "Female Dutch", "Male Dutch", "Female Portuguese BR", "Male Portuguese (BR)",
          "Female Russian", "Male Russian", "Female Spanish", "Male Spanish", "Female Italian", "Male Italian"})
        EXPECT_TRUE(isUsableModeName(QString::fromLatin1(name))) << name;
    // Past twenty bytes a name is dropped, whatever it starts with.
    EXPECT_FALSE(isUsableModeName(QStringLiteral("Female Portuguese (BR)")));
    EXPECT_FALSE(isUsableModeName(QStringLiteral("Male Chinese (Mandarin)")));
}

TEST(VoiceListBuild, DropsUnknownNamesAndNumbersTheRest)
{
    const VoiceLists lists =
        build({"Mary", "Mike2", "FemaleB", "Adult1"}, {"Mary", "Mike", "Betty", "Adam"}, false);
    EXPECT_EQ(lists.count(), 3);
    EXPECT_EQ(lists.speakers, (QStringList{"Mary", "Mike", "Betty"}));
    EXPECT_EQ(lists.modeNames, (QStringList{"Mary", "Mike2", "FemaleB"}));
    EXPECT_EQ(lists.modeNumbers, (QStringList{"1", "2", "3"}));
    EXPECT_TRUE(lists.listing.empty());
    EXPECT_EQ(lists.naokoNo, 0);
}

TEST(VoiceListBuild, ModeNumbersAreTheEnginesNotTheIds)
{
    const VoiceLists lists = build({"Robot", "Adult1", "Fema", "Mike"}, {"R", "A", "F", "M"});
    EXPECT_EQ(lists.modeNumbers, (QStringList{"1", "3", "4"}));
}

TEST(VoiceListBuild, AnyVSpeakerBecomesVeronique)
{
    const VoiceLists lists = build({"Male French", "Female French", "Male Other"},
                                   {"Victor", "Veronique", "victor"}, true);
    EXPECT_EQ(lists.speakers, (QStringList{"Veronique", "Veronique", "victor"}));
    EXPECT_EQ(lineTexts(lists.listing).at(0), QStringLiteral("ID1  V\u00E9ronique,"));
    EXPECT_EQ(lineTexts(lists.listing).at(4), QStringLiteral("ID3  victor,"));
    EXPECT_EQ(velmor::displayName(lists.speakers.at(0), velmor::kVeroniqueAccented), QStringLiteral("V\u00E9ronique"));
    EXPECT_EQ(velmor::displayName(lists.speakers.at(2), velmor::kVeroniqueAccented), QStringLiteral("victor"));
}

TEST(VoiceListBuild, SpeakerNamesPassThroughTheCodePage)
{
    // The list keeps the code-page form; the listing shows the engine's own text.
    const VoiceLists lists = build({"Female Polish"}, {QStringLiteral("\u0141ucja")}, true);
    EXPECT_EQ(lists.speakers, QStringList{QStringLiteral("?ucja")});
    EXPECT_EQ(lists.listing.at(0).idLine.text, QStringLiteral("ID1  \u0141ucja,"));
}

TEST(VoiceListBuild, FindsTheLastNaoko)
{
    EXPECT_EQ(build({"Mary", "Adult1", "Female Japanese", "Male Japanese", "Female Japanese"},
                    {"Mary", "x", "Naoko", "Kenji", "Naoko"})
                  .naokoNo,
              4);
    EXPECT_EQ(build({"Female Japanese", "Female Japanese"}, {"naoko", "Naoko "}).naokoNo, 0);
    // A dropped mode is never the Naoko entry.
    EXPECT_EQ(build({"Japanese Naoko"}, {"Naoko"}).naokoNo, 0);
}

TEST(VoiceListBuild, EmptySpeakerIsListedAsIs)
{
    const VoiceLists lists = build({"Mary"}, {""}, true);
    EXPECT_EQ(lists.speakers, QStringList{QString()});
    EXPECT_TRUE(lists.listing.at(0).settlesEditor);
    EXPECT_EQ(lists.listing.at(0).idLine.text, QStringLiteral("ID1  ,"));
}

TEST(VoiceListing, TwoColouredLinesPerEntry)
{
    const VoiceLists lists =
        build({"Female Japanese", "Adult1", "Female French"}, {"Naoko", "x", "Veronique"}, true);
    ASSERT_EQ(lists.listing.size(), 2u);
    EXPECT_EQ(lineTexts(lists.listing), (QStringList{"ID1  Naoko,", "  Female Japanese.",
                                                     QStringLiteral("ID2  V\u00E9ronique,"), "  Female French."}));
    for (const ListingEntry& entry : lists.listing) {
        EXPECT_EQ(entry.idLine.background, 0x00D8E4EFu);
        EXPECT_EQ(entry.modeLine.background, 0x00ECEEE6u);
    }
    EXPECT_TRUE(lists.listing.at(0).settlesEditor);
    EXPECT_FALSE(lists.listing.at(1).settlesEditor);
}

TEST(VoiceListing, UnmodifiedAfterANonVEntry)
{
    const VoiceLists lists = build({"Mary", "Mike"}, {"Mary", "Mike"}, true);
    EXPECT_FALSE(velmor::modifiedAfterListing(false, lists.listing));
}

TEST(VoiceListing, KeepsEditsThatWereNotSaved)
{
    const VoiceLists lists = build({"Mary", "Mike"}, {"Mary", "Mike"}, true);
    EXPECT_TRUE(velmor::modifiedAfterListing(true, lists.listing));
    EXPECT_TRUE(velmor::modifiedAfterListing(true, {}));
    EXPECT_FALSE(velmor::modifiedAfterListing(false, {}));
}

TEST(VoiceListing, EndingWithAVSpeakerCountsAsAnEdit)
{
    const VoiceLists lists = build({"Mary", "Female French"}, {"Mary", "Veronique"}, true);
    EXPECT_TRUE(velmor::modifiedAfterListing(false, lists.listing));
    // A settling entry after the "V" one clears the mark again.
    const VoiceLists later = build({"Female French", "Mary"}, {"Veronique", "Mary"}, true);
    EXPECT_FALSE(velmor::modifiedAfterListing(false, later.listing));
}
