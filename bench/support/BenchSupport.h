#pragma once

// What every benchmark of the main window needs: a window that asks nothing, texts of a given
// size, and timing that shows CPU time beside wall time (the two differ a lot on a busy machine).

#include "app/TForm1.h"

#include <QString>

#include <functional>
#include <vector>

class QElapsedTimer;
class QTemporaryDir;
class QWidget;

namespace velmor {
class SpeechEngine;
}

namespace velmor::bench {

// Options for a main window that answers every question with yes, cancels every dialog and
// prints errors, keeping its settings in folder.
FormOptions quietFormOptions(const QTemporaryDir& folder);

// line repeated until the text holds at least size characters.
QString repeatedLines(const QString& line, qsizetype size);

// Milliseconds from since until the engine reports a text started, or -1 after timeoutMs.
double waitForStart(SpeechEngine& engine, const QElapsedTimer& since, int timeoutMs = 10000);

// Lets the event loop run for ms milliseconds (speech goes on meanwhile).
void runEventsFor(int ms);

// CPU time of the calling thread.
double threadCpuMs();

// Runs the step with the events it causes (painting included) and prints wall and CPU time.
void measure(const char* what, const std::function<void()>& step);

// Median, 95th percentile and worst of the values.
void printSpread(const char* what, std::vector<double> values);

// Sends one key's press and release to the widget; returns the milliseconds they took.
double keystroke(QWidget* target, Qt::Key key, const QString& text);

} // namespace velmor::bench
