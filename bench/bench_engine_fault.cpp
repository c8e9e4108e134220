// How long speech stands still when the synthesis helper dies: from the kill to the first sound
// of the sentence after, made by the helper started in its place.
#include "speech/EspeakWorker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>
#include <vector>

using namespace velmor;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kTrials = 9;
    PcmQueue pcm(std::size_t(1) << 30);
    std::atomic<int> chunks{0};
    std::atomic<int> faults{0};
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> firstChunkAfterFault{-1};
    EspeakWorker worker(pcm, [&] {
        ++chunks;
        if (faults > 0 && firstChunkAfterFault < 0)
            firstChunkAfterFault = clock.nsecsElapsed();
    }, [&] { ++faults; });

    QString text;
    for (int i = 1; i <= 400; ++i)
        text += QStringLiteral("Sentence number %1 of a text that is long enough. ").arg(i);
    std::vector<double> ms;
    for (int trial = 0; trial < kTrials; ++trial) {
        const std::uint64_t generation = pcm.discard();
        chunks = 0;
        faults = 0;
        firstChunkAfterFault = -1;
        SynthesisJob job{1, generation, text, QByteArrayLiteral("en-us"), 175, {}, {}};
        job.preparation.voiceLanguage = QByteArrayLiteral("en");
        worker.enqueue(job);
        while (chunks < 3)
            std::this_thread::yield();
        const qint64 killed = clock.nsecsElapsed();
        kill(worker.helperProcess(), SIGKILL);
        while (firstChunkAfterFault < 0)
            std::this_thread::yield();
        ms.push_back(double(firstChunkAfterFault - killed) / 1e6);
    }
    pcm.discard();
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %7.2f ms  max %7.2f ms  (%d trials)\n", "helper killed -> next sound made", ms[ms.size() / 2],
                ms.back(), kTrials);
    return 0;
}
