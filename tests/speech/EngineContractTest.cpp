#include "QtPrinters.h"

#include "speech/EspeakEngine.h"
#include "speech/EspeakWorker.h"
#include "speech/PcmQueue.h"
#include "speech/SystemVoices.h"
#include "speech/helper/FliteSynthesis.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using velmor::EspeakEngine;
using velmor::SpeechEngine;

namespace {

constexpr int kTimeoutMs = 15000;

const QString kStarted = QStringLiteral("started");
const QString kDone = QStringLiteral("done");
const QString kDiscarded = QStringLiteral("discarded");
// The case run on a voice of the desktop's speech service.
const char kSystemVoice[] = "System";

// A speech-dispatcher of the tests' own, in a private runtime folder, playing espeak-ng's voices
// to a PulseAudio null sink of its own; started for the first case that needs it and stopped
// when the tests end.
class SpeechService : public ::testing::Environment {
public:
    // The service's address for libspeechd; empty when it could not be started.
    QString start()
    {
        if (m_tried)
            return m_address;
        m_tried = true;
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty())
            return {};
        m_folder.emplace();
        const QString runtime = m_folder->filePath(QStringLiteral("xdg"));
        QDir().mkdir(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("HOME"), m_folder->path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder->filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + runtime + QStringLiteral("/pulse/native"));
        m_pulse.setProcessEnvironment(environment);
        m_pulse.start(QStringLiteral("pulseaudio"), {"-n", "--daemonize=no", "--exit-idle-time=-1",
                                                      "--load=module-null-sink sink_name=test", "--load=module-native-protocol-unix"});
        const QString sound = runtime + QStringLiteral("/pulse/native");
        if (!QTest::qWaitFor([&] { return QFile::exists(sound); }, 5000))
            return {};
        const QString socket = runtime + QStringLiteral("/speechd.sock");
        m_service.setProcessEnvironment(environment);
        m_service.start(QStringLiteral("speech-dispatcher"), {"-s", "-t", "0", "-S", socket});
        if (!QTest::qWaitFor([&] { return QFile::exists(socket); }, 5000))
            return {};
        m_address = QStringLiteral("unix_socket:") + socket;
        return m_address;
    }
    QString cacheFile() const { return m_folder ? m_folder->filePath(QStringLiteral("system-voices.tsv")) : QString(); }

    void TearDown() override
    {
        for (QProcess* process : {&m_service, &m_pulse}) {
            process->terminate();
            process->waitForFinished(3000);
        }
    }

private:
    bool m_tried = false;
    QString m_address;
    std::optional<QTemporaryDir> m_folder;
    QProcess m_pulse;
    QProcess m_service;
};

SpeechService* const g_service = static_cast<SpeechService*>(::testing::AddGlobalTestEnvironment(new SpeechService));

// espeak-ng's American English through the service; null when it cannot be reached.
std::unique_ptr<SpeechEngine> systemEngine()
{
    const QString address = g_service->start();
    if (address.isEmpty())
        return nullptr;
    qputenv("SPEECHD_ADDRESS", address.toUtf8());
    std::unique_ptr<velmor::SystemVoices> voices = velmor::SystemVoices::connect(g_service->cacheFile());
    if (voices)
        for (int mode = 1; mode <= voices->ModeCount(); ++mode)
            if (voices->SpeakerOf(mode).endsWith(QLatin1String("English (America) (en-US)")))
                voices->SelectMode(mode);
    return voices;
}

