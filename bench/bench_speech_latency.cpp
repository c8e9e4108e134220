// Time from SpeakText to the text's first samples handed to the sound device
// (OnTextDataStarted), for short and very long texts, each right after a ResetAudio that
// interrupts speech in progress.
#include "BenchSupport.h"
#include "speech/EspeakEngine.h"
#include "speech/QtSinkOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using velmor::EspeakEngine;

namespace {

constexpr int kTrials = 9;
constexpr int kTimeoutMs = 10000;

QString textOfSize(qsizetype size)
{
    return velmor::bench::repeatedLines(QStringLiteral("The quick brown fox jumps over the lazy dog.\r\n"), size).left(size);
}



void report(const char* label, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.front() < 0) {
        std::printf("%-34s  no start within %d ms\n", label, kTimeoutMs);
        return;
    }
    std::printf("%-34s  median %6.2f ms  max %6.2f ms  (%zu trials)\n", label, ms[ms.size() / 2], ms.back(), ms.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    EspeakEngine engine{EspeakEngine::OpenDevice(velmor::openSoundDevice)};
    std::printf("speech latency: SpeakText to first samples on the device (%s, %d modes)\n",
                engine.isSilent() ? "silent clock, no device" : "default audio device", engine.ModeCount());

    const struct {
        const char* label;
        qsizetype size;
    } sizes[] = {{"10 characters", 10}, {"10 KB", 10 * 1024}, {"1 MB", 1024 * 1024}};

    for (const auto& size : sizes) {
        const QString text = textOfSize(size.size);
        std::vector<double> times;
        for (int trial = 0; trial < kTrials; ++trial) {
            engine.ResetAudio();
            QElapsedTimer since;
            since.start();
            engine.SpeakText(text);
            times.push_back(velmor::bench::waitForStart(engine, since, kTimeoutMs));
            velmor::bench::runEventsFor(150);
        }
        report(size.label, times);
    }

    // The same after a reset of paused speech.
    std::vector<double> times;
    const QString text = textOfSize(10);
    for (int trial = 0; trial < kTrials; ++trial) {
        engine.PauseAudio();
        engine.ResetAudio();
        QElapsedTimer since;
        since.start();
        engine.SpeakText(text);
        times.push_back(velmor::bench::waitForStart(engine, since, kTimeoutMs));
        velmor::bench::runEventsFor(150);
    }
    report("10 characters, reset while paused", times);

    QElapsedTimer resetting;
    resetting.start();
    engine.ResetAudio();
    std::printf("ResetAudio during speech: %.2f ms\n", double(resetting.nsecsElapsed()) / 1e6);
    return 0;
}
