#include "QtPrinters.h"

#include "speech/AudioOutput.h"
#include "speech/EspeakEngine.h"
#include "speech/EspeakWorker.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using velmor::AudioOutput;
using velmor::EspeakEngine;
using velmor::PlaybackClock;
using velmor::SpeechError;

namespace {

// Generous: CI machines are loaded, and speech runs in real time on the silent clock.
constexpr int kTimeoutMs = 15000;

const QString kStarted = QStringLiteral("started");
const QString kDone = QStringLiteral("done");
const QString kDiscarded = QStringLiteral("discarded");

// Real espeak-ng on the silent clock, with every notification logged in arrival order.
class EspeakEngineTest : public ::testing::Test {
protected:
    EspeakEngineTest()
        : engine(std::make_unique<EspeakEngine>(EspeakEngine::Output::Silent))
    {
        QObject::connect(engine.get(), &EspeakEngine::OnTextDataStarted, [this] { events << kStarted; });
        QObject::connect(engine.get(), &EspeakEngine::OnTextDataDone, [this] { events << kDone; });
        QObject::connect(engine.get(), &EspeakEngine::OnTextDataDiscarded, [this] { events << kDiscarded; });
    }

    bool waitForEvents(qsizetype count, int timeoutMs = kTimeoutMs)
    {
        return QTest::qWaitFor([&] { return events.size() >= count; }, timeoutMs);
    }

    // Milliseconds from a text's start to its end, for a text queued on an idle engine.
    qint64 speakingTime(const QString& text)
    {
        events.clear();
        engine->SpeakText(text);
        if (!waitForEvents(1))
            return -1;
        QElapsedTimer speaking;
        speaking.start();
        if (!waitForEvents(2))
            return -1;
        return speaking.elapsed();
    }

    std::unique_ptr<EspeakEngine> engine;
    QStringList events;
};

TEST_F(EspeakEngineTest, OffersEveryInstalledVoiceAsANamedMode)
{
    ASSERT_GT(engine->ModeCount(), 0);
    QStringList names;
    for (int mode = 1; mode <= engine->ModeCount(); ++mode) {
        EXPECT_FALSE(engine->ModeNameOf(mode).isEmpty()) << mode;
        EXPECT_FALSE(engine->SpeakerOf(mode).isEmpty()) << mode;
        names << engine->ModeNameOf(mode);
    }
    EXPECT_TRUE(names.contains(QStringLiteral("Female English (US)"))) << names.join(u',').toStdString();
    EXPECT_TRUE(engine->isSilent());
}

TEST_F(EspeakEngineTest, ModeNumbersOutsideTheListAreErrors)
{
    const int count = engine->ModeCount();
    EXPECT_THROW(engine->SelectMode(0), SpeechError);
    EXPECT_THROW(engine->SelectMode(count + 1), SpeechError);
    EXPECT_THROW(engine->ModeNameOf(count + 1), SpeechError);
    EXPECT_THROW(engine->SpeakerOf(-1), SpeechError);
    EXPECT_NO_THROW(engine->SelectMode(1));
    EXPECT_NO_THROW(engine->SelectMode(count));
}

TEST_F(EspeakEngineTest, TextsQueuedBackToBackAreReportedStartedAndDoneInOrder)
{
    engine->SpeakText(QStringLiteral("one"));
    engine->SpeakText(QStringLiteral("two\r\nthree"));
    engine->SpeakText(QStringLiteral("four"));
    ASSERT_TRUE(waitForEvents(6));
    QTest::qWait(200);
    EXPECT_EQ(events, QStringList({kStarted, kDone, kStarted, kDone, kStarted, kDone}));
}

TEST_F(EspeakEngineTest, EmptyTextIsReportedStartedAndDone)
{
    engine->SpeakText(QString());
    ASSERT_TRUE(waitForEvents(2));
    engine->SpeakText(QStringLiteral("\r\n"));
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_EQ(events, QStringList({kStarted, kDone, kStarted, kDone}));
}

TEST_F(EspeakEngineTest, PauseHoldsTheEndOfTheTextUntilResumed)
{
    engine->SpeakText(QStringLiteral("Hello world, this is a test."));
    ASSERT_TRUE(waitForEvents(1));
    engine->PauseAudio();
    QTest::qWait(2500); // longer than the whole text takes to speak
    EXPECT_EQ(events, QStringList({kStarted}));
    engine->ResumeAudio();
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(events, QStringList({kStarted, kDone}));
}

// Words are reported as they are heard, not as they are made (synthesis runs far ahead), by
// their place in the very string queued: in UTF-16 units, past a character that takes two.
TEST_F(EspeakEngineTest, WordsAreReportedWhenHeardWithTheirPlaceInTheQueuedText)
{
    const QString text = QStringLiteral("Hello 😀 big world.\r\nAgain here, and here.");
    QElapsedTimer sinceStart;
    qint64 lastWordMs = 0;
    double levelAtAgain = 0.0;
    QObject::connect(engine.get(), &EspeakEngine::OnTextDataStarted, [&] { sinceStart.start(); });
    QObject::connect(engine.get(), &EspeakEngine::OnWordHeard, [&](const QString& spoken, int offset, int length) {
        events << QStringLiteral("word:") + spoken.mid(offset, length);
        EXPECT_EQ(spoken.constData(), text.constData());
        lastWordMs = sinceStart.elapsed();
        if (spoken.mid(offset, length) == QStringLiteral("Again"))
            levelAtAgain = engine->outputLevel();
    });
    engine->SpeakText(text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains(kDone); }, kTimeoutMs));
    EXPECT_EQ(events, QStringList({kStarted, "word:Hello", "word:😀", "word:big", "word:world", "word:Again",
                                   "word:here", "word:and", "word:here", kDone}));
    EXPECT_GT(lastWordMs, 1500); // the last word begins more than two seconds into the sound
    // Reported as its sound plays, not in the silence between the sentences before it.
    EXPECT_GT(levelAtAgain, 0.001);
}

