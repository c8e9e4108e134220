// The desktop's voices through speech-dispatcher: what connecting and reading the voice list
// costs (the list read from the service, then from the cache), and the time from SpeakText to the
// service's report that the voice began, beside the same for a message sent with libspeechd
// alone and spd-say's own round trip. Needs a running speech-dispatcher that can play
// (speech-dispatcher -d, with a sound server); it is not started for the bench.

#include "BenchSupport.h"
#include "speech/SystemVoices.h"

#include <libspeechd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int kTrials = 7;
const char kText[] = "The quick brown fox jumps over the lazy dog.";

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::atomic<bool> g_begun{false};
void onBegin(std::size_t, std::size_t, SPDNotificationType) { g_begun = true; }

// spd_say to the begin notice on a connection of its own: what the service itself takes.
std::vector<double> serviceAlone(const QString& module, const QString& voice)
{
    char* error = nullptr;
    SPDConnection* connection = spd_open2("velmor", "bench", nullptr, SPD_MODE_THREADED, nullptr, 0, &error);
    std::free(error);
    if (!connection)
        return {};
    connection->callback_begin = onBegin;
    spd_set_notification_on(connection, SPD_BEGIN);
    spd_set_output_module(connection, module.toUtf8().constData());
    spd_set_synthesis_voice(connection, voice.toUtf8().constData());
    std::vector<double> times;
    for (int trial = 0; trial < kTrials; ++trial) {
        g_begun = false;
        QElapsedTimer since;
        since.start();
        spd_say(connection, SPD_MESSAGE, kText);
        while (!g_begun && since.elapsed() < 5000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        times.push_back(double(since.nsecsElapsed()) / 1e6);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        spd_cancel(connection);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    spd_close(connection);
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString cache = folder.filePath(QStringLiteral("system-voices.tsv"));
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<velmor::SystemVoices> voices = velmor::SystemVoices::connect(cache);
    const double cold = double(timer.nsecsElapsed()) / 1e6;
    if (!voices) {
        std::printf("speech-dispatcher is not reachable or offers no voice: start it first (speech-dispatcher -d)\n");
        return 1;
    }
    std::printf("System voices: %d; connecting and reading them from the service %.1f ms\n", voices->ModeCount(), cold);
    voices.reset();
    timer.restart();
    voices = velmor::SystemVoices::connect(cache);
    std::printf("connecting with the voice list from the cache: %.2f ms\n", double(timer.nsecsElapsed()) / 1e6);

    int mode = 1;
    for (int m = 1; m <= voices->ModeCount(); ++m)
        if (voices->voices()[std::size_t(m - 1)].language == QLatin1String("en-US"))
            mode = m;
    const velmor::SystemVoice& voice = voices->voices()[std::size_t(mode - 1)];
    voices->SelectMode(mode);
    voices->setSpeed(150);
    std::printf("voice: %s\n", qPrintable(voices->SpeakerOf(mode)));

    std::vector<double> ours;
    for (int trial = 0; trial < kTrials; ++trial) {
        voices->ResetAudio();
        velmor::bench::runEventsFor(100);
        QElapsedTimer since;
        since.start();
        voices->SpeakText(QString::fromLatin1(kText));
        ours.push_back(velmor::bench::waitForStart(*voices, since, 5000));
        velmor::bench::runEventsFor(300);
    }
    voices->ResetAudio();
    velmor::bench::runEventsFor(100);
    const std::vector<double> alone = serviceAlone(voice.module, voice.name);

    std::vector<double> spdSay;
    for (int trial = 0; trial < 3; ++trial) {
        QElapsedTimer since;
        since.start();
        QProcess::execute(QStringLiteral("spd-say"), {QStringLiteral("-w"), QStringLiteral("-o"), voice.module,
                                                       QStringLiteral("-y"), voice.name, QStringLiteral("Hello.")});
        spdSay.push_back(double(since.nsecsElapsed()) / 1e6);
    }

    const double service = alone.empty() ? 0.0 : median(alone);
    std::printf("SpeakText to the voice's begin: median %.1f ms, max %.1f ms\n", median(ours), *std::max_element(ours.begin(), ours.end()));
    std::printf("the service alone (spd_say to begin): median %.1f ms\n", service);
    std::printf("spd-say -w \"Hello.\" (process, whole word): median %.1f ms\n", median(spdSay));
    std::printf("ours above the service: %.1f ms (goal < 50 ms)\n", median(ours) - service);
    return 0;
}
