#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace velmor {

// The file named on the command line when its extension is one the program opens
// (compared exactly, case included); any other argument, or none, gives nothing.
std::optional<QString> commandLineFile(const QStringList& arguments);

// What the program was asked to do from the command line.
struct CommandLineRequest {
    // Speak: the command-line speaker (CommandLineSpeaker.h), which needs no window.
    enum class Action { Run, PrintHelp, PrintVersion, Speak } action = Action::Run;
    std::optional<QString> file;
};

// arguments[0] is the program itself, as QCoreApplication::arguments() gives them.
CommandLineRequest parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();

// What decides whether a window can be shown: QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY.
struct DisplayEnvironment {
    QString platform;
    QString display;
    QString waylandDisplay;
};
DisplayEnvironment currentDisplayEnvironment();

// True when the window system to be used (the "-platform" option, else QT_QPA_PLATFORM, else
// X11 or Wayland) needs a display and none is named, by the environment or a "-display" option.
// Platforms that draw off screen need none.
bool displayMissing(const QStringList& arguments, const DisplayEnvironment& environment);
QString missingDisplayText();

} // namespace velmor
