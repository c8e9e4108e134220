#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace velmor {

// The command of a desktop entry (a ".desktop" file) of type Application: its Exec line split
// into the program and its arguments, with the field codes (%f, %U, %i ...) taken out, since
// the program is started with no files. Nothing for any other file or entry.
std::optional<QStringList> desktopEntryCommand(const QString& path);

// Whether a desktop entry may start its command: as the desktops trust launchers, only when
// the user may execute the file or it lies in an applications folder of the XDG data folders
// (followed through links to where it really is).
bool isTrustedDesktopEntry(const QString& path);

// What a dictionary button starts.
struct ProgramCommand {
    QString program; // a full path
    QStringList arguments;
    bool operator==(const ProgramCommand&) const = default;
};

// What was made of a file dropped on a dictionary button: the command, or nothing with the
// reason to tell the user (empty for a file that is plainly no program, which is passed over).
struct ProgramDrop {
    std::optional<ProgramCommand> command;
    QString refusal;
};

// What a program dropped on a dictionary button stands for: a shortcut (".lnk") is followed to
// its target; an executable regular file is a program; a trusted application's desktop entry
// stands for its command, resolved now, its program found on PATH. Names that hold a control
// character, or that are not text, are refused with a reason, as are desktop entries that are
// not trusted or whose program cannot be found. Nothing for anything else (a document, a
// folder, a shortcut that leads nowhere).
ProgramDrop droppedProgram(const QString& droppedPath);

// The command as the hint of its button shows it: the program's file name alone, or, with
// arguments, the whole command line.
QString commandText(const ProgramCommand& command);

// Arguments as one text, each quoted as a desktop entry's Exec line quotes, and back.
QString joinArguments(const QStringList& arguments);
QStringList splitArguments(const QString& text);

// Starts the command as a process of its own, with this program's environment and current
// folder, and does not wait for it. False when the program is missing or does not start.
bool startProgram(const ProgramCommand& command);

} // namespace velmor
