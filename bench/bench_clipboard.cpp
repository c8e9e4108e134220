// Clipboard speech with texts of 1 KB, 1 MB and 50 MB, put on the clipboard by another program
// (xclip) and by the window itself: the time from the clipboard change to the first sound on
// the device, to the whole text in the clipboard memory, and the longest time the window went
// without handling events from the change until the whole text was in. Needs an X server and
// a sound server.
#include "core/FormState.h"
#include "BenchSupport.h"
#include "app/TForm1.h"
#include "speech/EspeakEngine.h"
#include "speech/QtSinkOutput.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QString textOfSize(qsizetype size)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog.\n");
    QString text = sentence.repeated(size / sentence.size() + 1);
    text.truncate(size);
    return text;
}

// The longest gap between two turns of the event loop while it runs.
class StallWatch {
public:
    StallWatch()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_ticker.start();
    }
    double longestMs()
    {
        m_ticker.stop();
        return double(m_longest) / 1e6;
    }

private:
    QTimer m_ticker;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

struct Figures {
    double changeToSound = -1;
    double changeToWhole = -1;
    double longestStall = -1;
};

// Puts the text on the clipboard with `put` and measures from the clipboard change on.
Figures measure(velmor::TForm1& form, const QString& text, const std::function<void()>& put)
{
    velmor::SpeechEngine& engine = *form.engine();
    engine.ResetAudio();
    runUntil([] { return false; }, 300);
    form.state().fClipText.clear();

    QElapsedTimer sinceChange;
    StallWatch stalls;
    Figures figures;
    const auto changed = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] {
        if (!sinceChange.isValid()) {
            sinceChange.start();
            stalls.start();
        }
    });
    const auto started = QObject::connect(&engine, &velmor::SpeechEngine::OnTextDataStarted, [&] {
        if (figures.changeToSound < 0 && sinceChange.isValid())
            figures.changeToSound = double(sinceChange.nsecsElapsed()) / 1e6;
    });
    put();
    runUntil([&] { return figures.changeToSound >= 0 && form.state().fClipText.size() == text.size(); }, 20000);
    if (form.state().fClipText.size() == text.size() && sinceChange.isValid())
        figures.changeToWhole = double(sinceChange.nsecsElapsed()) / 1e6;
    if (sinceChange.isValid())
        figures.longestStall = stalls.longestMs();
    QObject::disconnect(changed);
    QObject::disconnect(started);
    engine.ResetAudio();
    return figures;
}

constexpr int kTrials = 5;

// Median and worst of the trials.
void report(const char* label, std::vector<Figures> trials)
{
    const auto line = [&](const char* what, double Figures::*figure) {
        std::vector<double> values;
        for (const Figures& f : trials)
            values.push_back(f.*figure);
        std::sort(values.begin(), values.end());
        std::printf("  %-15s median %7.1f ms  max %7.1f ms\n", what, values[values.size() / 2], values.back());
    };
    std::printf("%s (%d trials)\n", label, kTrials);
    line("to sound", &Figures::changeToSound);
    line("to whole text", &Figures::changeToWhole);
    line("longest stall", &Figures::longestStall);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::printf("clipboard: skipped, needs an X server (platform %s)\n", qPrintable(QGuiApplication::platformName()));
        return 0;
    }
    QTemporaryDir folder;
    velmor::TForm1 form(std::make_unique<velmor::EspeakEngine>(velmor::EspeakEngine::OpenDevice(velmor::openSoundDevice)),
                        velmor::bench::quietFormOptions(folder));
    form.show();
    runUntil([] { return false; }, 500);

    std::printf("clipboard speech (targets: heard within 50 ms of the change, no stall over 100 ms)\n");
    const struct {
        const char* label;
        qsizetype size;
    } sizes[] = {{"1 KB", 1024}, {"1 MB", 1024 * 1024}, {"50 MB", 50 * 1024 * 1024}};
    for (const auto& size : sizes) {
        const QString text = textOfSize(size.size);
        const QString path = folder.filePath(QStringLiteral("clip.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return 1;
        file.close();
        std::vector<Figures> other;
        std::vector<Figures> own;
        for (int trial = 0; trial < kTrials; ++trial) {
            other.push_back(measure(form, text, [&] {
                QProcess::startDetached(QStringLiteral("xclip"), {QStringLiteral("-selection"),
                                                                  QStringLiteral("clipboard"), QStringLiteral("-i"), path});
            }));
            own.push_back(measure(form, text, [&] { QGuiApplication::clipboard()->setText(text); }));
        }
        report(qPrintable(QStringLiteral("%1 put on the clipboard by xclip").arg(QLatin1String(size.label))), other);
        report(qPrintable(QStringLiteral("%1 copied in the window itself").arg(QLatin1String(size.label))), own);
    }
    return 0;
}
