#include "QtPrinters.h"

#include "speech/VoiceLists.h"
#include "speech/VoiceModes.h"

#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>

using velmor::buildVoiceModes;
using velmor::InstalledVoice;
using velmor::isUsableModeName;
using velmor::VoiceGender;
using velmor::VoiceLanguage;
using velmor::VoiceMode;

namespace {

struct ListedVoice {
    const char* identifier;
    const char* name; // UTF-8
    std::vector<VoiceLanguage> languages;
};

InstalledVoice installed(const ListedVoice& voice, VoiceGender gender = VoiceGender::Male)
{
    return {voice.identifier, QString::fromUtf8(voice.name), voice.languages, gender};
}

// The voices espeak-ng 1.51 lists on Debian 12, in its order; all of them sound male.
std::vector<InstalledVoice> espeakVoices()
{
    static const std::vector<ListedVoice> listed{
        {"gmw/af", "Afrikaans", {{"af", 5}}},
        {"sem/am", "Amharic", {{"am", 5}}},
        {"roa/an", "Aragonese", {{"an", 5}}},
        {"sem/ar", "Arabic", {{"ar", 5}}},
        {"inc/as", "Assamese", {{"as", 5}}},
        {"trk/az", "Azerbaijani", {{"az", 5}}},
        {"trk/ba", "Bashkir", {{"ba", 5}}},
        {"zle/be", "Belarusian", {{"be", 5}}},
        {"zls/bg", "Bulgarian", {{"bg", 5}}},
        {"inc/bn", "Bengali", {{"bn", 5}}},
        {"inc/bpy", "Bishnupriya Manipuri", {{"bpy", 5}}},
        {"zls/bs", "Bosnian", {{"bs", 5}}},
        {"roa/ca", "Catalan", {{"ca", 5}}},
        {"iro/chr", "Cherokee ", {{"chr-US-Qaaa-x-west", 5}}},
        {"sit/cmn", "Chinese (Mandarin, latin as English)", {{"cmn", 5}, {"zh-cmn", 5}, {"zh", 5}}},
        {"sit/cmn-Latn-pinyin", "Chinese (Mandarin, latin as Pinyin)", {{"cmn-latn-pinyin", 5}, {"zh-cmn", 5}, {"zh", 5}}},
        {"zlw/cs", "Czech", {{"cs", 5}}},
        {"trk/cv", "Chuvash", {{"cv", 5}}},
        {"cel/cy", "Welsh", {{"cy", 5}}},
        {"gmq/da", "Danish", {{"da", 5}}},
        {"gmw/de", "German", {{"de", 5}}},
        {"grk/el", "Greek", {{"el", 5}}},
        {"gmw/en-029", "English (Caribbean)", {{"en-029", 5}, {"en", 10}}},
        {"gmw/en", "English (Great Britain)", {{"en-gb", 2}, {"en", 2}}},
        {"gmw/en-GB-scotland", "English (Scotland)", {{"en-gb-scotland", 5}, {"en", 4}}},
        {"gmw/en-GB-x-gbclan", "English (Lancaster)", {{"en-gb-x-gbclan", 5}, {"en-gb", 3}, {"en", 5}}},
        {"gmw/en-GB-x-gbcwmd", "English (West Midlands)", {{"en-gb-x-gbcwmd", 5}, {"en-gb", 9}, {"en", 9}}},
        {"gmw/en-GB-x-rp", "English (Received Pronunciation)", {{"en-gb-x-rp", 5}, {"en-gb", 4}, {"en", 5}}},
        {"gmw/en-US", "English (America)", {{"en-us", 2}, {"en", 3}}},
        {"gmw/en-US-nyc", "English (America, New York City)", {{"en-us-nyc", 5}}},
        {"art/eo", "Esperanto", {{"eo", 5}}},
        {"roa/es", "Spanish (Spain)", {{"es", 5}}},
        {"roa/es-419", "Spanish (Latin America)", {{"es-419", 5}, {"es-mx", 6}, {"es", 6}}},
        {"urj/et", "Estonian", {{"et", 5}}},
        {"eu", "Basque", {{"eu", 5}}},
        {"ira/fa", "Persian", {{"fa", 5}}},
        {"ira/fa-Latn", "Persian (Pinglish)", {{"fa-latn", 5}}},
        {"urj/fi", "Finnish", {{"fi", 5}}},
        {"roa/fr-BE", "French (Belgium)", {{"fr-be", 5}, {"fr", 8}}},
        {"roa/fr-CH", "French (Switzerland)", {{"fr-ch", 5}, {"fr", 8}}},
        {"roa/fr", "French (France)", {{"fr-fr", 5}, {"fr", 5}}},
        {"cel/ga", "Gaelic (Irish)", {{"ga", 5}}},
        {"cel/gd", "Gaelic (Scottish)", {{"gd", 5}}},
        {"sai/gn", "Guarani", {{"gn", 5}}},
        {"grk/grc", "Greek (Ancient)", {{"grc", 5}}},
        {"inc/gu", "Gujarati", {{"gu", 5}}},
        {"sit/hak", "Hakka Chinese", {{"hak", 5}}},
        {"map/haw", "Hawaiian", {{"haw", 5}}},
        {"sem/he", "Hebrew", {{"he", 5}}},
        {"inc/hi", "Hindi", {{"hi", 5}}},
        {"zls/hr", "Croatian", {{"hr", 5}, {"hbs", 5}}},
        {"roa/ht", "Haitian Creole", {{"ht", 5}}},
        {"urj/hu", "Hungarian", {{"hu", 5}}},
        {"ine/hy", "Armenian (East Armenia)", {{"hy", 5}, {"hy-arevela", 5}}},
        {"ine/hyw", "Armenian (West Armenia)", {{"hyw", 5}, {"hy-arevmda", 5}, {"hy", 8}}},
        {"art/ia", "Interlingua", {{"ia", 5}}},
        {"poz/id", "Indonesian", {{"id", 5}}},
        {"art/io", "Ido", {{"io", 5}}},
        {"gmq/is", "Icelandic", {{"is", 5}}},
        {"roa/it", "Italian", {{"it", 5}}},
        {"jpx/ja", "Japanese", {{"ja", 5}}},
        {"art/jbo", "Lojban", {{"jbo", 5}}},
        {"ccs/ka", "Georgian", {{"ka", 5}}},
        {"trk/kk", "Kazakh", {{"kk", 5}}},
        {"esx/kl", "Greenlandic", {{"kl", 5}}},
        {"dra/kn", "Kannada", {{"kn", 5}}},
        {"ko", "Korean", {{"ko", 5}}},
        {"inc/kok", "Konkani", {{"kok", 5}}},
        {"ira/ku", "Kurdish", {{"ku", 5}}},
        {"trk/ky", "Kyrgyz", {{"ky", 5}}},
        {"itc/la", "Latin", {{"la", 5}}},
        {"gmw/lb", "Luxembourgish", {{"lb", 5}}},
        {"art/lfn", "Lingua Franca Nova", {{"lfn", 5}}},
        {"bat/lt", "Lithuanian", {{"lt", 5}}},
        {"bat/ltg", "Latgalian", {{"ltg", 5}}},
        {"bat/lv", "Latvian", {{"lv", 5}}},
        {"poz/mi", "Māori", {{"mi", 5}}},
        {"zls/mk", "Macedonian", {{"mk", 5}}},
        {"dra/ml", "Malayalam", {{"ml", 5}}},
        {"inc/mr", "Marathi", {{"mr", 5}}},
        {"poz/ms", "Malay", {{"ms", 5}}},
        {"sem/mt", "Maltese", {{"mt", 5}}},
        {"sit/my", "Myanmar (Burmese)", {{"my", 5}}},
        {"gmq/nb", "Norwegian Bokmål", {{"nb", 5}, {"no", 5}}},
        {"azc/nci", "Nahuatl (Classical)", {{"nci", 5}}},
        {"inc/ne", "Nepali", {{"ne", 5}}},
        {"gmw/nl", "Dutch", {{"nl", 5}}},
        {"trk/nog", "Nogai", {{"nog", 5}}},
        {"cus/om", "Oromo", {{"om", 5}}},
        {"inc/or", "Oriya", {{"or", 5}}},
        {"inc/pa", "Punjabi", {{"pa", 5}}},
        {"roa/pap", "Papiamento", {{"pap", 5}}},
        {"art/piqd", "Klingon", {{"piqd", 5}}},
        {"zlw/pl", "Polish", {{"pl", 5}}},
        {"roa/pt", "Portuguese (Portugal)", {{"pt", 5}, {"pt-pt", 5}}},
        {"roa/pt-BR", "Portuguese (Brazil)", {{"pt-br", 5}, {"pt", 6}}},
        {"art/py", "Pyash", {{"py", 5}}},
        {"art/qdb", "Lang_Belta", {{"qdb", 5}}},
        {"qu", "Quechua", {{"qu", 5}}},
        {"myn/quc", "K'iche'", {{"quc", 5}}},
        {"art/qya", "Quenya", {{"qya", 5}}},
        {"roa/ro", "Romanian", {{"ro", 5}}},
        {"zle/ru", "Russian", {{"ru", 5}}},
        {"zle/ru-LV", "Russian (Latvia)", {{"ru-lv", 2}}},
        {"inc/sd", "Sindhi", {{"sd", 5}}},
        {"tai/shn", "Shan (Tai Yai)", {{"shn", 5}}},
        {"inc/si", "Sinhala", {{"si", 5}}},
        {"art/sjn", "Sindarin", {{"sjn", 5}}},
        {"zlw/sk", "Slovak", {{"sk", 5}}},
        {"zls/sl", "Slovenian", {{"sl", 5}}},
        {"urj/smj", "Lule Saami", {{"smj", 5}}},
        {"ine/sq", "Albanian", {{"sq", 5}}},
        {"zls/sr", "Serbian", {{"sr", 5}}},
        {"gmq/sv", "Swedish", {{"sv", 5}}},
        {"bnt/sw", "Swahili", {{"sw", 5}}},
        {"dra/ta", "Tamil", {{"ta", 5}}},
        {"dra/te", "Telugu", {{"te", 5}}},
        {"tai/th", "Thai", {{"th", 5}}},
        {"trk/tk", "Turkmen", {{"tk", 5}}},
        {"bnt/tn", "Setswana", {{"tn", 5}}},
        {"trk/tr", "Turkish", {{"tr", 5}}},
        {"trk/tt", "Tatar", {{"tt", 5}}},
        {"trk/ug", "Uyghur", {{"ug", 5}}},
        {"zle/uk", "Ukrainian", {{"uk", 5}}},
        {"inc/ur", "Urdu", {{"ur", 5}}},
        {"trk/uz", "Uzbek", {{"uz", 5}}},
        {"aav/vi", "Vietnamese (Northern)", {{"vi", 5}}},
        {"aav/vi-VN-x-central", "Vietnamese (Central)", {{"vi-vn-x-central", 5}}},
        {"aav/vi-VN-x-south", "Vietnamese (Southern)", {{"vi-vn-x-south", 5}}},
        {"sit/yue", "Chinese (Cantonese)", {{"yue", 5}, {"zh-yue", 5}, {"zh", 8}}},
        {"sit/yue-Latn-jyutping", "Chinese (Cantonese, latin as Jyutping)", {{"yue", 5}, {"zh-yue", 5}, {"zh", 8}}},
    };
    std::vector<InstalledVoice> voices;
    for (const ListedVoice& voice : listed)
        voices.push_back(installed(voice));
    return voices;
}

const std::vector<QByteArray> kVariants{"adam", "f1", "f2", "f3", "f4", "f5", "m1", "m2", "m3", "m4", "whisper"};

std::vector<InstalledVoice> without(std::vector<InstalledVoice> voices, const QByteArray& identifier)
{
    std::erase_if(voices, [&](const InstalledVoice& voice) { return voice.identifier == identifier; });
    return voices;
}

const VoiceMode* modeOfSpeaker(const std::vector<VoiceMode>& modes, const QString& speaker)
{
    const auto found = std::find_if(modes.begin(), modes.end(), [&](const VoiceMode& mode) { return mode.speaker == speaker; });
    return found == modes.end() ? nullptr : &*found;
}

QStringList namesOf(const std::vector<VoiceMode>& modes)
{
    QStringList names;
    for (const VoiceMode& mode : modes)
        names << mode.name;
    return names;
}

struct Expected {
    const char* voiceName;
    const char* name;
    const char* speaker;
};

const std::vector<Expected> kNamedModes{
    {"gmw/en-US+f3", "Female English (US)", "Mary"},
    {"gmw/en-US+m3", "Male English (US)", "Mike"},
    {"gmw/en+f3", "Female English (UK)", "Linda"},
    {"gmw/en+m3", "Male English (UK)", "Alexander"},
    {"jpx/ja+f3", "Female Japanese", "Naoko"},
    {"jpx/ja+m3", "Male Japanese", "Kenji"},
    {"ko+f3", "Female Korean", "Shin-Ah"},
    {"ko+m3", "Male Korean", "Jun-Ho"},
    {"roa/fr+f3", "Female French (FR)", "Veronique"},
    {"roa/fr+m3", "Male French (FR)", "Pierre"},
    {"gmw/de+f3", "Female German", "Anna"},
    {"gmw/de+m3", "Male German", "Stefan"},
    {"gmw/nl+f3", "Female Dutch", "Karen"},
    {"gmw/nl+m3", "Male Dutch", "Hans"},
    {"roa/pt-BR+f3", "Female Portug. (BR)", "Juliana"},
    {"roa/pt-BR+m3", "Male Portug. (BR)", "Alexandre"},
    {"zle/ru+f3", "Female Russian", "Svetlana"},
    {"zle/ru+m3", "Male Russian", "Boris"},
    {"roa/es+f3", "Female Spanish (ES)", "Carmen"},
    {"roa/es+m3", "Male Spanish (ES)", "Julio"},
    {"roa/it+f3", "Female Italian", "Barbara"},
    {"roa/it+m3", "Male Italian", "Stefano"},
};

void expectMode(const VoiceMode& mode, const Expected& expected)
{
    EXPECT_EQ(mode.voiceName(), QByteArray(expected.voiceName));
    EXPECT_EQ(mode.name, QString::fromLatin1(expected.name));
    EXPECT_EQ(mode.speaker, QString::fromLatin1(expected.speaker));
}

TEST(VoiceModes, NamedSpeakersComeFirstAsFemaleAndMalePairs)
{
    const auto modes = buildVoiceModes(espeakVoices(), kVariants);
    ASSERT_GE(modes.size(), kNamedModes.size());
    for (std::size_t i = 0; i < kNamedModes.size(); ++i) {
        SCOPED_TRACE(i);
        expectMode(modes[i], kNamedModes[i]);
    }
}

TEST(VoiceModes, EveryOtherVoiceFollowsOnceInItsOwnSoundWithTheLanguageAsSpeaker)
{
    const auto voices = espeakVoices();
    const auto modes = buildVoiceModes(voices, kVariants);
    ASSERT_EQ(modes.size(), kNamedModes.size() + voices.size() - 11);
    expectMode(modes[22], {"gmw/af", "Male Afrikaans", "Afrikaans"});
    expectMode(modes[23], {"sem/am", "Male Amharic", "Amharic"});
    expectMode(modes.back(), {"sit/yue-Latn-jyutping", "Male Canto. Jyutping", "Chinese (Cantonese, latin as Jyutping)"});
    for (const InstalledVoice& voice : voices) {
        const auto count = std::count_if(modes.begin(), modes.end(), [&](const VoiceMode& mode) { return mode.voice == voice.identifier; });
        EXPECT_GE(count, 1) << voice.identifier.constData();
    }
    for (std::size_t i = kNamedModes.size(); i < modes.size(); ++i)
        EXPECT_TRUE(modes[i].variant.isEmpty()) << modes[i].voiceName().constData();
}

TEST(VoiceModes, EveryNameIsUsableAndSaysWhatItIs)
{
    const auto modes = buildVoiceModes(espeakVoices(), kVariants);
    for (const VoiceMode& mode : modes) {
        EXPECT_TRUE(isUsableModeName(mode.name)) << mode.name.toStdString();
        EXPECT_TRUE(mode.name.startsWith(QStringLiteral("Female ")) || mode.name.startsWith(QStringLiteral("Male ")))
            << mode.name.toStdString();
    }
}

TEST(VoiceModes, NamesSpeakersAndVoicesAreUnique)
{
    const auto modes = buildVoiceModes(espeakVoices(), kVariants);
    QSet<QString> names;
    QSet<QString> speakers;
    QSet<QByteArray> voices;
    for (const VoiceMode& mode : modes) {
        EXPECT_FALSE(names.contains(mode.name)) << mode.name.toStdString();
        EXPECT_FALSE(speakers.contains(mode.speaker)) << mode.speaker.toStdString();
        EXPECT_FALSE(voices.contains(mode.voiceName())) << mode.voiceName().constData();
        names << mode.name;
        speakers << mode.speaker;
        voices << mode.voiceName();
    }
}

TEST(VoiceModes, OnlyVeroniqueStartsWithV)
{
    const auto modes = buildVoiceModes(espeakVoices(), kVariants);
    for (const VoiceMode& mode : modes) {
        if (mode.speaker != QStringLiteral("Veronique")) {
            EXPECT_FALSE(mode.speaker.startsWith(u'V')) << mode.speaker.toStdString();
        }
    }
    const VoiceMode* north = modeOfSpeaker(modes, QStringLiteral("Tieng Viet (Northern)"));
    ASSERT_TRUE(north);
    EXPECT_EQ(north->voice, QByteArray("aav/vi"));
    EXPECT_EQ(north->name, QStringLiteral("Male Vietnamese (N)"));
    EXPECT_TRUE(modeOfSpeaker(modes, QStringLiteral("Tieng Viet (Central)")));
    EXPECT_TRUE(modeOfSpeaker(modes, QStringLiteral("Tieng Viet (Southern)")));
}

TEST(VoiceModes, AnotherLanguageStartingWithVStartsInLowerCase)
{
    const auto modes = buildVoiceModes({installed({"art/vo", "Volapük", {{"vo", 5}}})}, kVariants);
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0].speaker, QStringLiteral("volapuk"));
    EXPECT_EQ(modes[0].name, QStringLiteral("Male Volapuk"));
}

