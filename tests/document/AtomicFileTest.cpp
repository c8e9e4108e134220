#include "document/AtomicFile.h"

#include "../app/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using velmor::writeFileAtomically;

namespace {

using namespace testfiles;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

struct stat statusOf(const QString& path)
{
    struct stat status {};
    stat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Runs check in a child process that has given up root for nobody's identity; true when it
// returned true there.
bool asNobody(const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child == 0) {
        const bool passed = setgroups(0, nullptr) == 0 && setresgid(kNoGroup, kNoGroup, kNoGroup) == 0
            && setresuid(kNobody, kNobody, kNobody) == 0 && check();
        _exit(passed ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class AtomicFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("file.bin"));
};

TEST_F(AtomicFile, CreatesAndReplacesTheFile)
{
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    EXPECT_EQ(fileBytes(path), QByteArray("first"));
    ASSERT_TRUE(writeFileAtomically(path, "2"));
    EXPECT_EQ(fileBytes(path), QByteArray("2"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArrayView()));
    EXPECT_EQ(fileBytes(path), QByteArray());
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("file.bin")});
}

TEST_F(AtomicFile, KeepsThePermissionsOfTheOldFile)
{
    ASSERT_TRUE(writeFileBytes(path, "old"));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0604), 0);
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
}

TEST_F(AtomicFile, RefusesAMissingFolderWithoutMakingIt)
{
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("missing/file.bin")), "x"));
    EXPECT_TRUE(folderEntries(dir.path()).isEmpty());
}

TEST_F(AtomicFile, RefusesAFolder)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("file.bin")));
    EXPECT_FALSE(writeFileAtomically(path, "x"));
}

TEST_F(AtomicFile, ShortWriteLeavesTheOldFileWholeAndNoTemporaryFile)
{
    const QByteArray old(100, 'o');
    ASSERT_TRUE(writeFileBytes(path, old));
    {
        const FileSizeLimit limit(50);
        EXPECT_FALSE(writeFileAtomically(path, QByteArray(1000, 'n')));
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("file.bin")});
}

TEST_F(AtomicFile, HardLinkedNamesKeepSharingTheFile)
{
    const QString other = dir.filePath(QStringLiteral("other name"));
    ASSERT_TRUE(writeFileBytes(path, "old text"));
    ASSERT_EQ(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    const ino_t inode = statusOf(path).st_ino;
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(fileBytes(path), QByteArray("new"));
    EXPECT_EQ(fileBytes(other), QByteArray("new"));
    EXPECT_EQ(statusOf(path).st_ino, inode);
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{QStringLiteral("file.bin"), QStringLiteral("other name")}));
}

TEST_F(AtomicFile, FailedOverwriteInPlacePutsTheOldBytesBack)
{
    const QString other = dir.filePath(QStringLiteral("other name"));
    const QByteArray old(40, 'o');
    ASSERT_TRUE(writeFileBytes(path, old));
    ASSERT_EQ(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    {
        const FileSizeLimit limit(50);
        EXPECT_FALSE(writeFileAtomically(path, QByteArray(1000, 'n')));
    }
    EXPECT_EQ(fileBytes(other), old);
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{QStringLiteral("file.bin"), QStringLiteral("other name")}));
}

TEST_F(AtomicFile, SymbolicLinkStaysAndItsTargetIsWritten)
{
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(writeFileBytes(path, "old"));
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(path), QByteArray("new"));
}

TEST_F(AtomicFile, WritableFileInAWriteProtectedFolderIsOverwrittenInPlace)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(path, "old"));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString locked = dir.filePath(QStringLiteral("locked.bin"));
    ASSERT_TRUE(writeFileBytes(locked, "keep"));
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0440), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    const bool written = writeFileAtomically(path, "new text");
    const bool lockedWritten = writeFileAtomically(locked, "lost");
    const bool created = writeFileAtomically(dir.filePath(QStringLiteral("new.bin")), "x");
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_TRUE(written);
    EXPECT_EQ(fileBytes(path), QByteArray("new text"));
    EXPECT_EQ(statusOf(path).st_mode & 07777, 0640u);
    EXPECT_FALSE(lockedWritten);
    EXPECT_EQ(fileBytes(locked), QByteArray("keep"));
    EXPECT_FALSE(created);
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{QStringLiteral("file.bin"), QStringLiteral("locked.bin")}));
}

TEST_F(AtomicFile, RootWritingKeepsTheOwnerAndGroup)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    ASSERT_TRUE(writeFileBytes(path, "old"));
    ASSERT_EQ(chown(QFile::encodeName(path).constData(), kNobody, kNoGroup), 0);
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(statusOf(path).st_uid, kNobody);
    EXPECT_EQ(statusOf(path).st_gid, kNoGroup);
    EXPECT_EQ(fileBytes(path), QByteArray("new"));
}

TEST_F(AtomicFile, FileOfAnotherOwnerIsOverwrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can set up a file its writer does not own";
    // nobody may write the folder, and the file through its group, but cannot own root's file.
    ASSERT_EQ(chown(QFile::encodeName(dir.path()).constData(), kNobody, kNoGroup), 0);
    ASSERT_TRUE(writeFileBytes(path, "old"));
    ASSERT_EQ(chown(QFile::encodeName(path).constData(), 0, kNoGroup), 0);
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0664), 0);
    const ino_t inode = statusOf(path).st_ino;
    EXPECT_TRUE(asNobody([this] { return writeFileAtomically(path, "new"); }));
    EXPECT_EQ(fileBytes(path), QByteArray("new"));
    EXPECT_EQ(statusOf(path).st_uid, 0u);
    EXPECT_EQ(statusOf(path).st_ino, inode);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("file.bin")});
}

} // namespace
