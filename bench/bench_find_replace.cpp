// The Search or Replace window on big texts: Replace All of 100,000 occurrences in 5 MB of
// text (and its undo), and Next Search and Back Search through 20 MB when the occurrence is
// at the far end or missing, so that the whole text is searched.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "document/TForm3.h"
#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

using velmor::bench::measure;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;

    velmor::TForm1 form(nullptr, velmor::bench::quietFormOptions(folder));
    form.show();
    velmor::TRichEdit98& editor = *form.RichEdit98;

    // 5,000,000 characters in lines of 50, each with one "word".
    const QString line = QStringLiteral("%1 the reader says each word of it aloud now\n");
    QString text;
    text.reserve(5'000'000);
    for (int i = 0; i < 100'000; ++i)
        text += line.arg(i, 7, 10, QLatin1Char('0'));
    editor.setPlainText(text);
    form.FindButtonClick();
    velmor::TForm3* window = form.findChild<velmor::TForm3*>();
    window->RichEdit98F->setPlainText(QStringLiteral("word"));
    window->RichEdit98R->setPlainText(QStringLiteral("phrase"));
    std::printf("Replace All in %lld characters:\n", static_cast<long long>(text.size()));
    measure("  100,000 occurrences of \"word\" by \"phrase\" (target < 1 s)", [window] { window->Re_allButtonClick(); });
    if (editor.wholeText().count(QStringLiteral("phrase")) != 100'000)
        return 1;
    measure("  undoing it in one step", [&form] { form.Undo1Click(); });

    // About ten million characters in lines of 60, as a long novel is: 20 MB as a file.
    const QString novelLine = QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。Some English words here.\n");
    QString novel = QStringLiteral("Beginning\n");
    while (novel.size() < 10'000'000)
        novel += novelLine;
    novel += QStringLiteral("The End\n");
    editor.setPlainText(novel);
    std::printf("Searching %lld characters (targets < 50 ms each):\n", static_cast<long long>(novel.size()));
    window->RichEdit98F->setPlainText(QStringLiteral("The End"));
    measure("  Next Search from the start, found at the end", [window] { window->NextButtonClick(); });
    measure("  Next Search after it, nothing further", [window] { window->NextButtonClick(); });
    editor.setSelection(int(novel.size()) - 4, 3);
    window->RichEdit98F->setPlainText(QStringLiteral("Beginning"));
    measure("  Back Search from the end, found at the start", [window] { window->FindBackButtonClick(); });
    const int found = editor.selStart();
    editor.setSelection(int(novel.size()) - 4, 0);
    window->RichEdit98F->setPlainText(QStringLiteral("Middle"));
    measure("  Back Search from the end, nothing before", [window] { window->FindBackButtonClick(); });
    form.RichEdit98->setModified(false);
    return found == 0 ? 0 : 1;
}
