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
    // BadOption: an option nobody knows, in badOption.
    enum class Action { Run, PrintHelp, PrintVersion, Speak, BadOption } action = Action::Run;
    std::optional<QString> file;
    // The first file named, when the window does not open its kind of file.
    std::optional<QString> refusedFile;
    // Files named after the first: only one is opened.
    QStringList extraFiles;
    QString badOption;
};

// The program's arguments with each byte of a file name kept, whatever its encoding.
QStringList commandLineArguments(int argc, char* argv[]);

// arguments[0] is the program itself, as QCoreApplication::arguments() gives them, Qt's own
// options (-platform, -display, -style ...) included: they are passed over. Every other argument
// that starts with "-" is an option; after "--" each one is a file name.
CommandLineRequest parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();
// For stderr: the option and where to find the ones there are.
QString badOptionText(const QString& option);
// For the information panel: the files named that the window did not open, and why; empty when
// there are none.
QString unopenedFilesText(const CommandLineRequest& request);

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