TEST(VoiceModes, NamesAndSpeakersArePlainLetters)
{
    const auto modes = buildVoiceModes(espeakVoices(), kVariants);
    for (const VoiceMode& mode : modes) {
        for (const QString& text : {mode.name, mode.speaker}) {
            const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
            EXPECT_TRUE(ascii) << text.toStdString();
            EXPECT_EQ(text, text.simplified()) << text.toStdString();
        }
    }
    EXPECT_TRUE(modeOfSpeaker(modes, QStringLiteral("Maori")));
    EXPECT_TRUE(modeOfSpeaker(modes, QStringLiteral("Cherokee")));
    const VoiceMode* norwegian = modeOfSpeaker(modes, QStringLiteral("Norwegian Bokmal"));
    ASSERT_TRUE(norwegian);
    EXPECT_EQ(norwegian->name, QStringLiteral("Male Norwegian"));
}

TEST(VoiceModes, LongLanguageNamesAreShortenedInTheModeNameOnly)
{
    const auto modes = buildVoiceModes(espeakVoices(), kVariants);
    const std::vector<Expected> shortened{
        {"roa/pt", "Male Portug. (PT)", "Portuguese (Portugal)"},
        {"roa/es-419", "Male Spanish (LatAm)", "Spanish (Latin America)"},
        {"roa/fr-CH", "Male French (CH)", "French (Switzerland)"},
        {"gmw/en-GB-x-rp", "Male English (RP)", "English (Received Pronunciation)"},
        {"gmw/en-US-nyc", "Male English (NYC)", "English (America, New York City)"},
        {"sit/cmn", "Male Mandarin", "Chinese (Mandarin, latin as English)"},
        {"sit/cmn-Latn-pinyin", "Male Mandarin Pinyin", "Chinese (Mandarin, latin as Pinyin)"},
        {"ine/hyw", "Male Armenian (West)", "Armenian (West Armenia)"},
        {"art/qdb", "Male Belta", "Belta"},
        {"grk/grc", "Male Greek (Ancient)", "Greek (Ancient)"},
    };
    for (const Expected& expected : shortened) {
        const VoiceMode* mode = modeOfSpeaker(modes, QString::fromLatin1(expected.speaker));
        ASSERT_TRUE(mode) << expected.speaker;
        expectMode(*mode, expected);
    }
}

