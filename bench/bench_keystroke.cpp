// A 20 MB CP932 text in the main window: opening it the way the command line does (read,
// decode, show, colour the Yuki marks, caret), then a keystroke at its end: the key handling
// of the text box plus the caret report in the caption and the unsaved-changes mark.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "document/FileCommands.h"
#include "document/Cp932.h"
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

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;

    velmor::TForm1 form(nullptr, velmor::bench::quietFormOptions(folder));
    form.show();

    // About ten million characters in lines of 60, as a long novel is.
    const QString line = QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。Some English words here.\n");
    const QString text = velmor::bench::repeatedLines(line, 10'000'000);
    const QString path = folder.filePath(QStringLiteral("novel.txt"));
    {
        QString crlf = text;
        crlf.replace(u'\n', QStringLiteral("\r\n"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(velmor::encodeCp932(crlf)) < 0)
            return 1;
    }
    QElapsedTimer opening;
    opening.start();
    form.openAtStart(path);
    while (form.fileCommands().opening())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    std::printf("opening %lld bytes in the window until painted: %.0f ms (target < 800 ms)\n",
                static_cast<long long>(QFile(path).size()), double(opening.nsecsElapsed()) / 1e6);
    form.RichEdit98->moveCursor(QTextCursor::End);
    QApplication::processEvents();

    std::vector<double> typed;
    std::vector<double> moved;
    for (int i = 0; i < 200; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QElapsedTimer timer;
        timer.start();
        QApplication::sendEvent(form.RichEdit98, &press);
        QApplication::sendEvent(form.RichEdit98, &release);
        typed.push_back(double(timer.nsecsElapsed()) / 1e6);

        QKeyEvent left(QEvent::KeyPress, i % 2 ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
        timer.restart();
        QApplication::sendEvent(form.RichEdit98, &left);
        moved.push_back(double(timer.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
    }
    std::printf("keystroke at the end of %lld characters (%s)\n", static_cast<long long>(text.size()),
                qPrintable(form.windowTitle()));
    velmor::bench::printSpread("typing a letter (target < 1 ms):", typed);
    velmor::bench::printSpread("moving the caret:", moved);
    form.RichEdit98->setModified(false);
    return 0;
}
