#include "QtPrinters.h"

#include "speech/EspeakEngine.h"
#include "speech/EspeakWorker.h"
#include "speech/JapaneseSpelling.h"
#include "speech/VoiceLists.h"

#include <QSet>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <span>
#include <vector>

using velmor::EspeakEngine;
using velmor::VoiceSample;

namespace {

constexpr double kRate = 22050.0;
// Speech peaks far above this RMS (0.05 and more for every installed voice); silence is 0.
constexpr double kAudible = 0.01;
const QString kText = QStringLiteral("Hello 123");

std::span<const qint16> samplesOf(const VoiceSample& sample)
{
    return {reinterpret_cast<const qint16*>(sample.samples.constData()), std::size_t(sample.samples.size() / 2)};
}

double seconds(const VoiceSample& sample) { return double(samplesOf(sample).size()) / kRate; }

double rms(std::span<const qint16> samples)
{
    if (samples.empty())
        return 0.0;
    double sum = 0.0;
    for (qint16 s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / double(samples.size())) / 32768.0;
}

// Median fundamental frequency (Hz) of the voiced 40 ms frames, by autocorrelation over 60..400 Hz.
double medianPitch(std::span<const qint16> samples)
{
    constexpr std::size_t kFrame = 882;
    constexpr std::size_t kMinLag = std::size_t(kRate / 400);
    constexpr std::size_t kMaxLag = std::size_t(kRate / 60);
    std::vector<double> pitches;
    for (std::size_t start = 0; start + kFrame + kMaxLag <= samples.size(); start += kFrame) {
        const auto frame = samples.subspan(start, kFrame);
        if (rms(frame) < 0.03)
            continue;
        double best = 0.0;
        std::size_t bestLag = 0;
        for (std::size_t lag = kMinLag; lag <= kMaxLag; ++lag) {
            double cross = 0.0, here = 0.0, there = 0.0;
            for (std::size_t i = 0; i < kFrame; ++i) {
                const double a = frame[i];
                const double b = samples[start + i + lag];
                cross += a * b;
                here += a * a;
                there += b * b;
            }
            const double r = cross / std::sqrt(here * there + 1.0);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.5)
            pitches.push_back(kRate / double(bestLag));
    }
    if (pitches.empty())
        return 0.0;
    std::nth_element(pitches.begin(), pitches.begin() + std::ptrdiff_t(pitches.size() / 2), pitches.end());
    return pitches[pitches.size() / 2];
}

struct NamedMode {
    const char* name;
    const char* speaker;
};

// The modes the program knows by their speakers, as the installed espeak-ng data gives them.
const std::vector<NamedMode> kNamedModes{
    {"Female English (US)", "Mary"},     {"Male English (US)", "Mike"},
    {"Female English (UK)", "Linda"},    {"Male English (UK)", "Alexander"},
    {"Female Japanese", "Naoko"},        {"Male Japanese", "Kenji"},
    {"Female Korean", "Shin-Ah"},        {"Male Korean", "Jun-Ho"},
    {"Female French (FR)", "Veronique"}, {"Male French (FR)", "Pierre"},
    {"Female German", "Anna"},           {"Male German", "Stefan"},
    {"Female Dutch", "Karen"},           {"Male Dutch", "Hans"},
    {"Female Portug. (BR)", "Juliana"},  {"Male Portug. (BR)", "Alexandre"},
    {"Female Russian", "Svetlana"},      {"Male Russian", "Boris"},
    {"Female Spanish (ES)", "Carmen"},   {"Male Spanish (ES)", "Julio"},
    {"Female Italian", "Barbara"},       {"Male Italian", "Stefano"},
};

// Real espeak-ng on the silent clock; voices are checked on synthesized samples, not played.
class EspeakVoicesTest : public ::testing::Test {
protected:
    int modeOfSpeaker(const QString& speaker) const
    {
        for (int mode = 1; mode <= engine.ModeCount(); ++mode)
            if (engine.SpeakerOf(mode) == speaker)
                return mode;
        return 0;
    }

    VoiceSample sample(int mode, const QString& text)
    {
        engine.SelectMode(mode);
        return engine.sampleSelectedVoice(text);
    }

