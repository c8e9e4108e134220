#pragma once

#include <QByteArrayView>
#include <QString>

namespace velmor {

// Replaces the file at path by bytes so that a failure (full disk, killed process) never
// leaves it cut off. Usually a temporary file beside it is written, given the old file's
// owner, group and mode, and renamed over it once every byte is on disk. Where a new file
// cannot stand in for the old one (it has other names through hard links, its folder is
// write-protected, or its owner or group cannot be given to a new file), the file is
// overwritten in place instead: a copy of its old bytes is written first, and when the
// overwrite fails or leaves the file at the wrong size, the old bytes are put back.
// The folder must already exist. False when the write is refused (a write-protected file
// included) or path names something other than a file; the old file is then as it was.
[[nodiscard]] bool writeFileAtomically(const QString& path, QByteArrayView bytes);

} // namespace velmor
