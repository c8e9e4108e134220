// Keeping where listening stopped, as the close does it: the place of a word near the end of a
// 20 MB text, written into a list that already holds the places of 999 other files; and the size
// of that list's file.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "document/ListeningPlaces.h"
#include "speech/ListeningResume.h"
#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    velmor::TForm1 form(nullptr, velmor::bench::quietFormOptions(folder));
    velmor::TRichEdit98& editor = *form.RichEdit98;
    editor.setPlainText(velmor::bench::repeatedLines(
        QStringLiteral("It was a bright cold day in April, and the clocks were striking thirteen. 吾輩は猫である。\n"), 20'000'000));

    const QString store = folder.filePath(QStringLiteral("state/velmor/listening-places"));
    velmor::ListeningPlaces places(store);
    const QDateTime now = QDateTime::currentDateTime();
    // Paths as long as a document's usually are.
    const auto pathOf = [&](int i) { return QStringLiteral("/home/someone/Documents/Books/Series %1/volume-%2.txt").arg(i / 10).arg(i); };
    for (int i = 0; i < velmor::ListeningPlaces::kMaxFiles - 1; ++i)
        places.remember(pathOf(i), velmor::placeInEditor(editor, 1000 + i), now);

    const int position = editor.document()->characterCount() - 500;
    std::vector<double> ms;
    std::vector<double> writtenMs;
    for (int trial = 0; trial < 21; ++trial) {
        places.flush();
        QElapsedTimer timer;
        timer.start();
        places.remember(folder.filePath(QStringLiteral("book.txt")), velmor::placeInEditor(editor, position - trial), now);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        places.flush();
        writtenMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    velmor::bench::printSpread("Keeping the place heard in a 20 MB text, 1,000 files kept (target < 5 ms)", ms);
    velmor::bench::printSpread("  and the list on disk, on a thread of its own", writtenMs);
    std::vector<double> placeMs;
    for (int trial = 0; trial < 21; ++trial) {
        QElapsedTimer timer;
        timer.start();
        velmor::placeInEditor(editor, position - trial);
        placeMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    velmor::bench::printSpread("  reading the place from the text", placeMs);
    std::printf("The list of 1,000 places: %lld bytes (target < 200 KB)\n", static_cast<long long>(QFileInfo(store).size()));
    return 0;
}