    EspeakEngine engine{EspeakEngine::Output::Silent};
};

TEST_F(EspeakVoicesTest, NamedSpeakersComeFirst)
{
    ASSERT_GE(engine.ModeCount(), int(kNamedModes.size()));
    for (std::size_t i = 0; i < kNamedModes.size(); ++i) {
        const int mode = int(i) + 1;
        EXPECT_EQ(engine.ModeNameOf(mode), QString::fromLatin1(kNamedModes[i].name)) << mode;
        EXPECT_EQ(engine.SpeakerOf(mode), QString::fromLatin1(kNamedModes[i].speaker)) << mode;
    }
}

TEST_F(EspeakVoicesTest, EveryModeIsOfferedUnderAUniqueUsableName)
{
    QSet<QString> names;
    for (int mode = 1; mode <= engine.ModeCount(); ++mode) {
        const QString name = engine.ModeNameOf(mode);
        const QString speaker = engine.SpeakerOf(mode);
        EXPECT_TRUE(velmor::isUsableModeName(name)) << name.toStdString();
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names << name;
        EXPECT_EQ(velmor::inCodePage(speaker), speaker) << speaker.toStdString();
        if (speaker != velmor::kVeroniqueEntry) {
            EXPECT_FALSE(speaker.startsWith(u'V')) << speaker.toStdString();
        }
    }
}

TEST_F(EspeakVoicesTest, EveryModeSpeaksInAVoiceOfItsOwn)
{
    ASSERT_GE(engine.ModeCount(), int(kNamedModes.size()));
    QSet<QByteArray> voices;
    for (int mode = 1; mode <= engine.ModeCount(); ++mode) {
        const QString name = engine.ModeNameOf(mode);
        SCOPED_TRACE(name.toStdString());
        const VoiceSample spoken = sample(mode, kText);
        ASSERT_FALSE(spoken.voiceInForce.isEmpty());
        EXPECT_FALSE(voices.contains(spoken.voiceInForce)) << spoken.voiceInForce.constData();
        voices << spoken.voiceInForce;
        EXPECT_GT(rms(samplesOf(spoken)), kAudible);
        EXPECT_GT(seconds(spoken), 0.2);
        // The library names a variant in the identifier only when it loaded it.
        if (mode <= int(kNamedModes.size())) {
            const char* variant = name.startsWith(QStringLiteral("Female")) ? "+f3" : "+m3";
            EXPECT_TRUE(spoken.voiceInForce.endsWith(variant)) << spoken.voiceInForce.constData();
        } else {
            EXPECT_FALSE(spoken.voiceInForce.contains('+')) << spoken.voiceInForce.constData();
        }
    }
}

TEST_F(EspeakVoicesTest, FemaleSpeakersSoundHigherThanTheirMaleCounterparts)
{
    ASSERT_GE(engine.ModeCount(), int(kNamedModes.size()));
    for (int female = 1; female < int(kNamedModes.size()); female += 2) {
        const double high = medianPitch(samplesOf(sample(female, kText)));
        const double low = medianPitch(samplesOf(sample(female + 1, kText)));
        EXPECT_GT(low, 60.0) << engine.SpeakerOf(female + 1).toStdString();
        EXPECT_GT(high, 1.4 * low) << engine.SpeakerOf(female).toStdString() << " " << high << " Hz, "
                                   << engine.SpeakerOf(female + 1).toStdString() << " " << low << " Hz";
    }
}

TEST_F(EspeakVoicesTest, NaokoReadsKana)
{
    const int naoko = modeOfSpeaker(QStringLiteral("Naoko"));
    ASSERT_GT(naoko, 0);
    const QString kana = QStringLiteral("こんにちは");
    const VoiceSample japanese = sample(naoko, kana);
    EXPECT_GT(rms(samplesOf(japanese)), kAudible);
    EXPECT_GT(seconds(japanese), 0.3);
    // An English voice names each kana as a foreign letter, which takes far longer.
    const VoiceSample english = sample(modeOfSpeaker(QStringLiteral("Mary")), kana);
    EXPECT_LT(2 * seconds(japanese), seconds(english));
}

// espeak-ng's own voices name each kanji "Chinese letter"; the Japanese voices get readings.
TEST_F(EspeakVoicesTest, JapaneseVoicesHearReadingsInsteadOfChineseLetters)
{
    const QString kanji = QStringLiteral("今日は良い天気です。山田さんは東京駅で新聞を読んだ。");
    const QString kana = QStringLiteral("キョーワ ヨイ テンキデス。ヤマダサンワ トーキョーエキデ シンブンオ ヨンダ。");
    // Stress marks differ between the voices.
    const auto phonemes = [&](const QString& text) { return engine.phonemesOf(text).remove(u'\'').remove(u','); };
    engine.SelectMode(modeOfSpeaker(QStringLiteral("Mary")));
    const QString chinese = phonemes(QStringLiteral("Chinese")).trimmed();
    ASSERT_FALSE(chinese.isEmpty());
    ASSERT_TRUE(phonemes(kanji).contains(chinese)) << "the trace looked for: " << chinese.toStdString();
    for (const QString& speaker : {QStringLiteral("Naoko"), QStringLiteral("Kenji")}) {
        const int mode = modeOfSpeaker(speaker);
        ASSERT_GT(mode, 0);
        engine.SelectMode(mode);
        const QString heard = phonemes(kanji);
        EXPECT_FALSE(heard.contains(chinese)) << heard.toStdString();
        EXPECT_EQ(heard, phonemes(kana)) << speaker.toStdString();
    }
}

// The words the voice reports in the readings it was given point back at the user's kanji, a word
// with its particles or endings at a time, as it is heard.
TEST_F(EspeakVoicesTest, NaokoReportsTheWordsHeardInTheKanjiText)
{
    engine.SelectMode(modeOfSpeaker(QStringLiteral("Naoko")));
    const QString text = QStringLiteral("今日は晴れ。明日は雨です。");
    QStringList words;
    bool done = false;
    QObject::connect(&engine, &EspeakEngine::OnWordHeard, [&](const QString& spoken, int offset, int length) {
        words << spoken.mid(offset, length);
    });
    QObject::connect(&engine, &EspeakEngine::OnTextDataDone, [&] { done = true; });
    engine.SpeakText(text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 15000));
    EXPECT_EQ(words, QStringList({"今日は", "晴れ", "明日は", "雨です"}));
}

