#include "app/IniFile.h"
#include "document/AtomicFile.h"
#include "document/TextFile.h"
#include "speech/AudioFile.h"

#include "../app/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using velmor::AtomicFileWriter;
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

TEST_F(AtomicFile, FirstShortWriteStopsTheFileForGood)
{
    const QByteArray old(100, 'o');
    ASSERT_TRUE(writeFileBytes(path, old));
    {
        const FileSizeLimit limit(50);
        AtomicFileWriter file(path);
        EXPECT_TRUE(file.write(QByteArray(40, 'n')));
        EXPECT_FALSE(file.write(QByteArray(40, 'n')));
        EXPECT_FALSE(file.write("x"));
        EXPECT_EQ(file.error(), QStringLiteral("the file is larger than this system allows"));
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("file.bin")});
}

// What libsndfile does with a file: write, go back to fill in a header, read it, go to the end.
TEST_F(AtomicFile, WriterTakesPiecesWrittenOutOfOrder)
{
    ASSERT_TRUE(writeFileBytes(path, "an older and longer text"));
    AtomicFileWriter file(path);
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(file.replacesAFile());
    ASSERT_TRUE(file.write("....body"));
    EXPECT_EQ(file.seek(0, SEEK_SET), 0);
    ASSERT_TRUE(file.write("head"));
    EXPECT_EQ(file.position(), 4);
    char got[4] = {};
    EXPECT_EQ(file.read(got, 4), 4);
    EXPECT_EQ(QByteArray(got, 4), QByteArray("body"));
    EXPECT_EQ(file.seek(0, SEEK_END), 8);
    ASSERT_TRUE(file.write("!"));
    EXPECT_EQ(file.size(), 9);
    EXPECT_EQ(fileBytes(path), QByteArray("an older and longer text"));
    ASSERT_TRUE(file.commit()) << file.error().toStdString();
    EXPECT_EQ(fileBytes(path), QByteArray("headbody!"));
}

