// The synthesiser runs in a helper process: when it dies (here: killed, as a crash of the engine
// would end it) the program carries on, a new helper takes over at once, and what was being
// spoken goes on after the sentence it died on; a recording fails cleanly instead.
#include "speech/EspeakEngine.h"
#include "speech/EspeakWorker.h"
#include "speech/SpeechRecording.h"
#include "speech/SynthesisHelper.h"
#include "speech/UnsafeInput.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using namespace velmor;

namespace {

constexpr int kTimeoutMs = 15000;

QString numberedSentences(int count)
{
    QString text;
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("Sentence number %1 is spoken here. ").arg(i);
    return text;
}

// A line of a list of engine inputs: the voice, a tab, the text with \x{...} for characters.
struct VoiceInput {
    QByteArray line;
    QByteArray voice;
    QString text;

    SynthesisJob job() const
    {
        SynthesisJob job;
        job.text = text;
        job.voice = voice;
        job.preparation.voiceLanguage = voice.mid(voice.indexOf('/') + 1);
        return job;
    }
};

std::vector<VoiceInput> voiceInputs(const QString& name)
{
    QFile list(QStringLiteral(VELMOR_SPEECH_TEST_DATA "/") + name);
    EXPECT_TRUE(list.open(QIODevice::ReadOnly)) << name.toStdString();
    const QRegularExpression escape(QStringLiteral("\\\\x\\{([0-9a-fA-F]+)\\}"));
    std::vector<VoiceInput> inputs;
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (line.isEmpty() || line.startsWith('#') || fields.size() != 2)
            continue;
        QString text = QString::fromUtf8(fields[1]);
        for (QRegularExpressionMatch m = escape.match(text); m.hasMatch(); m = escape.match(text)) {
            const char32_t c = m.captured(1).toUInt(nullptr, 16);
            text.replace(m.capturedStart(), m.capturedLength(), QString::fromUcs4(&c, 1));
        }
        inputs.push_back({line, fields[0], text});
    }
    return inputs;
}

} // namespace

TEST(EngineFaults, SpeechGoesOnAfterTheSentenceTheHelperDiedOn)
{
    EspeakEngine engine(EspeakEngine::Output::Silent);
    engine.SelectMode(1);
    const QString text = numberedSentences(40);
    QList<int> heard;
    int faults = 0;
    int done = 0;
    QObject::connect(&engine, &SpeechEngine::OnWordHeard, [&](const QString&, int offset, int) { heard << offset; });
    QObject::connect(&engine, &SpeechEngine::OnEngineFault, [&] { ++faults; });
    QObject::connect(&engine, &SpeechEngine::OnTextDataDone, [&] { ++done; });
    engine.SpeakText(text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }, kTimeoutMs));

    // Synthesis runs about two seconds ahead of what is heard, and waits there mid-text.
    const pid_t first = engine.synthesisProcess();
    ASSERT_GT(first, 0);
    ASSERT_EQ(kill(first, SIGKILL), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return faults > 0; }, kTimeoutMs));
    EXPECT_EQ(faults, 1);
    EXPECT_NE(engine.synthesisProcess(), first);
    EXPECT_GT(engine.synthesisProcess(), 0);

    // Words are still heard in order, never again from the start: what was synthesized before the
    // helper died is heard, then at most the rest of the sentence it died on is left out.
    const qsizetype before = heard.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() > before + 20; }, kTimeoutMs));
    EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
    EXPECT_EQ(std::adjacent_find(heard.begin(), heard.end()), heard.end());
    int longestStep = 0;
    for (qsizetype i = 1; i < heard.size(); ++i)
        longestStep = std::max(longestStep, heard[i] - heard[i - 1]);
    EXPECT_LT(longestStep, 2 * int(QStringLiteral("Sentence number 10 is spoken here. ").size()));
    EXPECT_EQ(done, 0);
    engine.ResetAudio();

    // The new helper speaks the next text from its start.
    heard.clear();
    engine.SpeakText(QStringLiteral("After the fault."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return done == 1; }, kTimeoutMs));
    EXPECT_EQ(heard.value(0, -1), 0);
}

TEST(EngineFaults, ARecordingFailsAndLeavesNoFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("speech.wav"));
    EspeakEngine engine(EspeakEngine::Output::Silent);
    engine.SelectMode(1);
    int faults = 0;
    QObject::connect(&engine, &SpeechEngine::OnEngineFault, [&] { ++faults; });
    const QString text = numberedSentences(3000);
    auto recording = std::make_shared<AudioFileRecording>(path, engine.sampleRate(), text.size());
    engine.record(text, recording);
    ASSERT_TRUE(QTest::qWaitFor([&] { return recording->seconds() > 1.0; }, kTimeoutMs));
    ASSERT_EQ(kill(engine.synthesisProcess(), SIGKILL), 0);
    EXPECT_EQ(recording->wait(), AudioFileRecording::State::Failed);
    EXPECT_TRUE(recording->error().contains(QStringLiteral("speech engine stopped"))) << recording->error().toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QTest::qWaitFor([&] { return faults == 1; }, kTimeoutMs));
}

