#include "app/IniFile.h"

#include "QtPrinters.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using velmor::IniDocument;
using velmor::readIniValue;
using velmor::SettingsWriteError;
using velmor::writeIniValue;

namespace {

using namespace testfiles;

IniDocument parse(const char* text) { return IniDocument::fromBytes(QByteArray(text)); }

TEST(IniDocumentRead, MatchesSectionAndKeyWithoutRegardToCase)
{
    const IniDocument doc = parse("[FORM1\\FID]\ninteger=7\n");
    EXPECT_EQ(doc.value(u"Form1\\fid", u"Integer"), QStringLiteral("7"));
}

TEST(IniDocumentRead, TrimsBlanksAroundNamesAndValuesAndAcceptsCrLf)
{
    const IniDocument doc = parse("  [ Form1\\fLastfile ] \r\n\tString = /home/a b.txt \t\r\n");
    EXPECT_EQ(doc.value(u"Form1\\fLastfile", u"String"), QStringLiteral("/home/a b.txt"));
}

TEST(IniDocumentRead, KeepsEverythingAfterTheFirstEqualsSign)
{
    EXPECT_EQ(parse("[s]\nk=a=b\n").value(u"s", u"k"), QStringLiteral("a=b"));
}

TEST(IniDocumentRead, EmptyValueIsPresentButMissingKeyIsNot)
{
    const IniDocument doc = parse("[s]\nk=\n[t]\n");
    EXPECT_EQ(doc.value(u"s", u"k"), QString());
    EXPECT_FALSE(doc.value(u"s", u"other").has_value());
    EXPECT_FALSE(doc.value(u"t", u"k").has_value());
    EXPECT_FALSE(doc.value(u"u", u"k").has_value());
}

TEST(IniDocumentRead, KeysBelongOnlyToTheirOwnSection)
{
    const IniDocument doc = parse("k=outside\n[a]\nk=1\n[b]\nj=2\n");
    EXPECT_FALSE(doc.value(u"b", u"k").has_value());
    EXPECT_EQ(doc.value(u"a", u"k"), QStringLiteral("1"));
}

TEST(IniDocumentRead, FirstMatchWins)
{
    const IniDocument doc = parse("[a]\nk=1\nK=2\n[A]\nk=3\nj=4\n");
    EXPECT_EQ(doc.value(u"a", u"k"), QStringLiteral("1"));
    EXPECT_FALSE(doc.value(u"a", u"j").has_value());
}

TEST(IniDocumentRead, BlankLinesAndOrderCarryNoMeaning)
{
    const IniDocument doc = parse("\n\n[b]\n\nk=2\n\n\n[a]\nk=1");
    EXPECT_EQ(doc.value(u"a", u"k"), QStringLiteral("1"));
    EXPECT_EQ(doc.value(u"b", u"k"), QStringLiteral("2"));
}

TEST(IniDocumentEncoding, DropsUtf8ByteOrderMark)
{
    EXPECT_EQ(parse("\xEF\xBB\xBF[s]\nk=\xE6\x98\x8E\n").value(u"s", u"k"), QStringLiteral("明"));
}

TEST(IniDocumentEncoding, ReadsInvalidUtf8AsCp932)
{
    const IniDocument doc = parse("[Form1\\fFontName]\nString=\x82\x6C\x82\x72\x20\x82\x6F\x96\xBE\x92\xA9\n");
    EXPECT_EQ(doc.value(u"Form1\\fFontName", u"String"), QStringLiteral("ＭＳ Ｐ明朝"));
    // Once read, the text is written out as UTF-8.
    EXPECT_EQ(doc.toUtf8(), QByteArray("[Form1\\fFontName]\nString=ＭＳ Ｐ明朝\n"));
}

TEST(IniDocumentEncoding, Utf8CutOffAtTheEndIsNotUtf8)
{
    // UTF-8 "明" (E6 98 8E) without its last byte: the whole file is taken as CP932,
    // where E6 98 is one character.
    EXPECT_EQ(parse("[s]\nk=ab\xE6\x98").value(u"s", u"k"), QStringLiteral("ab譏"));
}

TEST(IniDocumentWrite, ReplacesTheValueAndKeepsEveryOtherLine)
{
    IniDocument doc = parse("; note\n[Other]\nx = 1\n\n[FORM1\\fid]\nINTEGER=1\nextra=y\n");
    doc.setValue(u"Form1\\fid", u"Integer", u"5");
    EXPECT_EQ(doc.toUtf8(), QByteArray("; note\n[Other]\nx = 1\n\n[FORM1\\fid]\nINTEGER=5\nextra=y\n"));
}

TEST(IniDocumentWrite, AddsAMissingKeyAfterTheLastLineOfItsSection)
{
    IniDocument doc = parse("[a]\nk=1\n\n\n[b]\nk=2\n");
    doc.setValue(u"A", u"j", u"x");
    EXPECT_EQ(doc.toUtf8(), QByteArray("[a]\nk=1\nj=x\n\n\n[b]\nk=2\n"));
    doc.setValue(u"b", u"j", u"y");
    EXPECT_EQ(doc.toUtf8(), QByteArray("[a]\nk=1\nj=x\n\n\n[b]\nk=2\nj=y\n"));
}

TEST(IniDocumentWrite, AddsAMissingSectionAtTheEnd)
{
    IniDocument doc = parse("[a]\nk=1");
    doc.setValue(u"Form1\\FSpd", u"Integer", u"150");
    EXPECT_EQ(doc.toUtf8(), QByteArray("[a]\nk=1\n[Form1\\FSpd]\nInteger=150\n"));

    IniDocument empty = IniDocument::fromBytes(QByteArray());
    empty.setValue(u"s", u"k", u"v");
    EXPECT_EQ(empty.toUtf8(), QByteArray("[s]\nk=v\n"));
}

TEST(IniDocumentWrite, WritesAnEmptySectionsFirstKeyRightUnderItsHeader)
{
    IniDocument doc = parse("[a]\n\n[b]\n");
    doc.setValue(u"a", u"k", u"1");
    EXPECT_EQ(doc.toUtf8(), QByteArray("[a]\nk=1\n\n[b]\n"));
}

class IniFileAccess : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("velmor.ini"));
};

