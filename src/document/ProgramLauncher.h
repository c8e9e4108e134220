#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace velmor {

// The command of a desktop entry (a ".desktop" file) of type Application: its Exec line split
// into the program and its arguments, with the field codes (%f, %U, %i ...) taken out, since
// the program is started with no files. Nothing for any other file or entry.
std::optional<QStringList> desktopEntryCommand(const QString& path);

// What a program dropped on a dictionary button stands for: a shortcut (".lnk") is followed
// to its target; an executable regular file or an application's desktop entry is a program.
// Nothing for anything else (a document, a folder, a shortcut that leads nowhere).
std::optional<QString> droppedProgram(const QString& droppedPath);

// Starts a program as a process of its own, with no arguments, this program's environment
// and current folder, and does not wait for it. False when the file is missing or does not start.
bool startProgram(const QString& path);

} // namespace velmor
