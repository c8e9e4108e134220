// Marks on a text of ten million characters: removing them all with "Reset" and by turning
// marking off, marking a passage, speaking a selection (which replaces the marks while marking
// is off) and typing a letter while thousands of marks are shown.

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

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs the step with the events it causes (painting included) and prints wall and CPU time.
void measure(const char* what, const std::function<void()>& step)
{
    QApplication::processEvents();
    QElapsedTimer wall;
    const double cpuStart = threadCpuMs();
    wall.start();
    step();
    QApplication::processEvents();
    std::printf("%-52s %7.2f ms (cpu %.2f ms)\n", what, double(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpuStart);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;

    velmor::Dialogs quiet;
    quiet.askYesNo = [](const QString&) { return true; };
    quiet.inform = [](const QString&) {};
    quiet.showError = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    quiet.chooseColor = [](const QColor&) { return std::nullopt; };
    quiet.chooseFile = [](const velmor::FileChoice&) { return std::nullopt; };
    quiet.notify = [](QWidget*, const QString&) {};
    quiet.askQuestion = [](QWidget*, const QString&) { return true; };
    quiet.beep = [] {};
    velmor::TForm1 form(nullptr, velmor::FormOptions{false, quiet, folder.filePath(QStringLiteral("velmor.ini"))});
    form.show();
    velmor::TRichEdit98& editor = *form.RichEdit98;

    const QString line = QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。Some English words here.\n");
    QString text;
    text.reserve(10'000'000 + line.size());
    while (text.size() < 10'000'000)
        text += line;
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
