// Typing echo in a 10-million-character text: the time our code takes for each keystroke
// (press and release handled by the window, echo included) and the time from the key's
// release to the echo's first sound on the device, for a word ended by its space (Joyful
// writing on) and for a letter (Joyful writing off). No input-method framework is asked.
#include "core/FormState.h"
#include "BenchSupport.h"
#include "app/TForm1.h"
#include "input/InputMethod.h"
#include "speech/EspeakEngine.h"
#include "speech/QtSinkOutput.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Milliseconds until the engine reports a started text, or -1 after two seconds.
double waitForSound(velmor::SpeechEngine& engine, const QElapsedTimer& since)
{
    double result = -1;
    QEventLoop loop;
    const auto started = QObject::connect(&engine, &velmor::SpeechEngine::OnTextDataStarted, &loop, [&] {
        result = double(since.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(started);
    return result;
}

} // namespace

using velmor::bench::keystroke;
using velmor::bench::printSpread;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    velmor::FormOptions options = velmor::bench::quietFormOptions(folder);
    options.inputMethod = [] { return std::make_unique<velmor::NoInputMethod>(); };
    velmor::TForm1 form(std::make_unique<velmor::EspeakEngine>(velmor::EspeakEngine::OpenDevice(velmor::openSoundDevice)), std::move(options));
    form.show();

    const QString line = QStringLiteral("吾輩は猫である。名前はまだ無い。Some English words here.\n");
    const QString text = velmor::bench::repeatedLines(line, 10'000'000);
    form.RichEdit98->setPlainText(text);
    form.RichEdit98->moveCursor(QTextCursor::End);
    runFor(300);

    velmor::SpeechEngine& engine = *form.engine();
    std::vector<double> letters, spaces, wordSound;
    for (int word = 0; word < 30; ++word) {
        for (const QChar c : QStringLiteral("hello"))
            letters.push_back(keystroke(form.RichEdit98, Qt::Key(c.toUpper().unicode()), QString(c)));
        engine.ResetAudio();
        runFor(50);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(form.RichEdit98, &press);
        QElapsedTimer sinceRelease;
        sinceRelease.start();
        QApplication::sendEvent(form.RichEdit98, &release);
        spaces.push_back(double(sinceRelease.nsecsElapsed()) / 1e6);
        wordSound.push_back(waitForSound(engine, sinceRelease));
    }
    std::printf("typing echo at the end of %lld characters (targets: no keystroke over 1 ms, sound within 30 ms)\n",
                static_cast<long long>(text.size()));
    printSpread("Joyful writing, a letter (no echo):", letters);
    printSpread("Joyful writing, the space's release (echo):", spaces);
    printSpread("Joyful writing, release to sound:", wordSound);

    form.WordReadCheckBox->click();
    std::vector<double> echoed, letterSound;
    for (int i = 0; i < 30; ++i) {
        engine.ResetAudio();
        runFor(50);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
        QElapsedTimer sincePress;
        sincePress.start();
        QApplication::sendEvent(form.RichEdit98, &press);
        QApplication::sendEvent(form.RichEdit98, &release);
        echoed.push_back(double(sincePress.nsecsElapsed()) / 1e6);
        letterSound.push_back(waitForSound(engine, sincePress));
    }
    printSpread("letter echo, a keystroke:", echoed);
    printSpread("letter echo, press to sound:", letterSound);

    // The engine's share of an echo: stopping what is heard and queueing the word.
    std::vector<double> engineCalls;
    for (int i = 0; i < 30; ++i) {
        runFor(50);
        QElapsedTimer timer;
        timer.start();
        engine.ResetAudio();
        engine.SpeakText(QStringLiteral("hello"));
        engineCalls.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    engine.ResetAudio();
    printSpread("the engine's ResetAudio and SpeakText:", engineCalls);
    form.RichEdit98->setModified(false);
    return 0;
}