// A writer killed before its commit, however far it got, leaves the old file whole.
TEST_F(AtomicFile, KilledMidWriteLeavesTheOldFile)
{
    const QString other = dir.filePath(QStringLiteral("other name"));
    const QByteArray old(100, 'o');
    for (const bool linked : {false, true}) {
        ASSERT_TRUE(writeFileBytes(path, old));
        if (linked) {
            ASSERT_EQ(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
        }
        const pid_t child = fork();
        if (child == 0) {
            AtomicFileWriter file(path);
            if (file.write(QByteArray(1 << 20, 'n')))
                raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed";
        EXPECT_EQ(fileBytes(path), old) << (linked ? "hard-linked" : "alone");
        QDir(dir.path()).remove(QStringLiteral("other name"));
    }
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

// The kernel's protected-symlinks rule, kept whether or not the kernel enforces it: in a sticky
// world-writable folder only the user's own links and the folder owner's are followed.
TEST_F(AtomicFile, LinksInSharedFoldersAreFollowedOnlyWhenTheRuleAllowsAndDanglingLinksAreRefused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can plant a link of another user";
    const QString victim = dir.filePath(QStringLiteral("victim.txt"));
    const QString shared = dir.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(writeFileBytes(victim, "secret"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("shared")));
    const auto linkTo = [&](const QString& target, const QString& name, uid_t owner) {
        const QString at = shared + u'/' + name;
        return QFile::link(target, at) && lchown(QFile::encodeName(at).constData(), owner, owner) == 0 ? at : QString();
    };
    ASSERT_EQ(chmod(QFile::encodeName(shared).constData(), 01777), 0);
    const QString planted = linkTo(victim, QStringLiteral("planted"), kNobody);
    const QString plantedFolder = linkTo(dir.path(), QStringLiteral("folder"), kNobody);
    const QString own = linkTo(victim, QStringLiteral("own"), 0);
    ASSERT_FALSE(planted.isEmpty() || plantedFolder.isEmpty() || own.isEmpty());

    for (const QString& refused : {planted, plantedFolder + QStringLiteral("/victim.txt")}) {
        AtomicFileWriter file(refused);
        EXPECT_FALSE(file.write("replaced") || file.commit()) << refused.toStdString();
        EXPECT_TRUE(file.refusedLink());
        EXPECT_EQ(file.error(),
                  QStringLiteral("%1 is another user's link in the shared folder %2, and such links are not followed")
                      .arg(refused.section(u'/', 0, -1 - int(refused.endsWith(QStringLiteral("victim.txt")))), shared));
    }
    try {
        velmor::writeTextFile(planted, u"replaced", velmor::TextFormat{});
        ADD_FAILURE() << "the planted link was followed";
    } catch (const velmor::FileError& error) {
        EXPECT_TRUE(error.message().endsWith(QStringLiteral("such links are not followed"))) << error.message().toStdString();
    }
    EXPECT_EQ(fileBytes(victim), QByteArray("secret"));
    EXPECT_TRUE(QFileInfo(planted).isSymLink());

    ASSERT_TRUE(writeFileAtomically(own, "own link"));
    EXPECT_EQ(fileBytes(victim), QByteArray("own link"));
    // The folder's owner may point its own folder's links anywhere; so may anyone in a folder
    // that is not sticky.
    ASSERT_EQ(chown(QFile::encodeName(shared).constData(), kNobody, kNoGroup), 0);
    ASSERT_TRUE(writeFileAtomically(planted, "owner's link"));
    ASSERT_EQ(chown(QFile::encodeName(shared).constData(), 0, 0), 0);
    ASSERT_EQ(chmod(QFile::encodeName(shared).constData(), 0777), 0);
    ASSERT_TRUE(writeFileAtomically(planted, "not sticky"));
    EXPECT_EQ(fileBytes(victim), QByteArray("not sticky"));
    EXPECT_TRUE(QFileInfo(planted).isSymLink());

    // A link that leads nowhere stays a link and nothing is made where it points.
    const QString dangling = dir.filePath(QStringLiteral("dangling"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere.txt")), dangling));
    AtomicFileWriter file(dangling);
    EXPECT_FALSE(file.ok());
    EXPECT_TRUE(file.refusedLink());
    EXPECT_EQ(file.error(), QStringLiteral("%1 is a link to %2, which does not exist")
                                .arg(dangling, dir.filePath(QStringLiteral("nowhere.txt"))));
    EXPECT_FALSE(file.commit());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nowhere.txt"))));
}

// Text files, the settings file and audio files are all written through the one writer: each of
// them keeps what the file was (its mode, owner, links) and loses nothing when the write fails.
struct Writer {
    const char* name;
    // Writes a file made from payload; false when it was refused.
    std::function<bool(const QString& path, const QByteArray& payload)> write;
};

void PrintTo(const Writer& writer, std::ostream* out) { *out << writer.name; }

const Writer kWriters[] = {
    {"Bytes", [](const QString& path, const QByteArray& payload) { return writeFileAtomically(path, payload); }},
    {"TextFile",
     [](const QString& path, const QByteArray& payload) {
         try {
             velmor::writeTextFile(path, QString::fromLatin1(payload), velmor::TextFormat{});
             return true;
         } catch (const velmor::FileError&) {
             return false;
         }
     }},
    {"Settings",
     [](const QString& path, const QByteArray& payload) {
         try {
             return velmor::writeIniValue(path, u"Form1\\fExeName", u"String", QString::fromLatin1(payload));
         } catch (const velmor::SettingsWriteError&) {
             return false;
         }
     }},
    {"AudioFile",
     [](const QString& path, const QByteArray& payload) {
         try {
             velmor::AudioFileWriter file(path, 22050);
             return file.write(reinterpret_cast<const qint16*>(payload.constData()), payload.size() / 2) && file.commit();
         } catch (const velmor::AudioFileError&) {
             return false;
         }
     }},
};

class AtomicWriters : public ::testing::TestWithParam<Writer> {
protected:
    bool write(const QString& at, const QByteArray& payload) const { return GetParam().write(at, payload); }
    // What the writer makes of payload on its own, in a folder of its own.
    QByteArray madeOf(const QByteArray& payload) const
    {
        QTemporaryDir elsewhere;
        const QString fresh = elsewhere.filePath(QStringLiteral("file.wav"));
        return write(fresh, payload) ? fileBytes(fresh) : QByteArray("(not written)");
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("file.wav"));
    const QByteArray old = QByteArray(40, 'o');
    const QByteArray changed = QByteArray(64, 'n');
};

TEST_P(AtomicWriters, KeepModeLinksAndTheTargetOfASymbolicLink)
{
    const QString other = dir.filePath(QStringLiteral("other name"));
    const QString symbolic = dir.filePath(QStringLiteral("symbolic.wav"));
    ASSERT_TRUE(write(path, old));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0604), 0);
    ASSERT_EQ(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    ASSERT_TRUE(QFile::link(path, symbolic));
    const ino_t inode = statusOf(path).st_ino;
    ASSERT_TRUE(write(path, changed));
    EXPECT_EQ(fileBytes(path), madeOf(changed));
    EXPECT_EQ(fileBytes(other), madeOf(changed));
    EXPECT_EQ(statusOf(path).st_ino, inode);
    EXPECT_EQ(statusOf(path).st_mode & 07777, 0604u);
    ASSERT_TRUE(write(symbolic, old));
    EXPECT_TRUE(QFileInfo(symbolic).isSymLink());
    EXPECT_EQ(fileBytes(path), madeOf(old));
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{QStringLiteral("file.wav"), QStringLiteral("other name"), QStringLiteral("symbolic.wav")}));
}

TEST_P(AtomicWriters, FullDiskLeavesTheOldFileWholeAndNoTemporaryFile)
{
    ASSERT_TRUE(write(path, old));
    {
        const FileSizeLimit limit(200);
        EXPECT_FALSE(write(path, QByteArray(4000, 'n')));
    }
    EXPECT_EQ(fileBytes(path), madeOf(old));
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("file.wav")});
}