// What every voice the engine offers must do, whichever synthesizer makes it: each case runs
// the real helper on the silent clock with the mode of one speaker, or a voice of the desktop's
// speech service.
class EngineContract : public ::testing::TestWithParam<const char*> {
protected:
    EngineContract()
    {
        if (GetParam() == std::string_view(kSystemVoice)) {
            engine = systemEngine();
            if (!engine)
                return;
            selected = 1;
        } else {
            engine = std::make_unique<EspeakEngine>(EspeakEngine::Output::Silent);
            for (int mode = 1; mode <= engine->ModeCount(); ++mode)
                if (engine->SpeakerOf(mode) == QLatin1String(GetParam()))
                    selected = mode;
            if (selected > 0)
                engine->SelectMode(selected);
        }
        QObject::connect(engine.get(), &SpeechEngine::OnTextDataStarted, [this] { events << kStarted; });
        QObject::connect(engine.get(), &SpeechEngine::OnTextDataDone, [this] { events << kDone; });
        QObject::connect(engine.get(), &SpeechEngine::OnTextDataDiscarded, [this] { events << kDiscarded; });
        QObject::connect(engine.get(), &SpeechEngine::OnWordHeard, [this](const QString& text, int offset, int length) {
            events << QStringLiteral("word:") + text.mid(offset, length);
        });
    }

    bool waitForEvents(qsizetype count) { return QTest::qWaitFor([&] { return events.size() >= count; }, kTimeoutMs); }

    // Milliseconds from the start of a text to its end on an idle engine.
    qint64 speakingTime(const QString& text)
    {
        events.clear();
        engine->SpeakText(text);
        if (!waitForEvents(1))
            return -1;
        QElapsedTimer speaking;
        speaking.start();
        if (!QTest::qWaitFor([&] { return events.contains(kDone); }, kTimeoutMs))
            return -1;
        return speaking.elapsed();
    }

    std::unique_ptr<SpeechEngine> engine;
    int selected = 0;
    QStringList events;
};

TEST_P(EngineContract, StartsReportsTheHeardWordsInOrderAndEndsOnce)
{
    ASSERT_GT(selected, 0) << GetParam();
    engine->SpeakText(QStringLiteral("Hello big world.\r\nAgain in time, and here."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains(kDone); }, kTimeoutMs));
    QTest::qWait(300);
    EXPECT_EQ(events, QStringList({kStarted, "word:Hello", "word:big", "word:world", "word:Again", "word:in",
                                   "word:time", "word:and", "word:here", kDone}));
}

TEST_P(EngineContract, APauseHoldsEverythingAndAResetSilencesTheRest)
{
    ASSERT_GT(selected, 0) << GetParam();
    engine->SpeakText(QStringLiteral("One two three four five six seven eight nine ten. Eleven twelve thirteen."));
    ASSERT_TRUE(waitForEvents(2));
    engine->PauseAudio();
    const QStringList atPause = events;
    QTest::qWait(1000);
    EXPECT_EQ(events, atPause);
    engine->ResumeAudio();
    ASSERT_TRUE(waitForEvents(atPause.size() + 1));
    engine->ResetAudio();
    const QStringList atReset = events;
    QTest::qWait(1000);
    EXPECT_EQ(events, atReset);
    EXPECT_EQ(events.back(), kDiscarded);
    EXPECT_FALSE(events.contains(kDone));
}

TEST_P(EngineContract, TheSpeedBarSetsTheVoicesPace)
{
    ASSERT_GT(selected, 0) << GetParam();
    const QString text = QStringLiteral("one two three four five six");
    engine->setSpeed(400);
    const qint64 fast = speakingTime(text);
    engine->setSpeed(100);
    const qint64 slow = speakingTime(text);
    ASSERT_GT(fast, 0);
    EXPECT_GT(slow, 2 * fast) << "fast " << fast << " ms, slow " << slow << " ms";
}

// espeak-ng's own named speaker, the Flite voices built into the helper, and the desktop's service.
INSTANTIATE_TEST_SUITE_P(EveryEngine, EngineContract, ::testing::Values("Mary", "Sally", "Robert", "Angus", "Kal", kSystemVoice));

