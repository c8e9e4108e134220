// Marks on a text of ten million characters: removing them all with "Reset" and by turning
// marking off, marking a passage, speaking a selection (which replaces the marks while marking
// is off) and typing a letter while thousands of marks are shown.

#include "BenchSupport.h"
#include "app/TForm1.h"
#include "speech/SpeechEngine.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
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

    const QString line = QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。Some English words here.\n");
    const QString text = velmor::bench::repeatedLines(line, 10'000'000);
    editor.setPlainText(text);
    form.MarkCheckButton->click();
    constexpr int kMarks = 1'000;
    const int spacing = int(text.size()) / kMarks;
    const auto markEverywhere = [&] {
        for (int i = 0; i < kMarks; ++i)
            editor.addHighlight(i * spacing, spacing / 2, i % 2 ? Qt::yellow : Qt::cyan);
    };
    std::printf("%d marks over %lld characters:\n", kMarks, static_cast<long long>(text.size()));
    measure("  putting them on", markEverywhere);
    editor.setSelection(int(text.size()) - 10, 0);
    measure("  typing a letter among them", [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&editor, &press);
    });
    editor.setSelection(1000, 500);
    measure("  marking a passage with \"Mark\"", [&] { form.MarkButton->click(); });
    measure("  \"Reset\" removing every mark (target < 300 ms)", [&] { form.MResetButton->click(); });
    markEverywhere();
    measure("  turning marking off with the button", [&] { form.MarkCheckButton->click(); });
    editor.setModified(false);
    return editor.highlightCount() == 0 ? 0 : 1;
}
