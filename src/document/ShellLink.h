#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace velmor {

// What a Windows shell-link (.lnk) file says, its strings decoded but otherwise as
// stored: paths keep their "\" separators.
struct ShellLink {
    QString localBasePath;     // local base path with the common path suffix appended
    QString relativePath;      // relative to the folder of the .lnk file
    QString workingDirectory;
    QString arguments;
};

// Reads the binary shell-link format. Gives nothing for anything malformed: a wrong
// header, sizes or offsets running past the data, strings without their terminator.
std::optional<ShellLink> parseShellLink(QByteArrayView bytes);

struct LinkTarget {
    QString path;
    QString workingDirectory;
    QString arguments;
};

// The file a shortcut stands for. A symbolic link gives its final target (path only);
// a shell-link file gives its target mapped to this system ("\" becomes "/"; a relative
// path counts from the shortcut's folder), together with its working directory and
// arguments as stored. Everything is empty when the file cannot be read or parsed, or
// the target does not exist here.
LinkTarget GetLinkPath(const QString& lnkPath);

} // namespace velmor