// A reset of speech is no reason to cut a recording short.
TEST(EngineFaults, AResetOfSpeechDoesNotShortenARecording)
{
    QTemporaryDir folder;
    EspeakEngine engine(EspeakEngine::Output::Silent);
    engine.SelectMode(1);
    const QString text = numberedSentences(400);
    const auto record = [&](const QString& name, bool resetMeanwhile) {
        auto recording = std::make_shared<AudioFileRecording>(folder.filePath(name), engine.sampleRate(), text.size());
        engine.record(text, recording);
        if (resetMeanwhile) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return recording->seconds() > 5.0; }, kTimeoutMs));
            engine.ResetAudio();
        }
        EXPECT_EQ(recording->wait(), AudioFileRecording::State::Written);
        return recording->seconds();
    };
    const double whole = record(QStringLiteral("whole.wav"), false);
    EXPECT_NEAR(record(QStringLiteral("reset.wav"), true), whole, whole * 0.01);
}

TEST(UnsafeInput, ReplacementsKeepPointingAtTheUserText)
{
    const UnsafeInputFilter filter(QStringLiteral(
        "# comment\n*\t\\p{Cn}\t\" \"\n*\t(?<=\\p{Hangul})\\?(?=\\p{Hangul})\t\"? \"\nko,ja\tx\t\"y\"\n"));
    PreparedText text;
    text.text = QStringLiteral("ab\u10CCcd 안녕?반가워");
    EXPECT_EQ(filter.apply(text, "ko").text, QStringLiteral("ab cd 안녕? 반가워"));
    text.text = QStringLiteral("ab\u10CCcd 안녕?반가워x");
    EXPECT_EQ(filter.apply(text, "en-us").text, QStringLiteral("ab cd 안녕? 반가워x"));
    const PreparedText safe = filter.apply(text, "ko");
    EXPECT_EQ(safe.text, QStringLiteral("ab cd 안녕? 반가워y"));
    // "c" is still the user's character 3, the blank after "?" stands for the "?".
    EXPECT_EQ(safe.sourceOf(3, 4), (SourceSpan{3, 4}));
    EXPECT_EQ(safe.sourceOf(8, 10), (SourceSpan{8, 9}));
    EXPECT_EQ(safe.sourceOf(10, 11), (SourceSpan{9, 10}));
    EXPECT_THROW(UnsafeInputFilter(QStringLiteral("*\t[unclosed\t\"x\"")), std::invalid_argument);
    EXPECT_THROW(UnsafeInputFilter(QStringLiteral("*\ta\tno quotes")), std::invalid_argument);
    EXPECT_THROW(UnsafeInputFilter(QStringLiteral("a\t\"b\"")), std::invalid_argument);
    EXPECT_FALSE(UnsafeInputFilter::shipped().rules().empty());
}

// Every input that ever ended the helper, one line each: the voice, a tab and the text, run
// through the real engine with the helper under valgrind, which ends it at the first read of
// freed memory. Unfiltered the engine fails on each; the way speech goes it never does.
TEST(UnsafeInput, NoKnownCrashingInputReachesTheEngine)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "valgrind cannot run the helper built with AddressSanitizer";
#endif
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    ASSERT_FALSE(valgrind.isEmpty());
    QTemporaryDir folder;
    QFile wrapper(folder.filePath(QStringLiteral("helper")));
    ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
    wrapper.write("#!/bin/sh\nexec '" + QFile::encodeName(valgrind) + "' -q --exit-on-first-error=yes --error-exitcode=99 --undef-value-errors=no '"
                  + QFile::encodeName(SynthesisHelper::defaultProgram()) + "' \"$@\"\n");
    wrapper.close();
    wrapper.setPermissions(wrapper.permissions() | QFile::ExeOwner);

    PcmQueue pcm(1 << 24);
    int faults = 0;
    EspeakWorker worker(pcm, [] {}, [&] { ++faults; }, wrapper.fileName());
    SynthesisHelper raw(wrapper.fileName());
    const std::vector<VoiceInput> inputs = voiceInputs(QStringLiteral("espeak-crashers.tsv"));
    for (const VoiceInput& input : inputs) {
        SCOPED_TRACE(input.line.constData());
        if (!raw.isRunning()) {
            ASSERT_TRUE(raw.start(false));
        }
        EXPECT_EQ(raw.synthesize(input.voice, 175, input.text.toUtf8(), [](const short*, int, const auto&) { return true; }),
                  SynthesisHelper::Outcome::Died);
        faults = 0;
        worker.sample(input.job());
        EXPECT_EQ(faults, 0);
    }
    EXPECT_GE(inputs.size(), 20u);
}

// What the fuzzer found before the list knew it, with the helper as built: none may end it.
TEST(UnsafeInput, WhatTheFuzzerFoundIsSpokenWithoutAFault)
{
    PcmQueue pcm(1 << 24);
    int faults = 0;
    EspeakWorker worker(pcm, [] {}, [&] { ++faults; });
    const std::vector<VoiceInput> inputs = voiceInputs(QStringLiteral("espeak-fuzz-finds.tsv"));
    for (const VoiceInput& input : inputs) {
        worker.sample(input.job());
        EXPECT_EQ(faults, 0) << input.line.constData();
        faults = 0;
    }
    EXPECT_GE(inputs.size(), 100u);
}
