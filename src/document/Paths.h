#pragma once

#include <QString>
#include <QStringList>

#include <functional>


namespace velmor {

// The part of a file name from its last "." on, the dot included; empty without a dot.
// Only the file-name part counts: a dot in a directory name is no extension.
QString fileExtension(const QString& path);

// The extensions of the files the program reads as text, compared case-sensitively.
const QStringList& textExtensions();

// True when the extension is exactly one of textExtensions() (so ".Txt" is refused).
bool IsTextExt(const QString& path);

// True when the extension is exactly ".lnk", the name of a shortcut file.
bool IsLinkExt(const QString& path);

// True when the file-name part begins with "Hg" or "hg": such documents open in Hangul mode.
bool IsHangulName(const QString& path);

// The form of path shown in the info line: leading directories give way to "..." one at
// a time until measure(result) fits maxWidth, then the ellipsis itself goes; the file
// name is never cut, so the result can still be wider than maxWidth.
QString ShortenPath(const QString& path, const std::function<int(const QString&)>& measure, int maxWidth);

} // namespace velmor
