#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/stat.h>

namespace velmor {

// A file written piece by piece that replaces the file at path only when complete, so that a
// failure (full disk, killed process) never leaves it cut off. Text, settings and audio files
// all go through it.
//
// Usually the pieces go to a temporary file beside path, given the old file's owner, group and
// mode, which commit() renames over path once every byte is on disk and the file has the size
// written. Where a new file cannot stand in for the old one (it has other names through hard
// links, its folder is write-protected, or its owner or group cannot be given to a new file),
// the pieces go to a private staging file and commit() copies them over the old file in place:
// a copy of its old bytes is written first, and when the overwrite fails or leaves the file at
// the wrong size, the old bytes are put back.
//
// A symbolic link is followed, so the link stays and the file it leads to is replaced, except
// where the kernel's protected-symlinks rule would refuse it: in a sticky world-writable folder
// (/tmp), a link owned by neither the user nor the folder's owner is not followed. A link that
// leads nowhere is refused rather than replaced by a file. A write-protected file, a missing
// folder and anything but a file are refused too. Dropped without a commit, the writer leaves
// the old file, or none, as it was.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False once anything failed (the file could not be made, a write fell short); error() says why.
    bool ok() const { return m_error.isEmpty(); }
    // Writes at the current position and moves past what was written; false when not every
    // byte was written, after which nothing more is.
    bool write(QByteArrayView bytes);
    // Reads what was written at the current position; -1 on failure.
    qint64 read(char* into, qint64 size);
    // As lseek: whence is SEEK_SET, SEEK_CUR or SEEK_END; the new position, or -1.
    qint64 seek(qint64 offset, int whence);
    qint64 position() const { return m_position; }
    // The bytes written so far, up to the furthest one.
    qint64 size() const { return m_size; }
    // True when a file was at path (or where its link leads) before.
    bool replacesAFile() const { return m_old.has_value(); }
    // True when path was refused for what it is rather than for a failed write: a link not
    // followed or one that leads nowhere.
    bool refusedLink() const { return m_refusedLink; }

    // Puts the written bytes at path; false (error() says why) leaves the old file as it was.
    [[nodiscard]] bool commit();
    // Why the writer failed, in words for the user ("the disk is full"); empty while all went well.
    QString error() const { return m_error; }

private:
    bool fail(int errorNumber);
    bool fail(const QString& reason);
    bool openBeside();
    bool openStaging();
    bool commitInPlace();

    QByteArray m_target;
    QByteArray m_temporary;
    std::optional<struct stat> m_old;
    int m_fd = -1;
    bool m_inPlace = false;
    bool m_refusedLink = false;
    qint64 m_position = 0;
    qint64 m_size = 0;
    QString m_error;
};

// Replaces the file at path by bytes through an AtomicFileWriter. False when the write is
// refused or fails; the old file is then as it was.
[[nodiscard]] bool writeFileAtomically(const QString& path, QByteArrayView bytes);

// The copies of the file at path that an overwrite in place left beside it because it did not
// finish (the process was killed, the old bytes could not be put back), newest first.
QStringList leftoverBackups(const QString& path);

// Puts the backup's bytes back into the file at path, as writeFileAtomically does, and removes
// the backup. False, with both left as they were, when either step fails.
[[nodiscard]] bool restoreBackup(const QString& path, const QString& backup);

// What a failed system call's error number means for a file being written, in words for the
// user: "the disk is full", "permission denied".
QString fileErrorText(int errorNumber);

} // namespace velmor
