// Japanese text preparation: how long readings for 1 MB of Japanese take (MeCab, a piece at a time,
// as the synthesis thread prepares them), and how soon a Japanese voice starts on a 1 MB text.
// The machine may be shared: the thread's CPU time is given beside the wall time. An argument
// sets the size of the text (a small one for a profiler).
#include "speech/EspeakEngine.h"
#include "speech/JapaneseReader.h"
#include "speech/TextPreparation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using velmor::EspeakEngine;
using velmor::TextPreparer;

namespace {

constexpr int kTrials = 5;
constexpr qsizetype kSize = 1024 * 1024;

// News-like prose with names, numbers and a Latin word, repeated to the size.
QString japaneseText(qsizetype size)
{
    const QString paragraph = QStringLiteral(
        "政府は新しい経済対策を発表した。東京株式市場は大幅に値上がりし、日経平均株価は3万8000円を超えた。"
        "気象庁によると、台風10号は9月5日の午後3時ごろ九州に接近する見込みです。"
        "山田太郎さんは「Velmorで文章を読み上げると便利だ」と話していた。\r\n"
        "子供たちは公園で遊んでいる。図書館で本を2冊借りました。駅まで歩いて10分かかる。\r\n");
    QString text = paragraph.repeated(size / paragraph.size() + 1);
    text.truncate(size);
    return text;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int modeOfSpeaker(const EspeakEngine& engine, const QString& speaker)
{
    for (int mode = 1; mode <= engine.ModeCount(); ++mode)
        if (engine.SpeakerOf(mode) == speaker)
            return mode;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype size = argc > 1 ? std::atoll(argv[1]) : kSize;
    const QString text = japaneseText(size > 0 ? size : kSize);
    if (!velmor::JapaneseReader::system().isAvailable()) {
        std::printf("Japanese readings: no MeCab dictionary, nothing to measure\n");
        return 0;
    }

    const TextPreparer preparer({QByteArrayLiteral("ja"), false});
    std::vector<double> wholeMs;
    std::vector<double> cpuMs;
    std::vector<double> firstPieceMs;
    qsizetype prepared = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        prepared = 0;
        for (int begin = 0; begin < text.size();) {
            const int end = velmor::pieceEnd(text, begin);
            for (const velmor::SpeechPassage& passage : preparer.prepare(text, begin, end))
                prepared += passage.prepared.text.size();
            if (begin == 0)
                firstPieceMs.push_back(double(timer.nsecsElapsed()) / 1e6);
            begin = end;
        }
        wholeMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpuMs.push_back(threadCpuMs() - cpuStart);
    }
    std::printf("Japanese readings for %lld characters (to %lld): first piece %.3f ms, whole text %.0f ms, "
                "CPU %.0f ms (median of %d, target under 200 ms for 1 MB)\n",
                static_cast<long long>(text.size()), static_cast<long long>(prepared), median(firstPieceMs),
                median(wholeMs), median(cpuMs), kTrials);

    EspeakEngine engine(EspeakEngine::Output::Silent);
    const int naoko = modeOfSpeaker(engine, QStringLiteral("Naoko"));
    if (naoko == 0) {
        std::printf("no Naoko voice: first sound not measured\n");
        return 0;
    }
    engine.SelectMode(naoko);
    std::vector<double> startMs;
    for (int trial = 0; trial < kTrials; ++trial) {
        engine.ResetAudio();
        QEventLoop loop;
        QElapsedTimer since;
        double started = -1;
        const auto connection = QObject::connect(&engine, &EspeakEngine::OnTextDataStarted, &loop, [&] {
            started = double(since.nsecsElapsed()) / 1e6;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        since.start();
        engine.SpeakText(text);
        loop.exec();
        QObject::disconnect(connection);
        startMs.push_back(started);
    }
    std::printf("Naoko on 1 MB of Japanese: SpeakText to first samples %.2f ms (median of %d, target 20 ms)\n",
                median(startMs), kTrials);
    engine.ResetAudio();
    return 0;
}
