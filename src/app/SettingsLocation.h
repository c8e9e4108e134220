#pragma once

#include <QString>

namespace velmor {

// The program file's path with ".ini" in place of its extension (added when it has none).
QString iniPathBesideProgram(const QString& programPath);

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString userConfigHome();

// The settings file beside the program when it already exists there or the program's
// folder is writable (a portable copy keeps its settings with it); otherwise
// <configHome>/velmor/velmor.ini, whose folder is made by the first write. A program under
// /usr always keeps its settings in <configHome>.
QString settingsFilePath(const QString& programPath, const QString& configHome);

// The same for the running program and the user's configuration folder.
QString settingsFilePath();

// The listener's pronunciation rules, beside the settings file.
QString pronunciationRulesPath(const QString& settingsFile);
QString pronunciationRulesPath();

} // namespace velmor
