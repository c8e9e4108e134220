// Highlight lag: from the moment the sound device has played up to a word's first sound to the
// moment the text box shows that word highlighted. Each word is a sentence of its own, so that
// its first sound can be found in the audio itself (the first loud sample after a silence); the
// device's played position is sampled every millisecond. Goal: within 50 ms.
#include "speech/AudioOutput.h"
#include "speech/QtSinkOutput.h"
#include "speech/EspeakEngine.h"
#include "speech/WordFollower.h"
#include "document/PieceKeeper.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace velmor;

namespace {

constexpr int kTimeoutMs = 120000;
constexpr int kLoud = 400;                // sample value that counts as sound
constexpr qsizetype kSilenceSamples = 3300; // 150 ms at 22050 Hz before a word's first sound

// The sound device, watched: what was written to it, and how far it has played, sampled often.
class WatchedOutput : public AudioOutput {
public:
    explicit WatchedOutput(std::unique_ptr<AudioOutput> device) : m_device(std::move(device)) { }

    qint64 bytesFree() const override { return m_device->bytesFree(); }
    qint64 write(const char* data, qint64 bytes) override
    {
        const qint64 taken = m_device->write(data, bytes);
        if (taken > 0)
            written.append(data, taken);
        return taken;
    }
    qint64 playedBytes() const override { return m_device->playedBytes(); }
    void suspend() override { m_device->suspend(); }
    void resume() override { m_device->resume(); }
    void reset() override
    {
        m_device->reset();
        written.clear();
    }

    QByteArray written;

private:
    std::unique_ptr<AudioOutput> m_device;
};

struct Sample {
    double ms;
    qint64 played;
};

// Byte positions of the first sound of each stretch of sound that follows a silence.
std::vector<qint64> onsets(const QByteArray& pcm)
{
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    std::vector<qint64> found;
    qsizetype quiet = kSilenceSamples;
    for (qsizetype i = 0; i < count; ++i) {
        if (std::abs(samples[i]) < kLoud) {
            ++quiet;
            continue;
        }
        if (quiet >= kSilenceSamples)
            found.push_back(i * 2);
        quiet = 0;
    }
    return found;
}

// When playback reached a byte position, interpolated between two samples of the position.
double reachedAt(const std::vector<Sample>& samples, qint64 position)
{
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].played < position)
            continue;
        const Sample& a = samples[i - 1];
        const Sample& b = samples[i];
        if (b.played == a.played)
            return b.ms;
        return a.ms + (b.ms - a.ms) * double(position - a.played) / double(b.played - a.played);
    }
    return -1;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    WatchedOutput* watched = nullptr;
    bool silent = false;
    EspeakEngine engine([&](int rate, qint64 bufferBytes, std::function<void()> onFailure) {
        std::unique_ptr<AudioOutput> device = QtSinkOutput::open(rate, bufferBytes, std::move(onFailure));
        if (!device) {
            silent = true;
            device = std::make_unique<SilentClockOutput>(rate * 2, bufferBytes);
        }
        auto output = std::make_unique<WatchedOutput>(std::move(device));
        watched = output.get();
        return output;
    });
    TRichEdit98 editor(QStringLiteral("RichEdit98"), nullptr);
    velmor::PieceKeeper::attach(editor);
    WordFollower follower(engine, editor, nullptr);

    const QString text = QStringLiteral("Mellow. Ramen. Lemon. Marrow. Normal. Willow. Yellow. Rumor. Linen. Memo.\n")
                             .repeated(3);
    editor.setPlainText(text);

    QElapsedTimer clock;
    std::vector<Sample> played;
    std::vector<double> shownAt;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] { played.push_back({double(clock.nsecsElapsed()) / 1e6, watched->playedBytes()}); });
    // Connected after the follower: it runs once the highlight is shown.
    QObject::connect(&engine, &SpeechEngine::OnWordHeard, [&](const QString&, int, int) {
        shownAt.push_back(double(clock.nsecsElapsed()) / 1e6);
    });
    QEventLoop loop;
    QObject::connect(&engine, &SpeechEngine::OnTextDataDone, &loop, &QEventLoop::quit);
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);

    const QString spoken = text; // the string handed over is the one followed
    clock.start();
    poll.start();
    engine.SpeakText(spoken);
    follower.follow(WordFollower::Queued::AfterReset, spoken, 0);
    loop.exec();
    poll.stop();

    const std::vector<qint64> firstSounds = onsets(watched->written);
    std::printf("highlight lag: the word's first sound played to its highlight shown (%s)\n",
                silent ? "silent clock, no device" : "default audio device");
    if (firstSounds.size() != shownAt.size())
        std::printf("note: %zu words shown, %zu first sounds found in the audio; pairing them in order\n",
                    shownAt.size(), firstSounds.size());
    std::vector<double> lags;
    for (std::size_t i = 0; i < std::min(firstSounds.size(), shownAt.size()); ++i) {
        const double heard = reachedAt(played, firstSounds[i]);
        if (heard >= 0)
            lags.push_back(shownAt[i] - heard);
    }
    if (lags.empty()) {
        std::printf("no words measured\n");
        return 1;
    }
    std::printf("%zu words: median %.1f ms, 90th percentile %.1f ms, max %.1f ms, min %.1f ms (goal: within 50 ms)\n",
                lags.size(), percentile(lags, 0.5), percentile(lags, 0.9), percentile(lags, 1.0), percentile(lags, 0.0));
    return 0;
}