TEST_P(AtomicWriters, WritableFileInAWriteProtectedFolderIsOverwrittenInPlace)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(write(path, old));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString locked = dir.filePath(QStringLiteral("locked.wav"));
    ASSERT_TRUE(write(locked, old));
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0440), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    const bool written = write(path, changed);
    const bool lockedWritten = write(locked, changed);
    const bool created = write(dir.filePath(QStringLiteral("new.wav")), changed);
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_TRUE(written);
    EXPECT_EQ(fileBytes(path), madeOf(changed));
    EXPECT_EQ(statusOf(path).st_mode & 07777, 0640u);
    EXPECT_FALSE(lockedWritten);
    EXPECT_EQ(fileBytes(locked), madeOf(old));
    EXPECT_FALSE(created);
    EXPECT_EQ(folderEntries(dir.path()), (QStringList{QStringLiteral("file.wav"), QStringLiteral("locked.wav")}));
}

TEST_P(AtomicWriters, RootWritingKeepsTheOwnerAndGroup)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    ASSERT_TRUE(write(path, old));
    ASSERT_EQ(chown(QFile::encodeName(path).constData(), kNobody, kNoGroup), 0);
    ASSERT_TRUE(write(path, changed));
    EXPECT_EQ(statusOf(path).st_uid, kNobody);
    EXPECT_EQ(statusOf(path).st_gid, kNoGroup);
    EXPECT_EQ(fileBytes(path), madeOf(changed));
}

INSTANTIATE_TEST_SUITE_P(Callers, AtomicWriters, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer>& info) { return std::string(info.param.name); });

} // namespace
