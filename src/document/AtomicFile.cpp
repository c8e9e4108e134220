#include "document/AtomicFile.h"

#include "document/FileNames.h"

#include <QByteArray>
#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <functional>
#include <vector>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace velmor {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    // Closes now, since closing is where some file systems report a failed write.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, QByteArrayView bytes, off_t offset)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), size_t(bytes.size()), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
        offset += written;
    }
    return true;
}

std::optional<QByteArray> readAll(int fd)
{
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray fileNameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// A new file named base followed by a random suffix; its name goes to *name.
int createUnique(const QByteArray& base, mode_t mode, QByteArray* name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = base + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

enum class Outcome { Written, Failed, OwnerNotKept };

Outcome replaceThroughTemporaryFile(const QByteArray& target, const std::optional<struct stat>& old,
                                    QByteArrayView bytes)
{
    QByteArray temporary;
    FileDescriptor file(createUnique(folderOf(target) + "/." + fileNameOf(target) + ".", 0666, &temporary));
    if (!file)
        return Outcome::Failed;
    const auto discard = [&temporary](Outcome outcome) {
        ::unlink(temporary.constData());
        return outcome;
    };
    if (old) {
        struct stat created {};
        if (::fstat(file.get(), &created) != 0)
            return discard(Outcome::Failed);
        if ((created.st_uid != old->st_uid || created.st_gid != old->st_gid)
            && ::fchown(file.get(), old->st_uid, old->st_gid) != 0)
            return discard(Outcome::OwnerNotKept);
        // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
        if (::fchmod(file.get(), old->st_mode & 07777) != 0)
            return discard(Outcome::Failed);
    }
    if (!writeAll(file.get(), bytes, 0) || ::fsync(file.get()) != 0 || !file.close())
        return discard(Outcome::Failed);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return discard(Outcome::Failed);
    // The rename itself reaches the disk with the folder.
    FileDescriptor folder(::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.get());
    return Outcome::Written;
}

constexpr char kBackupInfix[] = ".velmor-backup-";

// A private copy of bytes, beside target when its folder lets it, else in the temporary
// folder; its name, or nothing when no copy could be written.
std::optional<QByteArray> writeBackup(const QByteArray& target, QByteArrayView bytes)
{
    const QByteArray name = fileNameOf(target) + kBackupInfix;
    for (const QByteArray& folder : {folderOf(target), encodeFileName(QDir::tempPath())}) {
        QByteArray backup;
        FileDescriptor file(createUnique(folder + '/' + name, 0600, &backup));
        if (!file)
            continue;
        if (writeAll(file.get(), bytes, 0) && ::fsync(file.get()) == 0 && file.close())
            return backup;
        ::unlink(backup.constData());
    }
    return std::nullopt;
}

bool overwriteInPlace(const QByteArray& target, QByteArrayView bytes)
{
    FileDescriptor file(::open(target.constData(), O_RDWR | O_CLOEXEC));
    if (!file)
        return false;
    const std::optional<QByteArray> old = readAll(file.get());
    if (!old)
        return false;
    const std::optional<QByteArray> backup = writeBackup(target, *old);
    if (!backup)
        return false;
    const auto install = [&file](QByteArrayView content) {
        struct stat written {};
        return writeAll(file.get(), content, 0) && ::ftruncate(file.get(), off_t(content.size())) == 0
            && ::fsync(file.get()) == 0 && ::fstat(file.get(), &written) == 0 && written.st_size == content.size();
    };
    const bool written = install(bytes);
    // The copy stays when the old bytes could not be put back: it is all that is left of them.
    if (written || install(*old))
        ::unlink(backup->constData());
    return written;
}

// The file a link leads to, so that the link itself stays; path itself for anything else.
QByteArray resolvedTarget(const QByteArray& path)
{
    struct stat link {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return path;
    QByteArray target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

bool writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    const QByteArray target = resolvedTarget(encodeFileName(path));
    std::optional<struct stat> old;
    struct stat status {};
    if (::stat(target.constData(), &status) == 0) {
        // A rename would replace even a write-protected file: refuse it first.
        if (!S_ISREG(status.st_mode) || ::access(target.constData(), W_OK) != 0)
            return false;
        old = status;
    } else if (errno != ENOENT) {
        return false;
    }

    const bool folderWritable = ::access(folderOf(target).constData(), W_OK | X_OK) == 0;
    if (old && (old->st_nlink > 1 || !folderWritable))
        return overwriteInPlace(target, bytes);
    switch (replaceThroughTemporaryFile(target, old, bytes)) {
    case Outcome::Written:
        return true;
    case Outcome::OwnerNotKept:
        return overwriteInPlace(target, bytes);
    case Outcome::Failed:
        break;
    }
    return false;
}

QStringList leftoverBackups(const QString& path)
{
    const QByteArray target = resolvedTarget(encodeFileName(path));
    const QByteArray folder = folderOf(target);
    const QByteArray prefix = fileNameOf(target) + kBackupInfix;
    std::vector<std::pair<qint64, QByteArray>> found;
    DIR* const listing = ::opendir(folder.constData());
    if (!listing)
        return {};
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        struct stat status {};
        const QByteArray full = folder + '/' + name;
        if (name.startsWith(prefix) && name.size() > prefix.size() && ::lstat(full.constData(), &status) == 0
            && S_ISREG(status.st_mode))
            found.emplace_back(qint64(status.st_mtime), full);
    }
    ::closedir(listing);
    std::ranges::sort(found, std::greater<>());
    QStringList backups;
    for (const auto& [modified, name] : found)
        backups << decodeFileName(name);
    return backups;
}

bool restoreBackup(const QString& path, const QString& backup)
{
    const int fd = ::open(encodeFileName(backup).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const FileDescriptor descriptor(fd);
    const std::optional<QByteArray> bytes = readAll(descriptor.get());
    return bytes && writeFileAtomically(path, *bytes) && ::unlink(encodeFileName(backup).constData()) == 0;
}

ReplacementFile::ReplacementFile(const QString& path)
    : m_target(resolvedTarget(encodeFileName(path)))
{
    struct stat old {};
    const bool exists = ::stat(m_target.constData(), &old) == 0;
    if (exists ? !S_ISREG(old.st_mode) || ::access(m_target.constData(), W_OK) != 0 : errno != ENOENT)
        return;
    m_fd = createUnique(folderOf(m_target) + "/." + fileNameOf(m_target) + ".", 0666, &m_temporary);
    if (m_fd >= 0 && exists && ::fchmod(m_fd, old.st_mode & 0777) != 0) {
        ::close(m_fd);
        ::unlink(m_temporary.constData());
        m_fd = -1;
    }
}

ReplacementFile::~ReplacementFile()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    ::unlink(m_temporary.constData());
}

bool ReplacementFile::commit()
{
    if (m_fd < 0)
        return false;
    FileDescriptor file(m_fd);
    m_fd = -1;
    if (::fsync(file.get()) != 0 || !file.close() || ::rename(m_temporary.constData(), m_target.constData()) != 0) {
        ::unlink(m_temporary.constData());
        return false;
    }
    FileDescriptor folder(::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.get());
    return true;
}

} // namespace velmor
