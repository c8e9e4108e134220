#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

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

// The copies of the file at path that an overwrite in place left beside it because it did not
// finish (the process was killed, the old bytes could not be put back), newest first.
QStringList leftoverBackups(const QString& path);

// Puts the backup's bytes back into the file at path, as writeFileAtomically does, and removes
// the backup. False, with both left as they were, when either step fails.
[[nodiscard]] bool restoreBackup(const QString& path, const QString& backup);

// A file written piece by piece that replaces the file at path only when complete: it is
// written under a temporary name beside path (with the old file's mode), and commit() renames
// it over path once every byte is on disk. Dropped without a commit, it is removed, so a
// failed or cancelled write leaves the old file, or none, as it was. Like writeFileAtomically
// it refuses a write-protected file and anything but a file.
class ReplacementFile {
public:
    explicit ReplacementFile(const QString& path);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // -1 when the temporary file could not be made.
    int descriptor() const { return m_fd; }
    [[nodiscard]] bool commit();

private:
    QByteArray m_target;
    QByteArray m_temporary;
    int m_fd = -1;
};

} // namespace velmor