// espeak-ng's Japanese voice spells a run out kana by kana, naming ー a "Japanese letter" in
// English, where a kana meets its own vowel and ー (ノ + オーキナ). Every such join of two words is
// put to the voice as the reader joins them, and none is spelled out; nor is a sentence with one.
TEST(JapaneseWordJoins, NoJoinOfAKanaAndItsOwnLongVowelIsSpelledOut)
{
    velmor::PcmQueue pcm(1 << 20);
    velmor::EspeakWorker worker(pcm, [] {});
    const auto phonemes = [&](const QString& text, const QByteArray& voice, const QByteArray& preparedFor) {
        velmor::SynthesisJob job;
        job.text = text;
        job.voice = voice;
        job.preparation.voiceLanguage = preparedFor;
        return worker.phonemes(job);
    };
    // Prepared for an English voice, kana reach the Japanese voice as they are. A spelled-out run
    // names each ー in English: the trace switches to English there.
    const auto asGiven = [&](const QString& text) { return phonemes(text, "ja", "en"); };
    const QString english = QStringLiteral("(en)");
    ASSERT_TRUE(asGiven(QStringLiteral("ノオーキナ")).contains(english));
    ASSERT_FALSE(asGiven(QStringLiteral("ノ オーキナ")).contains(english));

    const std::pair<QChar, QString> rows[] = {
        {u'ア', QStringLiteral("アカサタナハマヤラワガザダバパァャヮ")},
        {u'イ', QStringLiteral("イキシチニヒミリギジヂビピィ")},
        {u'ウ', QStringLiteral("ウクスツヌフムユルグズヅブプゥュヴ")},
        {u'エ', QStringLiteral("エケセテネヘメレゲゼデベペェ")},
        {u'オ', QStringLiteral("オコソトノホモヨロヲゴゾドボポォョ")},
    };
    // Hiragana reach the voice too, where a word is passed on as it is written.
    const auto hiragana = [](QChar katakana) { return QChar(katakana.unicode() - 0x60); };
    int joins = 0;
    for (const auto& [vowel, kana] : rows) {
        for (const QChar katakana : kana) {
            for (const auto& [before, after] : {std::pair{katakana, vowel}, std::pair{hiragana(katakana), hiragana(vowel)}}) {
                for (const bool startsPhrase : {false, true}) {
                    velmor::PreparedText joined;
                    velmor::appendWordReading(joined, QStringLiteral("ア") + before, {0, 1}, true);
                    velmor::appendWordReading(joined, QString(after) + u'ー' + QStringLiteral("キナ"), {1, 2}, startsPhrase);
                    const QString heard = asGiven(joined.text);
                    EXPECT_FALSE(heard.contains(english)) << joined.text.toStdString() << ": " << heard.toStdString();
                    ++joins;
                }
            }
        }
    }
    EXPECT_EQ(joins, 4 * 80);
    const QString sentence = phonemes(QStringLiteral("日本の大きな川。"), "ja", "ja");
    EXPECT_FALSE(sentence.contains(english)) << sentence.toStdString();
    EXPECT_FALSE(sentence.isEmpty());
}

TEST_F(EspeakVoicesTest, ShinAhReadsHangul)
{
    const int shinAh = modeOfSpeaker(QStringLiteral("Shin-Ah"));
    ASSERT_GT(shinAh, 0);
    const VoiceSample korean = sample(shinAh, QStringLiteral("안녕하세요"));
    EXPECT_TRUE(korean.voiceInForce.startsWith("ko")) << korean.voiceInForce.constData();
    EXPECT_GT(rms(samplesOf(korean)), kAudible);
    EXPECT_GT(seconds(korean), 0.4);
}

} // namespace