// A text handed over in two parts is one text; whatever is queued before its rest waits behind it,
// and each word names the part it is in. A reset drops the text with its rest to come.
TEST_F(EspeakEngineTest, ATextInTwoPartsIsSpokenAsOneWithTextsQueuedMeanwhileBehindIt)
{
    const QString first = QStringLiteral("One two. ");
    const QString rest = QStringLiteral("Three four.\r\n");
    const QString echo = QStringLiteral("five");
    QObject::connect(engine.get(), &EspeakEngine::OnWordHeard, [&](const QString& spoken, int offset, int length) {
        const bool ours = spoken.constData() == first.constData() || spoken.constData() == rest.constData()
            || spoken.constData() == echo.constData();
        events << (ours ? QStringLiteral("word:") + spoken.mid(offset, length) : QStringLiteral("stray word"));
    });
    engine->SpeakFirstPart(first);
    engine->SpeakText(echo);
    QTest::qWait(100); // the first part is spoken out before its rest comes
    ASSERT_TRUE(engine->SpeakLastPart(rest));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.count(kDone) == 2; }, kTimeoutMs));
    EXPECT_EQ(events, QStringList({kStarted, "word:One", "word:two", "word:Three", "word:four", kDone, kStarted,
                                   "word:five", kDone}));

    events.clear();
    engine->SpeakFirstPart(first);
    ASSERT_TRUE(waitForEvents(1));
    engine->ResetAudio();
    EXPECT_FALSE(engine->SpeakLastPart(rest));
    QTest::qWait(500);
    EXPECT_EQ(events.front(), kStarted);
    EXPECT_EQ(events.back(), kDiscarded);
    EXPECT_FALSE(events.contains(kDone));
}

// Where a text is cut in two after a sentence, the pause after it is the one it has in the whole
// text (the library shortens the pause at a text's end by about a quarter of a second).
TEST(EspeakWorkerParts, AFirstPartKeepsThePauseAfterItsLastSentence)
{
    velmor::PcmQueue pcm(1 << 20);
    velmor::EspeakWorker worker(pcm, [] {});
    const auto samples = [&](const QString& text, bool continued) {
        velmor::SynthesisJob job;
        job.text = text;
        job.voice = QByteArrayLiteral("en-us");
        job.preparation.voiceLanguage = QByteArrayLiteral("en");
        job.continued = continued;
        return double(worker.sample(job).samples.size() / 2);
    };
    const double whole = samples(QStringLiteral("The quick brown fox jumps. The end.\r\n"), false);
    const double parts = samples(QStringLiteral("The quick brown fox jumps. "), true) + samples(QStringLiteral("The end.\r\n"), false);
    EXPECT_NEAR(parts, whole, worker.sampleRate() * 0.05);
}

TEST_F(EspeakEngineTest, TextQueuedWhilePausedWaitsForResume)
{
    engine->PauseAudio();
    engine->SpeakText(QStringLiteral("word"));
    QTest::qWait(1000);
    EXPECT_TRUE(events.isEmpty());
    engine->ResumeAudio();
    ASSERT_TRUE(waitForEvents(2));
}

