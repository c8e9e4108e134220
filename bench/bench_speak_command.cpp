// Ctrl+P in the main window until the text's first samples reach the sound device, for a short
// text, 1 MB in lines and 1 MB that is one paragraph (each right after a reset of speech).

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "speech/EspeakEngine.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTrials = 9;
constexpr int kTimeoutMs = 10000;

QString sentences(qsizetype size, const QString& between)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog, again and again.") + between;
    return sentence.repeated(size / sentence.size() + 1).left(size);
}

void letItRun(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    auto engine = std::make_unique<velmor::EspeakEngine>();
    velmor::EspeakEngine* speech = engine.get();
    velmor::TForm1 form(std::move(engine), velmor::bench::quietFormOptions(folder));
    form.show();
    QApplication::processEvents();
    std::printf("Ctrl+P to first samples on the device (%s); target < 20 ms\n",
                speech->isSilent() ? "silent clock, no device" : "default audio device");

    const struct {
        const char* label;
        QString text;
    } texts[] = {{"short text", sentences(60, {})},
                 {"1 MB in lines", sentences(1'000'000, QStringLiteral("\n"))},
                 {"1 MB one paragraph", sentences(1'000'000, QStringLiteral(" "))}};
    for (const auto& text : texts) {
        form.RichEdit98->setPlainText(text.text);
        QApplication::processEvents();
        std::vector<double> ms;
        for (int trial = 0; trial < kTrials; ++trial) {
            form.ResetButtonClick();
            letItRun(50);
            double started = -1;
            QEventLoop loop;
            QElapsedTimer since;
            const auto connection = QObject::connect(speech, &velmor::EspeakEngine::OnTextDataStarted, &loop, [&] {
                started = double(since.nsecsElapsed()) / 1e6;
                loop.quit();
            });
            QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
            since.start();
            form.SpeechButtonClick();
            loop.exec();
            QObject::disconnect(connection);
            ms.push_back(started);
            letItRun(100);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-22s median %6.2f ms  max %6.2f ms  (%d trials)\n", text.label, ms[ms.size() / 2], ms.back(), kTrials);
    }
    form.ResetButtonClick();
    form.RichEdit98->setModified(false);
    return 0;
}
