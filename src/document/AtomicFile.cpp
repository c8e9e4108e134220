#include "document/AtomicFile.h"

#include "document/FileNames.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <functional>
#include <vector>
#include <sys/stat.h>
#include <dirent.h>

namespace velmor {

namespace {

// A link chain longer than this is a loop, as the kernel counts.
constexpr int kMostLinks = 40;

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

// 0, or the error number of the write that failed; a write that takes nothing is a full disk.
int writeAll(int fd, QByteArrayView bytes, off_t offset)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), size_t(bytes.size()), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        bytes = bytes.sliced(written);
        offset += written;
    }
    return 0;
}

// Copies the first size bytes of one file over the beginning of another; 0 or an error number.
int copyBytes(int from, int to, qint64 size)
{
    constexpr qint64 kChunk = 1 << 20;
    const auto buffer = std::make_unique<char[]>(std::size_t(kChunk));
    for (qint64 offset = 0; offset < size;) {
        const ssize_t got = ::pread(from, buffer.get(), std::size_t(std::min(kChunk, size - offset)), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return EIO;
        if (const int failed = writeAll(to, QByteArrayView(buffer.get(), got), offset))
            return failed;
        offset += got;
    }
    return 0;
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray fileNameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

QString shown(const QByteArray& path) { return displayFileName(decodeFileName(path)); }

// A new file named base followed by a random suffix; its name goes to *name.
int createUnique(const QByteArray& base, mode_t mode, QByteArray* name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = base + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name->constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A private copy of another file's first size bytes, beside target when its folder lets it,
// else in the temporary folder; its name, or nothing when no copy could be written.
constexpr char kBackupInfix[] = ".velmor-backup-";

std::optional<QByteArray> writeBackup(const QByteArray& target, int from, qint64 size)
{
    const QByteArray name = fileNameOf(target) + kBackupInfix;
    for (const QByteArray& folder : {folderOf(target), encodeFileName(QDir::tempPath())}) {
        QByteArray backup;
        FileDescriptor file(createUnique(folder + '/' + name, 0600, &backup));
        if (!file)
            continue;
        if (copyBytes(from, file.get(), size) == 0 && ::fsync(file.get()) == 0 && file.close())
            return backup;
        ::unlink(backup.constData());
    }
    return std::nullopt;
}

struct Resolution {
    QByteArray path;
    // Why a link on the way is not followed.
    QString refusal;
};

// Whether the kernel's protected-symlinks rule lets this user follow a link: in a sticky
// world-writable folder only a link of the user's own or of the folder's owner is followed, so
// that nobody can point another user's writes at a file of their choice.
bool mayFollow(const struct stat& link, const QByteArray& folder)
{
    struct stat status {};
    if (::stat(folder.constData(), &status) != 0)
        return false;
    const bool shared = (status.st_mode & S_ISVTX) && (status.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == status.st_uid;
}

// The absolute path the file system reaches through path, each link followed by hand so that
// every one can be checked; from the first missing name on, path is taken as it stands.
Resolution resolveLinks(const QByteArray& path)
{
    QByteArray resolved;
    if (!path.startsWith('/')) {
        char* current = ::getcwd(nullptr, 0);
        if (!current)
            return {path, {}};
        resolved = current;
        std::free(current);
        if (resolved == "/")
            resolved.clear();
    }
    QByteArrayList pending = path.split('/');
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            resolved.truncate(std::max<qsizetype>(0, resolved.lastIndexOf('/')));
            continue;
        }
        const QByteArray next = resolved + '/' + part;
        struct stat entry {};
        if (::lstat(next.constData(), &entry) != 0) {
            pending.prepend(next);
            return {pending.join('/'), {}};
        }
        if (!S_ISLNK(entry.st_mode)) {
            resolved = next;
            continue;
        }
        const QByteArray folder = resolved.isEmpty() ? QByteArray("/") : resolved;
        if (!mayFollow(entry, folder))
            return {next, QStringLiteral("%1 is another user's link in the shared folder %2, and such links are not followed")
                              .arg(shown(next), shown(folder))};
        QByteArray target(qsizetype(entry.st_size) + 1, Qt::Uninitialized);
        const ssize_t length = ::readlink(next.constData(), target.data(), std::size_t(target.size()));
        // A link that changed meanwhile, or a loop, is left for the file system to report.
        if (length < 0 || length >= target.size() || ++links > kMostLinks)
            return {path, {}};
        target.truncate(length);
        if (target.startsWith('/'))
            resolved.clear();
        pending = target.split('/') + pending;
    }
    return {resolved.isEmpty() ? QByteArray("/") : resolved, {}};
}

} // namespace

QString fileErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return QStringLiteral("the disk is full");
    case EDQUOT: return QStringLiteral("the disk quota is used up");
    case EFBIG: return QStringLiteral("the file is larger than this system allows");
    case EACCES:
    case EPERM: return QStringLiteral("permission denied");
    case EROFS: return QStringLiteral("the file system is read-only");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("the folder does not exist");
    case EISDIR: return QStringLiteral("it is a folder");
    case EIO: return QStringLiteral("the disk reported an input/output error");
    default: return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

AtomicFileWriter::AtomicFileWriter(const QString& path)
{
    const QByteArray named = encodeFileName(path);
    Resolution resolution = resolveLinks(named);
    m_target = resolution.path;
    if (!resolution.refusal.isEmpty()) {
        m_refusedLink = true;
        fail(resolution.refusal);
        return;
    }
    struct stat status {};
    if (::stat(m_target.constData(), &status) == 0) {
        // A rename would replace even a write-protected file: refuse it first.
        if (!S_ISREG(status.st_mode)) {
            fail(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
            return;
        }
        if (::access(m_target.constData(), W_OK) != 0) {
            fail(errno);
            return;
        }
        m_old = status;
    } else if (errno != ENOENT) {
        fail(errno);
        return;
    } else {
        struct stat link {};
        if (::lstat(named.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
            m_refusedLink = true;
            fail(QStringLiteral("%1 is a link to %2, which does not exist").arg(shown(named), shown(m_target)));
            return;
        }
    }
    const bool folderWritable = ::access(folderOf(m_target).constData(), W_OK | X_OK) == 0;
    m_inPlace = m_old && (m_old->st_nlink > 1 || !folderWritable);
    // Where the old file's owner or group cannot be given to a new file, it is written in place.
    if (!m_inPlace && !openBeside())
        m_inPlace = true;
    if (m_inPlace)
        openStaging();
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

// The file that will be renamed over the old one, with its owner, group and mode; false only
// when the owner or group could not be kept.
bool AtomicFileWriter::openBeside()
{
    m_fd = createUnique(folderOf(m_target) + "/." + fileNameOf(m_target) + ".", 0666, &m_temporary);
    if (m_fd < 0) {
        m_temporary.clear();
        fail(errno);
        return true;
    }
    if (!m_old)
        return true;
    struct stat created {};
    if (::fstat(m_fd, &created) != 0) {
        fail(errno);
        return true;
    }
    if ((created.st_uid != m_old->st_uid || created.st_gid != m_old->st_gid)
        && ::fchown(m_fd, m_old->st_uid, m_old->st_gid) != 0) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(m_temporary.constData());
        m_temporary.clear();
        return false;
    }
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    if (::fchmod(m_fd, m_old->st_mode & 07777) != 0)
        fail(errno);
    return true;
}

// A private file that holds the new bytes until they are copied over the old file.
bool AtomicFileWriter::openStaging()
{
    const QByteArray name = "/." + fileNameOf(m_target) + ".";
    for (const QByteArray& folder : {folderOf(m_target), encodeFileName(QDir::tempPath())}) {
        m_fd = createUnique(folder + name, 0600, &m_temporary);
        if (m_fd >= 0)
            return true;
    }
    m_temporary.clear();
    return fail(errno);
}

bool AtomicFileWriter::fail(int errorNumber) { return fail(fileErrorText(errorNumber)); }

bool AtomicFileWriter::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

bool AtomicFileWriter::write(QByteArrayView bytes)
{
    if (!ok() || m_fd < 0)
        return false;
    if (const int failed = writeAll(m_fd, bytes, off_t(m_position)))
        return fail(failed);
    m_position += bytes.size();
    m_size = std::max(m_size, m_position);
    return true;
}

qint64 AtomicFileWriter::read(char* into, qint64 size)
{
    if (m_fd < 0)
        return -1;
    for (;;) {
        const ssize_t got = ::pread(m_fd, into, std::size_t(size), off_t(m_position));
        if (got < 0 && errno == EINTR)
            continue;
        if (got > 0)
            m_position += got;
        return got;
    }
}

qint64 AtomicFileWriter::seek(qint64 offset, int whence)
{
    const qint64 from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m_position : whence == SEEK_END ? m_size : -1;
    if (from < 0 || from + offset < 0)
        return -1;
    m_position = from + offset;
    return m_position;
}

bool AtomicFileWriter::commit()
{
    if (!ok() || m_fd < 0)
        return false;
    struct stat written {};
    if (::fsync(m_fd) != 0 || ::fstat(m_fd, &written) != 0)
        return fail(errno);
    // A write the file system lost without a word shows here, before anything is replaced.
    if (written.st_size != m_size)
        return fail(QStringLiteral("only %1 of its %2 bytes reached the disk").arg(written.st_size).arg(m_size));
    if (m_inPlace)
        return commitInPlace();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_temporary.constData(), m_target.constData()) != 0)
        return fail(errno);
    m_temporary.clear();
    // The rename itself reaches the disk with the folder.
    FileDescriptor folder(::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.get());
    return true;
}

bool AtomicFileWriter::commitInPlace()
{
    FileDescriptor file(::open(m_target.constData(), O_RDWR | O_CLOEXEC));
    struct stat old {};
    if (!file || ::fstat(file.get(), &old) != 0)
        return fail(errno);
    const std::optional<QByteArray> backup = writeBackup(m_target, file.get(), old.st_size);
    if (!backup)
        return fail(errno ? errno : EIO);
    const auto install = [&file](int from, qint64 size) {
        struct stat now {};
        int failed = copyBytes(from, file.get(), size);
        if (!failed && (::ftruncate(file.get(), off_t(size)) != 0 || ::fsync(file.get()) != 0
                        || ::fstat(file.get(), &now) != 0))
            failed = errno;
        if (!failed && now.st_size != size)
            failed = ENOSPC;
        return failed;
    };
    const int failed = install(m_fd, m_size);
    if (!failed) {
        ::unlink(backup->constData());
        return true;
    }
    FileDescriptor saved(::open(backup->constData(), O_RDONLY | O_CLOEXEC));
    // The copy stays when the old bytes could not be put back: it is all that is left of them.
    if (saved && install(saved.get(), old.st_size) == 0) {
        ::unlink(backup->constData());
        return fail(failed);
    }
    return fail(QStringLiteral("%1; the old contents are kept in %2").arg(fileErrorText(failed), shown(*backup)));
}

bool writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    AtomicFileWriter file(path);
    return file.write(bytes) && file.commit();
}

QStringList leftoverBackups(const QString& path)
{
    const QByteArray target = resolveLinks(encodeFileName(path)).path;
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
    const FileDescriptor saved(::open(encodeFileName(backup).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (saved.get() < 0)
        return false;
    QByteArray bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(saved.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        bytes.append(chunk, n);
    }
    return writeFileAtomically(path, bytes) && ::unlink(encodeFileName(backup).constData()) == 0;
}

} // namespace velmor