TEST_F(EspeakEngineTest, SpeakingAfterAResetWhilePausedStartsAtOnce)
{
    engine->SpeakText(QStringLiteral("A sentence long enough to be interrupted in the middle of it."));
    ASSERT_TRUE(waitForEvents(1));
    engine->PauseAudio();
    engine->ResetAudio();
    events.clear();

    QElapsedTimer sinceSpeak;
    sinceSpeak.start();
    engine->SpeakText(QStringLiteral("word"));
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_LT(sinceSpeak.elapsed(), 1000);
    ASSERT_TRUE(waitForEvents(2));
    QTest::qWait(200);
    EXPECT_EQ(events, QStringList({kStarted, kDone}));
}

TEST_F(EspeakEngineTest, ResetDiscardsTheNotificationsOfDiscardedTexts)
{
    engine->SpeakText(QStringLiteral("The first text, spoken for a while."));
    engine->SpeakText(QStringLiteral("The second text."));
    ASSERT_TRUE(waitForEvents(1));
    engine->ResetAudio();
    engine->ResetAudio();
    QTest::qWait(2500); // both texts would have ended by now
    EXPECT_EQ(events, QStringList({kStarted, kDiscarded}));

    events.clear();
    engine->SpeakText(QStringLiteral("word"));
    ASSERT_TRUE(waitForEvents(2));
    QTest::qWait(200);
    EXPECT_EQ(events, QStringList({kStarted, kDone}));
}

TEST_F(EspeakEngineTest, ResetFromInsideAHandlerStopsTheRemainingNotifications)
{
    QObject::connect(engine.get(), &EspeakEngine::OnTextDataDone, engine.get(), [this] { engine->ResetAudio(); });
    engine->SpeakText(QString());
    engine->SpeakText(QString());
    ASSERT_TRUE(waitForEvents(2));
    QTest::qWait(500);
    EXPECT_EQ(events, QStringList({kStarted, kDone}));
}

TEST_F(EspeakEngineTest, SpeedAppliesToTextsQueuedAfterwards)
{
    const QString text = QStringLiteral("one two three four five six");
    engine->setMaxSpeed(188);
    engine->setMinSpeed(130);
    engine->setSpeed(400); // beyond the bounds on purpose: they do not clamp
    engine->SpeakText(text);
    engine->setSpeed(80);
    events.clear();
    ASSERT_TRUE(waitForEvents(1));
    QElapsedTimer speaking;
    speaking.start();
    ASSERT_TRUE(waitForEvents(2));
    const qint64 fast = speaking.elapsed();
    const qint64 slow = speakingTime(text);
    ASSERT_GT(slow, 0);
    EXPECT_GT(slow, 2 * fast) << "fast " << fast << " ms, slow " << slow << " ms";
}

TEST_F(EspeakEngineTest, OutputLevelFollowsThePlayingSound)
{
    EXPECT_EQ(engine->outputLevel(), 0.0);
    engine->SpeakText(QStringLiteral("Hello world, this is a test."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return engine->outputLevel() > 0.01; }, kTimeoutMs));
    engine->PauseAudio();
    EXPECT_EQ(engine->outputLevel(), 0.0);
    engine->ResumeAudio();
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(engine->outputLevel(), 0.0);
}

TEST_F(EspeakEngineTest, DestroyingWhileSpeakingALongTextReturns)
{
    engine->SpeakText(QStringLiteral("A long text is spoken here. ").repeated(2000));
    ASSERT_TRUE(waitForEvents(1));
    QElapsedTimer destroying;
    destroying.start();
    engine.reset();
    EXPECT_LT(destroying.elapsed(), 5000);
}

TEST_F(EspeakEngineTest, DestroyingWhilePausedReturns)
{
    engine->SpeakText(QStringLiteral("A long text is spoken here. ").repeated(2000));
    ASSERT_TRUE(waitForEvents(1));
    engine->PauseAudio();
    QTest::qWait(100);
    engine.reset();
    SUCCEED();
}

