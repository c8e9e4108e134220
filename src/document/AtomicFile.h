#pragma once

#include <QByteArrayView>
#include <QString>

namespace velmor {

// Replaces the file at path by bytes through a temporary file beside it, renamed over it
// only once every byte is written: a failure (full disk, killed process) leaves the old
// file whole. The old file's permissions are kept; the folder must already exist.
// False when the folder or the file refuses the write (a write-protected file included)
// or path names something other than a file.
[[nodiscard]] bool writeFileAtomically(const QString& path, QByteArrayView bytes);

} // namespace velmor