TEST(VoiceModes, AMissingLanguageIsLeftOut)
{
    const auto modes = buildVoiceModes(without(espeakVoices(), "jpx/ja"), kVariants);
    EXPECT_FALSE(modeOfSpeaker(modes, QStringLiteral("Naoko")));
    EXPECT_FALSE(modeOfSpeaker(modes, QStringLiteral("Kenji")));
    EXPECT_FALSE(modeOfSpeaker(modes, QStringLiteral("Japanese")));
    EXPECT_FALSE(namesOf(modes).join(u',').contains(QStringLiteral("Japanese")));
    ASSERT_GE(modes.size(), 20u);
    EXPECT_EQ(modes[3].speaker, QStringLiteral("Alexander"));
    EXPECT_EQ(modes[4].speaker, QStringLiteral("Shin-Ah"));
    EXPECT_EQ(modes[19].speaker, QStringLiteral("Stefano"));
    EXPECT_EQ(modes[20].speaker, QStringLiteral("Afrikaans"));
}

TEST(VoiceModes, TheLanguagesVoiceIsTheOneEspeakPrefers)
{
    const auto modes = buildVoiceModes({installed({"gmw/en-GB-x-gbclan", "English (Lancaster)", {{"en-gb-x-gbclan", 5}, {"en-gb", 3}}}),
                                        installed({"gmw/en", "English (Great Britain)", {{"en-gb", 2}, {"en", 2}}}),
                                        installed({"roa/fr-BE", "French (Belgium)", {{"fr-be", 5}, {"fr", 8}}}),
                                        installed({"roa/fr-CH", "French (Switzerland)", {{"fr-ch", 5}, {"fr", 8}}})},
                                       kVariants);
    const QStringList speakers{QStringLiteral("Linda"), QStringLiteral("Alexander"),
                               QStringLiteral("Veronique"), QStringLiteral("Pierre"),
                               QStringLiteral("English (Lancaster)"), QStringLiteral("French (Switzerland)")};
    ASSERT_EQ(modes.size(), std::size_t(speakers.size()));
    for (std::size_t i = 0; i < modes.size(); ++i)
        EXPECT_EQ(modes[i].speaker, speakers[qsizetype(i)]) << i;
    EXPECT_EQ(modes[0].voice, QByteArray("gmw/en"));
    EXPECT_EQ(modes[2].voice, QByteArray("roa/fr-BE")); // first of equals
    EXPECT_EQ(modes[4].name, QStringLiteral("Male English (Lancs)"));
}

