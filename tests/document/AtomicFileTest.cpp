#include "document/AtomicFile.h"

#include "../app/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using velmor::writeFileAtomically;

namespace {

using namespace testfiles;

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

} // namespace
