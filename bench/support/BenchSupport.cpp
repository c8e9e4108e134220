#include "BenchSupport.h"

#include "speech/SpeechEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace velmor::bench {

FormOptions quietFormOptions(const QTemporaryDir& folder)
{
    Dialogs quiet;
    quiet.askYesNo = [](const QString&) { return true; };
    quiet.inform = [](const QString&) {};
    quiet.showError = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    quiet.chooseColor = [](const QColor&) { return std::nullopt; };
    quiet.chooseFile = [](const FileChoice&) { return std::nullopt; };
    quiet.chooseItem = [](const QString&, const QString&, const QStringList&, int) { return std::optional<int>(); };
    quiet.notify = [](QWidget*, const QString&) {};
    quiet.askQuestion = [](QWidget*, const QString&) { return true; };
    quiet.beep = [] {};
    return FormOptions{false, quiet, folder.filePath(QStringLiteral("velmor.ini"))};
}

QString repeatedLines(const QString& line, qsizetype size)
{
    return line.repeated(size / line.size() + 1);
}

double waitForStart(SpeechEngine& engine, const QElapsedTimer& since, int timeoutMs)
{
    double result = -1;
    QEventLoop loop;
    const auto started = QObject::connect(&engine, &SpeechEngine::OnTextDataStarted, &loop, [&] {
        result = double(since.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(started);
    return result;
}

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void measure(const char* what, const std::function<void()>& step)
{
    QApplication::processEvents();
    QElapsedTimer wall;
    const double cpuStart = threadCpuMs();
    wall.start();
    step();
    QApplication::processEvents();
    std::printf("%-58s %8.2f ms (cpu %.2f ms)\n", what, double(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpuStart);
}

void printSpread(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("%-44s median %7.3f ms  p95 %7.3f ms  max %7.3f ms\n", what, values[values.size() / 2],
                values[values.size() * 95 / 100], values.back());
}

double keystroke(QWidget* target, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace velmor::bench