TEST(VoiceModes, AVoiceServesOneNamedLanguageOnly)
{
    const auto modes = buildVoiceModes({installed({"gmw/en", "English", {{"en-us", 5}, {"en-gb", 5}}})}, kVariants);
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].speaker, QStringLiteral("Mary"));
    EXPECT_EQ(modes[1].speaker, QStringLiteral("Mike"));
}

TEST(VoiceModes, AMissingVariantLeavesItsSpeakersOut)
{
    const auto voices = espeakVoices();
    const auto maleOnly = buildVoiceModes(voices, {"m3"});
    ASSERT_EQ(maleOnly.size(), voices.size());
    EXPECT_EQ(maleOnly[0].speaker, QStringLiteral("Mike"));
    EXPECT_EQ(maleOnly[2].speaker, QStringLiteral("Kenji"));
    EXPECT_FALSE(modeOfSpeaker(maleOnly, QStringLiteral("Naoko")));

    // Without either variant the languages are offered in their own sound.
    const auto plain = buildVoiceModes(voices, {"f1", "m1"});
    ASSERT_EQ(plain.size(), voices.size());
    const VoiceMode* japanese = modeOfSpeaker(plain, QStringLiteral("Japanese"));
    ASSERT_TRUE(japanese);
    EXPECT_EQ(japanese->voiceName(), QByteArray("jpx/ja"));
    EXPECT_EQ(japanese->name, QStringLiteral("Male Japanese"));
}