TEST_F(IniFileAccess, MissingFileHasNoValues)
{
    EXPECT_FALSE(readIniValue(path, u"s", u"k").has_value());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(IniFileAccess, EachWriteIsSeenByTheNextRead)
{
    writeIniValue(path, u"Form1\\fid", u"Integer", u"3");
    EXPECT_EQ(readIniValue(path, u"form1\\FID", u"integer"), QStringLiteral("3"));
    writeIniValue(path, u"Form1\\fid", u"Integer", u"4");
    EXPECT_EQ(readIniValue(path, u"Form1\\fid", u"Integer"), QStringLiteral("4"));
    // Another program's change is seen as well: nothing is cached.
    ASSERT_TRUE(writeFileBytes(path, "[Form1\\fid]\nInteger=9\n"));
    EXPECT_EQ(readIniValue(path, u"Form1\\fid", u"Integer"), QStringLiteral("9"));
}

TEST_F(IniFileAccess, CreatesTheFolderOnTheFirstWrite)
{
    const QString nested = dir.filePath(QStringLiteral("config/velmor/velmor.ini"));
    writeIniValue(nested, u"s", u"k", u"v");
    EXPECT_EQ(fileBytes(nested), QByteArray("[s]\nk=v\n"));
}

TEST_F(IniFileAccess, WriteKeepsUnknownContentAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(writeFileBytes(path, "[Mine]\r\nx=1\r\n[form1\\FID]\r\ninteger=2\r\n"));
    writeIniValue(path, u"Form1\\fid", u"Integer", u"5");
    EXPECT_EQ(fileBytes(path), QByteArray("[Mine]\nx=1\n[form1\\FID]\ninteger=5\n"));
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("velmor.ini")});
}

TEST_F(IniFileAccess, WriteKeepsTheFilePermissions)
{
    ASSERT_TRUE(writeFileBytes(path, "[s]\nk=1\n"));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
    writeIniValue(path, u"s", u"k", u"2");
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(IniFileAccess, ErrorNamesTheFile)
{
    const SettingsWriteError error(QStringLiteral("/x/velmor.ini"));
    EXPECT_STREQ(error.what(), "/x/velmor.ini に書き込めません");
    EXPECT_EQ(error.message(), QStringLiteral("/x/velmor.ini に書き込めません"));
    EXPECT_EQ(error.path(), QStringLiteral("/x/velmor.ini"));
}

TEST_F(IniFileAccess, RefusesAFolderThatCannotBeMade)
{
    // A regular file stands where the folder should be: no one, root included, can write there.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(writeFileBytes(blocker, "x"));
    const QString inside = blocker + QStringLiteral("/velmor.ini");
    try {
        writeIniValue(inside, u"s", u"k", u"v");
        FAIL() << "the write was not refused";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(error.path(), inside);
    }
    EXPECT_EQ(fileBytes(blocker), QByteArray("x"));
}

TEST_F(IniFileAccess, RefusesAPathThatIsAFolder)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("velmor.ini")));
    EXPECT_THROW(writeIniValue(path, u"s", u"k", u"v"), SettingsWriteError);
}

TEST_F(IniFileAccess, WriteFailingMidwayLeavesTheOldFileWhole)
{
    const QByteArray old = "[Form1\\fid]\nInteger=1\n[Keep]\nthis=as it is\n";
    ASSERT_TRUE(writeFileBytes(path, old));
    {
        const FileSizeLimit limit(8);
        EXPECT_THROW(writeIniValue(path, u"Form1\\fid", u"Integer", u"2"), SettingsWriteError);
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("velmor.ini")});
}

TEST_F(IniFileAccess, FileBeyondTheSizeLimitIsNeitherReadNorReplaced)
{
    const QByteArray big = "[s]\nk=1\n" + QByteArray(velmor::kMaxIniFileBytes, ';');
    ASSERT_TRUE(writeFileBytes(path, big));
    EXPECT_FALSE(readIniValue(path, u"s", u"k").has_value());
    EXPECT_THROW(writeIniValue(path, u"s", u"k", u"2"), SettingsWriteError);
    EXPECT_EQ(fileBytes(path), big);
}

TEST_F(IniFileAccess, RefusesAWriteProtectedFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    const QByteArray old = "[s]\nk=1\n";
    ASSERT_TRUE(writeFileBytes(path, old));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_THROW(writeIniValue(path, u"s", u"k", u"2"), SettingsWriteError);
    EXPECT_EQ(fileBytes(path), old);
}

TEST_F(IniFileAccess, WritableFileInAWriteProtectedFolderIsWrittenInPlace)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(path, "[s]\nk=1\n"));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    writeIniValue(path, u"s", u"k", u"2");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(fileBytes(path), QByteArray("[s]\nk=2\n"));
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("velmor.ini")});
}

} // namespace