// Each engine synthesizes in a process of its own, so two may live and speak at once.
TEST_F(EspeakEngineTest, ASecondEngineAliveAtTheSameTimeSpeaksToo)
{
    EspeakEngine second(EspeakEngine::Output::Silent);
    EXPECT_EQ(second.ModeCount(), engine->ModeCount());
    EXPECT_NE(second.synthesisProcess(), engine->synthesisProcess());
    QStringList secondEvents;
    QObject::connect(&second, &EspeakEngine::OnTextDataStarted, [&] { secondEvents << kStarted; });
    QObject::connect(&second, &EspeakEngine::OnTextDataDone, [&] { secondEvents << kDone; });
    second.SpeakText(QStringLiteral("word"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondEvents.size() >= 2; }, kTimeoutMs));
    EXPECT_EQ(secondEvents, QStringList({kStarted, kDone}));
}

// Hands out sound devices that play in real time while one is plugged in; unplugging kills the
// device in use as a dying sound server does.
class DeviceSocket {
public:
    EspeakEngine::OpenDevice opener()
    {
        return [this](int sampleRate, qint64 bufferBytes, std::function<void()> onFailure) -> std::unique_ptr<AudioOutput> {
            if (!plugged)
                return nullptr;
            m_failure = std::move(onFailure);
            return std::make_unique<Device>(*this, sampleRate, bufferBytes);
        };
    }

    void unplug()
    {
        plugged = false;
        m_failure();
    }

    bool plugged = true;
    qint64 heardBytes = 0;

private:
    class Device : public AudioOutput {
    public:
        Device(DeviceSocket& socket, int sampleRate, qint64 bufferBytes)
            : m_socket(socket), m_bufferBytes(bufferBytes), m_clock(sampleRate * 2)
        {
        }
        qint64 bytesFree() const override
        {
            return m_socket.plugged ? m_bufferBytes - (m_clock.queued() - m_clock.played()) : 0;
        }
        qint64 write(const char*, qint64 bytes) override
        {
            const qint64 taken = std::min(bytes, bytesFree());
            m_clock.queue(taken);
            m_socket.heardBytes += taken;
            return taken;
        }
        qint64 playedBytes() const override { return m_clock.played(); }
        void suspend() override { m_clock.suspend(); }
        void resume() override { m_clock.resume(); }
        void reset() override { m_clock.reset(); }

    private:
        DeviceSocket& m_socket;
        qint64 m_bufferBytes;
        PlaybackClock m_clock;
    };

    std::function<void()> m_failure;
};

TEST(EspeakEngineDevice, IsLookedForAgainWhileSilentAndTakesOverOnAnIdleEngine)
{
    DeviceSocket socket;
    socket.plugged = false;
    EspeakEngine engine(socket.opener());
    QStringList events;
    int outputChanges = 0;
    QObject::connect(&engine, &EspeakEngine::OnTextDataStarted, [&] { events << kStarted; });
    QObject::connect(&engine, &EspeakEngine::OnTextDataDone, [&] { events << kDone; });
    QObject::connect(&engine, &EspeakEngine::OnOutputChanged, [&] { ++outputChanges; });
    EXPECT_TRUE(engine.isSilent());

    // Plugged in while nothing is spoken: found without waiting for a text.
    socket.plugged = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.isSilent(); }, kTimeoutMs));
    EXPECT_EQ(outputChanges, 1);

    // Lost in the middle of a text: the text goes on silently and ends in time.
    engine.SpeakText(QStringLiteral("This sentence is long enough to lose its sound device halfway through."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() >= 1 && socket.heardBytes > 0; }, kTimeoutMs));
    socket.unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() >= 2; }, kTimeoutMs));
    EXPECT_TRUE(engine.isSilent());
    EXPECT_EQ(outputChanges, 2);

    // Back again: the next text finds it at once and is heard.
    socket.plugged = true;
    const qint64 heardBefore = socket.heardBytes;
    engine.SpeakText(QStringLiteral("word"));
    EXPECT_FALSE(engine.isSilent());
    EXPECT_EQ(outputChanges, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() >= 4; }, kTimeoutMs));
    EXPECT_EQ(events, QStringList({kStarted, kDone, kStarted, kDone}));
    EXPECT_GT(socket.heardBytes, heardBefore);
}

TEST(EspeakEngineLifetime, EnginesMadeOneAfterAnotherEachSpeak)
{
    for (int round = 0; round < 3; ++round) {
        EspeakEngine engine(EspeakEngine::Output::Silent);
        ASSERT_GT(engine.ModeCount(), 0);
        int done = 0;
        QObject::connect(&engine, &EspeakEngine::OnTextDataDone, [&] { ++done; });
        engine.SelectMode(engine.ModeCount());
        engine.SpeakText(QStringLiteral("a"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return done == 1; }, kTimeoutMs)) << round;
    }
}

} // namespace