TEST(VoiceModes, AFemaleVoiceIsNamedFemaleAndCutToTwentyBytes)
{
    const auto modes = buildVoiceModes({installed({"roa/pt", "Portuguese (Portugal)", {{"pt", 5}}}, VoiceGender::Female),
                                        installed({"x/long", "Klingon (Star Trek Original)", {{"xx", 5}}}, VoiceGender::Female),
                                        installed({"x/wide", "日本語のとても長い名前", {{"yy", 5}}}, VoiceGender::Unknown)},
                                       kVariants);
    ASSERT_EQ(modes.size(), 3u);
    EXPECT_EQ(modes[0].name, QStringLiteral("Female Portug. (PT)"));
    EXPECT_EQ(modes[1].name, QStringLiteral("Female Klingon (Star"));
    EXPECT_EQ(modes[1].speaker, QStringLiteral("Klingon (Star Trek Original)"));
    EXPECT_EQ(modes[2].name, QString::fromUtf8("Male 日本語のとても")); // 5 + 7 * 2 bytes: one more is 21
    for (const VoiceMode& mode : modes)
        EXPECT_TRUE(isUsableModeName(mode.name)) << mode.name.toStdString();
}

TEST(VoiceModes, AVariantIsAddedToTheVoiceName)
{
    const VoiceMode mode{"jpx/ja", "f3", QStringLiteral("Female Japanese"), QStringLiteral("Naoko")};
    EXPECT_EQ(mode.voiceName(), QByteArray("jpx/ja+f3"));
}

} // namespace
