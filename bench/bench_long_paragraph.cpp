// Long paragraphs in the main window: opening a file that is one paragraph (words, or one
// "word" without any break opportunity), then a keystroke and a caret move in it, each timed
// from the key press until the view is repainted, with the caption kept up to date.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "document/FileCommands.h"
#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Window {
    explicit Window(const QTemporaryDir& folder)
    {
        form = std::make_unique<velmor::TForm1>(nullptr, velmor::bench::quietFormOptions(folder));
        form->show();
        QApplication::processEvents();
    }
    ~Window() { form->RichEdit98->setModified(false); }
    std::unique_ptr<velmor::TForm1> form;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double sinceMs(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

// One key press and release, then whatever the event loop has to do, painting included.
double press(QWidget* target, Qt::Key key, const QString& text = {})
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
    QApplication::processEvents();
    return sinceMs(timer);
}

void measure(const QTemporaryDir& folder, const char* label, const QString& paragraph)
{
    const QString path = folder.filePath(QStringLiteral("paragraph.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(paragraph.toUtf8()) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
    Window window(folder);
    velmor::TRichEdit98* box = window.form->RichEdit98;
    QElapsedTimer opening;
    opening.start();
    window.form->openAtStart(path);
    while (window.form->fileCommands().opening())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    const double openMs = sinceMs(opening);

    std::vector<double> typedAtEnd, typedInMiddle, moved;
    for (const bool middle : {false, true}) {
        box->setSelection(middle ? int(paragraph.size() / 2) : int(paragraph.size()), 0);
        QApplication::processEvents();
        for (int i = 0; i < 40; ++i)
            (middle ? typedInMiddle : typedAtEnd).push_back(press(box, Qt::Key_A, QStringLiteral("a")));
        for (int i = 0; i < 40; ++i)
            moved.push_back(press(box, i % 2 ? Qt::Key_Right : Qt::Key_Left));
    }
    std::printf("%-30s open+paint %8.1f ms   key at end %7.2f ms   key in middle %7.2f ms   caret move %7.2f ms\n",
                label, openMs, median(typedAtEnd), median(typedInMiddle), median(moved));
}

QString words(qsizetype size)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog, again and again. ");
    return sentence.repeated(size / sentence.size() + 1).left(size);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf("medians; targets: key and caret < 5 ms, any file shown within 1 s\n");
    for (const qsizetype size : {10'000, 100'000, 300'000, 1'000'000})
        measure(folder, qPrintable(QStringLiteral("%1 KB paragraph of words").arg(size / 1000)), words(size));
    for (const qsizetype size : {100'000, 1'000'000, 5'000'000})
        measure(folder, qPrintable(QStringLiteral("%1 KB of \"x\"").arg(size / 1000)), QString(size, u'x'));
    measure(folder, "1000 KB of NUL", QString(1'000'000, QChar(0)));
    measure(folder, "1000 KB of Japanese, no blank",
            QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。").repeated(31'250));
    return 0;
}