TEST(FliteVoices, AreModesAfterTheEspeakOnesAndSoundAtTheEnginesRate)
{
    const EspeakEngine engine(EspeakEngine::Output::Silent);
    const int count = engine.ModeCount();
    ASSERT_GT(count, 4);
    QStringList lastFour;
    for (int mode = count - 3; mode <= count; ++mode)
        lastFour << engine.ModeNameOf(mode) + u'/' + engine.SpeakerOf(mode);
    EXPECT_EQ(lastFour, QStringList({"Female Eng. US Flite/Sally", "Male Eng. US Flite/Robert",
                                     "Male Eng. Scot Flite/Angus", "Male Eng. US Flite 2/Kal"}));

    velmor::PcmQueue pcm(1 << 20);
    velmor::EspeakWorker worker(pcm, [] { });
    velmor::SynthesisJob job;
    job.text = QStringLiteral("Two seconds of a pleasant voice.");
    job.voice = QByteArrayLiteral("flite/slt");
    const velmor::VoiceSample slt = worker.sample(job);
    EXPECT_EQ(slt.voiceInForce, job.voice);
    // Resampled from Flite's own 16000 Hz to the engine's rate: as long, in more samples.
    velmor::synthesis::FliteSynthesizer atOwnRate(16000);
    qsizetype ownSamples = 0;
    atOwnRate.synthesize("flite/slt", job.wordsPerMinute, job.text.toStdString(), [&](const short*, std::uint32_t count, const auto&) {
        ownSamples += count;
        return true;
    });
    ASSERT_GT(ownSamples, 16000);
    EXPECT_NEAR(double(slt.samples.size() / 2) / worker.sampleRate(), double(ownSamples) / 16000, 0.01);
}

TEST(FliteText, TokensArePlacedInOrderAndLongSentencesAreCut)
{
    using velmor::synthesis::placeTokens;
    using velmor::synthesis::utterancePieces;
    const auto spans = placeTokens("here, \"here\" and (here) x", {"here", "here", "and", "here", "missing", "x"});
    std::vector<std::pair<std::size_t, std::size_t>> placed;
    for (const auto& s : spans)
        placed.emplace_back(s.begin, s.end);
    EXPECT_EQ(placed, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 4}, {7, 11}, {13, 16}, {18, 22}, {22, 22}, {24, 25}}));

    std::vector<std::string> pieces;
    const std::string_view text = "One two three. Two!\nThree and four and five. Mr.X, a, b, c, and a clause long enough to end, here";
    for (const auto& p : utterancePieces(text, 6, 12))
        pieces.emplace_back(text.substr(p.begin, p.end - p.begin));
    EXPECT_EQ(pieces, (std::vector<std::string>{"One ", "two three.", " Two!", "\n", "Three and ", "four and ", "five.",
                                                " Mr.X, a, ", "b, c, and a ", "clause long ", "enough to ", "end, here"}));
    pieces.clear();
    for (const auto& p : utterancePieces(text.substr(44), 100, 100))
        pieces.emplace_back(text.substr(44).substr(p.begin, p.end - p.begin));
    EXPECT_EQ(pieces, (std::vector<std::string>{" Mr.X, a, b, c, and a clause long enough to end,", " here"}));
}

// A number is one word of several sounds; a symbol without sound is no word; the places count
// code points from 1 and the sound of each word starts after the one before.
TEST(FliteText, WordsArePlacedInTheTextInTheOrderTheyAreHeard)
{
    velmor::synthesis::FliteSynthesizer flite(22050);
    const std::string text = "In 1990, na\u00EFve \u2014 caf\u00E9. Done!";
    QStringList words;
    std::int64_t lastSample = -1;
    std::int64_t samples = 0;
    const bool finished = flite.synthesize("flite/kal16", 175, text, [&](const short*, std::uint32_t count, const auto& events) {
        for (const velmor::synthesis::SynthesisEvent& e : events) {
            words << QString::fromUtf8(text).mid(e.textPosition - 1, e.length);
            EXPECT_GT(e.sample, lastSample);
            EXPECT_GE(e.sample, samples);
            lastSample = e.sample;
        }
        samples += count;
        return true;
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(words, QStringList({"In", "1990", "na\u00EFve", "caf\u00E9", "Done"}));
    EXPECT_GT(samples, 22050); // more than a second
    EXPECT_LT(lastSample, samples);
    // A sink that refuses stops it at once.
    int pieces = 0;
    EXPECT_FALSE(flite.synthesize("flite/kal16", 175, text, [&](const short*, std::uint32_t, const auto&) { return ++pieces < 1; }));
    EXPECT_EQ(pieces, 1);
}

} // namespace
