// From the key (Ctrl+P, Ctrl+T, Ctrl+B) in the main window until the text's first samples reach the
// sound device, each right after a reset of speech: a short text, 1 MB and 20 MB of English in
// lines and as one paragraph, and 20 MB of Japanese read by a Japanese voice (readings by MeCab).
// Also how long the rest takes to reach the engine behind the first part.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "speech/EspeakEngine.h"
#include "speech/QtSinkOutput.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kTrials = 9;
constexpr int kTimeoutMs = 10000;

QString repeatedTo(qsizetype size, const QString& piece)
{
    return piece.repeated(size / piece.size() + 1).left(size);
}

QString sentences(qsizetype size, const QString& between)
{
    return repeatedTo(size, QStringLiteral("The quick brown fox jumps over the lazy dog, again and again.") + between);
}

QString japanese(qsizetype size)
{
    return repeatedTo(size, QStringLiteral("政府は新しい経済対策を発表した。東京株式市場は大幅に値上がりし、日経平均株価は"
                                           "3万8000円を超えた。子供たちは公園で遊んでいる。図書館で本を2冊借りました。\n"));
}

void letItRun(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop for ms and gives the longest time it went without a turn, in ms.
double longestStall(int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticks.start(1);
    letItRun(ms);
    return double(longest) / 1e6;
}

int modeOfSpeaker(const velmor::EspeakEngine& engine, const QString& speaker)
{
    for (int mode = 1; mode <= engine.ModeCount(); ++mode)
        if (engine.SpeakerOf(mode) == speaker)
            return mode;
    return 0;
}

struct Figures {
    double medianMs;
    double maxMs;
};

Figures summary(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    auto engine = std::make_unique<velmor::EspeakEngine>(velmor::EspeakEngine::OpenDevice(velmor::openSoundDevice));
    velmor::EspeakEngine* speech = engine.get();
    velmor::TForm1 form(std::move(engine), velmor::bench::quietFormOptions(folder));
    form.show();
    QApplication::processEvents();
    std::printf("Key to first samples on the device (%s); target < 20 ms\n",
                speech->isSilent() ? "silent clock, no device" : "default audio device");

    const auto selectAll = [&] { form.RichEdit98->selectAll(); };
    const auto speakAll = [&] { form.SpeechButtonClick(); };
    const auto speakSelection = [&] { form.SelTextButtonClick(); };
    const auto speakLine = [&] { form.BandButtonClick(); };
    const int naoko = modeOfSpeaker(*speech, QStringLiteral("Naoko"));
    const struct {
        const char* label;
        QString text;
        const char* key;
        std::function<void()> before;
        std::function<void()> press;
        bool japaneseVoice = false;
    } runs[] = {
        {"short text", sentences(60, {}), "Ctrl+P", {}, speakAll},
        {"1 MB in lines", sentences(1'000'000, QStringLiteral("\n")), "Ctrl+P", {}, speakAll},
        {"1 MB one paragraph", sentences(1'000'000, QStringLiteral(" ")), "Ctrl+P", {}, speakAll},
        {"20 MB in lines", sentences(20'000'000, QStringLiteral("\n")), "Ctrl+P", {}, speakAll},
        {"20 MB in lines", {}, "Ctrl+T all", selectAll, speakSelection},
        {"20 MB one paragraph", sentences(20'000'000, QStringLiteral(" ")), "Ctrl+P", {}, speakAll},
        {"20 MB one paragraph", {}, "Ctrl+T all", selectAll, speakSelection},
        {"20 MB one paragraph", {}, "Ctrl+B", {}, speakLine},
        {"20 MB Japanese", japanese(20'000'000), "Ctrl+P", {}, speakAll, true},
    };
    for (const auto& run : runs) {
        if (run.japaneseVoice) {
            if (naoko == 0) {
                std::printf("no Japanese voice: %s not measured\n", run.label);
                continue;
            }
            speech->SelectMode(naoko);
        }
        if (!run.text.isEmpty()) {
            form.RichEdit98->setPlainText(run.text);
            QApplication::processEvents();
        }
        std::vector<double> firstSound;
        std::vector<double> handlerMs;
        std::vector<double> stallMs;
        for (int trial = 0; trial < kTrials; ++trial) {
            form.ResetButtonClick();
            letItRun(50);
            if (run.before)
                run.before();
            double started = -1;
            QEventLoop loop;
            QElapsedTimer since;
            const auto connection = QObject::connect(speech, &velmor::EspeakEngine::OnTextDataStarted, &loop, [&] {
                started = double(since.nsecsElapsed()) / 1e6;
                loop.quit();
            });
            QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
            since.start();
            run.press();
            handlerMs.push_back(double(since.nsecsElapsed()) / 1e6);
            loop.exec();
            QObject::disconnect(connection);
            firstSound.push_back(started);
            // Meanwhile the rest is gathered between events.
            stallMs.push_back(longestStall(400));
        }
        const Figures first = summary(firstSound);
        const Figures handler = summary(handlerMs);
        const Figures stall = summary(stallMs);
        std::printf("%-20s %-10s first sound median %7.2f max %7.2f ms | key handler %7.2f ms | "
                    "longest stall after it %6.2f ms (%d trials)\n",
                    run.label, run.key, first.medianMs, first.maxMs, handler.medianMs, stall.medianMs, kTrials);
    }
    form.ResetButtonClick();
    form.RichEdit98->setModified(false);
    return 0;
}
