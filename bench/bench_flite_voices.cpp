// The built-in Flite voices: time from SpeakText to the first samples on the silent clock for
// short and long texts, and WAV export speed against real time with the peak memory it takes.

#include "BenchSupport.h"
#include "speech/EspeakEngine.h"
#include "speech/SpeechRecording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

using velmor::EspeakEngine;

namespace {

constexpr int kTrials = 5;
constexpr int kTimeoutMs = 10000;

QString textOfSize(qsizetype size)
{
    return velmor::bench::repeatedLines(QStringLiteral("The quick brown fox jumps over the lazy dog. Would you like another cup of tea?\r\n"), size).left(size);
}



long peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    EspeakEngine engine(EspeakEngine::Output::Silent);
    QTemporaryDir folder;
    std::printf("Flite voices (silent clock; figures depend on the machine's load)\n");
    for (const char* speaker : {"Sally", "Robert", "Angus", "Kal"}) {
        int mode = 0;
        for (int m = 1; m <= engine.ModeCount(); ++m)
            if (engine.SpeakerOf(m) == QLatin1String(speaker))
                mode = m;
        if (mode == 0) {
            std::printf("%s: no such mode\n", speaker);
            continue;
        }
        engine.SelectMode(mode);
        engine.setSpeed(150);
        for (const qsizetype size : {qsizetype(10), qsizetype(10 * 1024), qsizetype(1024 * 1024)}) {
            const QString text = textOfSize(size);
            std::vector<double> times;
            for (int trial = 0; trial < kTrials; ++trial) {
                engine.ResetAudio();
                QElapsedTimer since;
                since.start();
                engine.SpeakText(text);
                times.push_back(velmor::bench::waitForStart(engine, since, kTimeoutMs));
                velmor::bench::runEventsFor(150);
            }
            engine.ResetAudio();
            std::sort(times.begin(), times.end());
            std::printf("%-7s first sound, %7lld characters: median %7.2f ms, max %7.2f ms (goal < 20 ms)\n", speaker,
                        static_cast<long long>(size), times[times.size() / 2], times.back());
        }
        QElapsedTimer timer;
        timer.start();
        const QString path = folder.filePath(QStringLiteral("%1.wav").arg(QLatin1String(speaker)));
        auto recording = std::make_shared<velmor::AudioFileRecording>(path, engine.sampleRate(), 20'000);
        engine.record(textOfSize(20'000), recording);
        if (recording->wait() != velmor::AudioFileRecording::State::Written)
            qFatal("the export failed: %s", qPrintable(recording->error()));
        const double wall = double(timer.nsecsElapsed()) / 1e9;
        std::printf("%-7s WAV export, 20 kB: %.0f s of speech in %.2f s: %.0fx real time (goal >= 300x); peak RSS %ld MB\n",
                    speaker, recording->seconds(), wall, recording->seconds() / wall, peakRssMegabytes());
    }
    return 0;
}
