#pragma once

#include <QString>

namespace velmor {

// The folder of the running program, links followed.
QString programFolder();

// A file that comes with the program, such as the synthesis helper or the window: beside the
// program in a build folder, in installedFolder (relative to the program's parent folder) when
// installed.
QString companionFile(const QString& name, const QString& installedFolder = QStringLiteral("lib/velmor"));

} // namespace velmor
