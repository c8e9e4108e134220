#include "app/RegManager.h"

#include "app/IniFile.h"
#include "app/SettingsItems.h"

#include "QtPrinters.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using velmor::SettingsWriteError;
using velmor::TRegManager;

namespace {

using namespace testfiles;

class RegManagerTest : public ::testing::Test {
protected:
    RegManagerTest()
    {
        velmor::fillSettingsItems(manager);
        manager.IniFileName = path;
        manager.setReporter([this](const QString& text) { reports.append(text); });
    }

    void store(const QByteArray& text) { ASSERT_TRUE(writeFileBytes(path, text)); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("velmor.ini"));
    TRegManager manager;
    QStringList reports;
};

TEST_F(RegManagerTest, WithoutAFileEveryItemReadsItsDefault)
{
    const std::pair<const char*, int> integers[] = {
        {"fid", 1},          {"FSpd", 150},         {"fRepNum", 1},        {"fTop", 16},
        {"fLeft", 16},       {"fHeight", 580},      {"fWidth", 780},       {"fMarkColor", 0x00D2E1D5},
        {"ffMarkColor", 0x00F0DACA}, {"fPanelW", 290}, {"fAlpha", 255},    {"fBGColor", 0x00E9F5F4},
        {"fFontColor", 0x002C201B},  {"fPColor", 0x00F0DACA}, {"fFontSize", 11}, {"fSelBgColor", 0x00FFC6C6},
    };
    for (const auto& [name, value] : integers)
        EXPECT_EQ(manager.ItemByName(QString::fromLatin1(name)).ReadInteger(), value) << name;

    const std::pair<const char*, bool> booleans[] = {
        {"ClipSpeechCheckBoxChecked", true}, {"ShowCheckBoxChecked", true}, {"SICheckBoxChecked", true},
        {"ffirst", true},                    {"SCLCheckBoxChecked", true},  {"fMaxForm", false},
        {"HotKeyCheckBoxChecked", true},     {"LastfileCheckChecked", true}, {"WordReadCheckBoxChecked", true},
        {"endlineChecked", true},            {"fMarkCheck", false},          {"fAddYuki", true},
        {"KeyInputChecked", true},           {"AutoLanguage1Checked", false}, {"FollowWordsChecked", true},
        {"DesktopColoursChecked", false},    {"WideSpeedRangeChecked", false}, {"ResumeWhereStoppedChecked", false}, {"WebPagesChecked", false},
        {"ChapterFilesChecked", false},      {"SubtitleFilesChecked", false},
    };
    for (const auto& [name, value] : booleans)
        EXPECT_EQ(manager.ItemByName(QString::fromLatin1(name)).ReadBool(), value) << name;

    EXPECT_EQ(manager.ItemByName(u"fFontName").ReadString(), QStringLiteral("ＭＳ Ｐ明朝"));
    for (const char* name : {"fidVoice", "fLastfile", "fExeName", "fDicName", "fExeArgs", "fDicArgs"})
        EXPECT_EQ(manager.ItemByName(QString::fromLatin1(name)).ReadString(), QString()) << name;

    EXPECT_EQ(std::size(integers) + std::size(booleans) + 7, manager.RegItems.size());
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(RegManagerTest, WritingEveryDefaultCreatesAllSections)
{
    for (const QString& name : velmor::settingsAccessOrder()) {
        const velmor::TRegItem& item =
            *std::find_if(manager.RegItems.begin(), manager.RegItems.end(),
                          [&](const velmor::TRegItem& i) { return i.Name == name; });
        auto& filer = manager.ItemByName(name);
        if (item.Ident == u"Integer")
            filer.WriteInteger(filer.ReadInteger());
        else if (item.Ident == u"String")
            filer.WriteString(filer.ReadString());
        else
            filer.WriteBool(filer.ReadBool());
    }
    const QString text = QString::fromUtf8(fileBytes(path));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Form1\\fid]\nInteger=1\nString=\n[Form1\\FSpd]\nInteger=150\n"
                                               "[Form1\\ClipSpeechCheckBox]\nChecked=1\n")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("\n[Form1\\")) + 1, 43);
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fMarkColor]\nInteger=13820373\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fMaxForm]\nBoolean=0\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fFontName]\nString=ＭＳ Ｐ明朝\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Form1\\fLastfile]\nString=\n[Form1\\LastfileCheck]\n")));
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(RegManagerTest, BooleanIsTheLowByteOfANumber)
{
    const std::pair<const char*, bool> cases[] = {
        {"1", true},   {"0", false},   {"2", true},    {"256", false}, {"257", true}, {"-1", true},
        {"$100", false}, {"$1FF", true}, {"True", false}, {"yes", false}, {"", false},  {"1x", false},
    };
    for (const auto& [stored, expected] : cases) {
        store(QByteArray("[Form1\\SICheckBox]\nChecked=") + stored + '\n');
        EXPECT_EQ(manager.ItemByName(u"SICheckBoxChecked").ReadBool(), expected) << stored;
    }
}

TEST_F(RegManagerTest, BooleanDefaultIsNormalisedFirst)
{
    const std::pair<const char*, bool> cases[] = {
        {"True", true}, {"tRuE", true}, {"YES", true}, {"yes", true}, {"1", true},
        {"False", false}, {"2", false}, {"", false}, {"on", false},
    };
    for (const auto& [defaultValue, expected] : cases) {
        manager.RegItems = {{QStringLiteral("b"), QStringLiteral("S"), QStringLiteral("Checked"),
                             QString::fromLatin1(defaultValue)}};
        EXPECT_EQ(manager.ItemByName(u"b").ReadBool(), expected) << defaultValue;
    }
}

TEST_F(RegManagerTest, IntegerIsDecimalOrDollarHexadecimal)
{
    const std::pair<const char*, int> cases[] = {
        {"-4", -4},
        {"+12", 12},
        {"$00D2E1D5", 13820373},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 0},
        {"$100000000", 0},
        {"abc", 0},
        {"12abc", 0},
        {"0x10", 0},
        {"$", 0},
        {"-", 0},
        {"", 0},
    };
    for (const auto& [stored, expected] : cases) {
        store(QByteArray("[Form1\\fTop]\nInteger=") + stored + '\n');
        EXPECT_EQ(manager.ItemByName(u"fTop").ReadInteger(), expected) << stored;
    }
}

TEST_F(RegManagerTest, ColourDefaultIsWrittenBackInDecimal)
{
    auto& filer = manager.ItemByName(u"fMarkColor");
    const int colour = filer.ReadInteger();
    EXPECT_EQ(colour, 13820373);
    filer.WriteInteger(colour);
    EXPECT_EQ(fileBytes(path), QByteArray("[Form1\\fMarkColor]\nInteger=13820373\n"));
}

TEST_F(RegManagerTest, WritesIntegersBooleansAndTextsAsTheyAre)
{
    manager.ItemByName(u"fLeft").WriteInteger(-4);
    manager.ItemByName(u"fMaxForm").WriteBool(true);
    manager.ItemByName(u"fMarkCheck").WriteBool(false);
    manager.ItemByName(u"fLastfile").WriteString(QStringLiteral("/home/ユーザー/a=b.txt"));
    EXPECT_EQ(QString::fromUtf8(fileBytes(path)),
              QStringLiteral("[Form1\\fLeft]\nInteger=-4\n[Form1\\fMaxForm]\nBoolean=1\n"
                             "[Form1\\fMarkCheck]\nChecked=0\n[Form1\\fLastfile]\nString=/home/ユーザー/a=b.txt\n"));
    EXPECT_EQ(manager.ItemByName(u"fLeft").ReadInteger(), -4);
    EXPECT_TRUE(manager.ItemByName(u"fMaxForm").ReadBool());
    EXPECT_FALSE(manager.ItemByName(u"fMarkCheck").ReadBool());
    EXPECT_EQ(manager.ItemByName(u"fLastfile").ReadString(), QStringLiteral("/home/ユーザー/a=b.txt"));
}

TEST_F(RegManagerTest, EachAccessGoesToTheFile)
{
    auto& filer = manager.ItemByName(u"FSpd");
    filer.WriteInteger(170);
    EXPECT_EQ(filer.ReadInteger(), 170);
    store("[form1\\fspd]\ninteger=140\n");
    EXPECT_EQ(filer.ReadInteger(), 140);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(filer.ReadInteger(), 150);
}

TEST_F(RegManagerTest, LongTextIsCutTo2047Bytes)
{
    auto& filer = manager.ItemByName(u"fExeName");
    filer.WriteString(QString(3000, u'x'));
    EXPECT_EQ(filer.ReadString(), QString(2047, u'x'));

    // Three-byte characters: 682 of them fill 2,046 bytes; the 683rd would be cut in half.
    filer.WriteString(QString(1000, u'あ'));
    EXPECT_EQ(filer.ReadString(), QString(682, u'あ'));

    // A four-byte character straddling the limit is dropped whole.
    filer.WriteString(QString(2045, u'y') + QStringLiteral("😀"));
    EXPECT_EQ(filer.ReadString(), QString(2045, u'y'));

    filer.WriteString(QString(2047, u'z'));
    EXPECT_EQ(filer.ReadString(), QString(2047, u'z'));
}

TEST_F(RegManagerTest, LookUpIgnoresCaseAndTakesTheFirstMatch)
{
    store("[Form1\\HotKeyCheckBox]\nChecked=0\n");
    EXPECT_FALSE(manager.ItemByName(u"HotkeyCheckBoxChecked").ReadBool());
    EXPECT_TRUE(reports.isEmpty());

    manager.RegItems = {{QStringLiteral("Twin"), QStringLiteral("First"), QStringLiteral("Integer"),
                         QStringLiteral("1")},
                        {QStringLiteral("TWIN"), QStringLiteral("Second"), QStringLiteral("Integer"),
                         QStringLiteral("2")}};
    EXPECT_EQ(manager.ItemByName(u"TWIN").ReadInteger(), 1);
}

TEST_F(RegManagerTest, UnknownNameIsReportedAndGivesNothing)
{
    store("[Form1\\fid]\nInteger=5\n");
    auto& filer = manager.ItemByName(u"fid");
    ASSERT_EQ(filer.ReadInteger(), 5);

    auto& unknown = manager.ItemByName(u"fNoSuchItem");
    EXPECT_EQ(reports, QStringList{QStringLiteral("[' fNoSuchItem '] is invalid.")});
    EXPECT_EQ(unknown.ReadInteger(), 0);
    EXPECT_FALSE(unknown.ReadBool());
    EXPECT_EQ(unknown.ReadString(), QString());
    // The item current before the failed look-up is not written either.
    unknown.WriteInteger(9);
    unknown.WriteBool(true);
    unknown.WriteString(QStringLiteral("x"));
    EXPECT_EQ(fileBytes(path), QByteArray("[Form1\\fid]\nInteger=5\n"));
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(RegManagerTest, EmptyFileNameIsReportedOnEachAccess)
{
    manager.IniFileName.clear();
    auto& filer = manager.ItemByName(u"fFontName");
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_EQ(filer.ReadString(), QString());
    EXPECT_EQ(filer.ReadInteger(), 0);
    EXPECT_FALSE(filer.ReadBool());
    filer.WriteString(QStringLiteral("x"));
    EXPECT_EQ(reports, QStringList(4, QStringLiteral("can not create Inifile object.")));
    EXPECT_TRUE(folderEntries(dir.path()).isEmpty());
}

TEST_F(RegManagerTest, WriteKeepsWhatTheProgramDoesNotKnow)
{
    store("[Form1\\fid]\nInteger=1\nComment=kept\n[Someone\\else]\nkey=value\n\n");
    manager.ItemByName(u"fid").WriteInteger(3);
    manager.ItemByName(u"fAlpha").WriteInteger(200);
    EXPECT_EQ(fileBytes(path), QByteArray("[Form1\\fid]\nInteger=3\nComment=kept\n[Someone\\else]\nkey=value\n\n"
                                          "[Form1\\fAlpha]\nInteger=200\n"));
}

TEST_F(RegManagerTest, FindsMixedCaseNamesInTheFileAndReplacesThem)
{
    store("[FORM1\\fpanelw]\r\n  INTEGER = 333\r\n");
    auto& filer = manager.ItemByName(u"fPanelW");
    EXPECT_EQ(filer.ReadInteger(), 333);
    filer.WriteInteger(300);
    EXPECT_EQ(fileBytes(path), QByteArray("[FORM1\\fpanelw]\nINTEGER=300\n"));
}

TEST_F(RegManagerTest, ReadsAFileFromAJapaneseSystem)
{
    store("[Form1\\fFontName]\r\nString=\x82\x6C\x82\x72\x20\x82\x6F\x96\xBE\x92\xA9\r\n"
          "[Form1\\fLastfile]\r\nString=C:\\\x83\x81\x83\x82.txt\r\n");
    EXPECT_EQ(manager.ItemByName(u"fFontName").ReadString(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_EQ(manager.ItemByName(u"fLastfile").ReadString(), QStringLiteral("C:\\メモ.txt"));

    // The next write turns the file into UTF-8 without losing the font name.
    manager.ItemByName(u"fid").WriteInteger(2);
    EXPECT_EQ(manager.ItemByName(u"fFontName").ReadString(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_TRUE(QString::fromUtf8(fileBytes(path)).contains(QStringLiteral("String=ＭＳ Ｐ明朝\n")));
}

TEST_F(RegManagerTest, RefusedWriteRaisesAndLeavesTheOldFileAlone)
{
    const QByteArray old = "[Form1\\fid]\nInteger=4\n[Form1\\fDicName]\nString=/usr/bin/dict\n";
    store(old);
    try {
        const FileSizeLimit limit(16);
        manager.ItemByName(u"fDicName").WriteString(QStringLiteral("/opt/other/dictionary"));
        FAIL() << "the write was not refused";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(error.message(), path + QStringLiteral(" に書き込めません"));
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("velmor.ini")});
    EXPECT_EQ(manager.ItemByName(u"fDicName").ReadString(), QStringLiteral("/usr/bin/dict"));
}

TEST_F(RegManagerTest, RefusedWriteInAFolderThatCannotExist)
{
    const QString blocker = dir.filePath(QStringLiteral("velmor"));
    ASSERT_TRUE(writeFileBytes(blocker, "not a folder"));
    manager.IniFileName = blocker + QStringLiteral("/velmor.ini");
    EXPECT_THROW(manager.ItemByName(u"fid").WriteInteger(1), SettingsWriteError);
    EXPECT_EQ(fileBytes(blocker), QByteArray("not a folder"));
}

// Two copies of the program closing at the same moment: each writes every item, and the file
// then holds one copy's values, whole.
TEST_F(RegManagerTest, TwoWritersAtOnceLeaveOneWholeSet)
{
    const QStringList names = velmor::settingsAccessOrder();
    for (int round = 0; round < 20; ++round) {
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        pid_t writers[2];
        for (int writer = 0; writer < 2; ++writer) {
            writers[writer] = fork();
            if (writers[writer] == 0) {
                close(start[1]);
                char go;
                (void)read(start[0], &go, 1);
                try {
                    manager.writeTogether([&] {
                        for (const QString& name : names)
                            manager.ItemByName(name).WriteString(QStringLiteral("writer %1").arg(writer));
                    });
                } catch (const SettingsWriteError&) {
                    _exit(1);
                }
                _exit(0);
            }
        }
        close(start[0]);
        close(start[1]);
        for (const pid_t writer : writers) {
            int status = 0;
            ASSERT_EQ(waitpid(writer, &status, 0), writer);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        QStringList values;
        for (const QString& name : names)
            values << manager.ItemByName(name).ReadString();
        values.removeDuplicates();
        ASSERT_EQ(values.size(), 1) << "round " << round << ": " << values.join(u',').toStdString();
        EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("velmor.ini")});
        QFile::remove(path);
    }
}

TEST(RegManagerDialog, DefaultReporterShowsAnErrorBoxWithAnOkButton)
{
    TRegManager manager;
    QString shownText;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons shownButtons;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        shownText = box->text();
        shownIcon = box->icon();
        shownButtons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    manager.ItemByName(u"missing");
    poll.stop();
    EXPECT_EQ(shownText, QStringLiteral("[' missing '] is invalid."));
    EXPECT_EQ(shownIcon, QMessageBox::Critical);
    EXPECT_EQ(shownButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

} // namespace

// A value can never write lines of its own into the file, whoever writes it: a name holding a
// line break would otherwise add sections that the next start reads as settings.
TEST_F(RegManagerTest, NoValueBreaksItsLineOrStartsASection)
{
    store("[Form1\\fExeName]\nString=/usr/bin/dict\n");
    const QByteArray before = fileBytes(path);
    const QString injected = QStringLiteral("/tmp/x\n[Form1\\fFontSize]\nInteger=40");
    manager.ItemByName(u"fExeName").WriteString(injected);
    manager.writeTogether([&] { manager.ItemByName(u"fDicName").WriteString(QStringLiteral("a\rb")); });
    for (const QString& other : {QStringLiteral("a\u2028b"), QStringLiteral("a\x1b" "b")})
        manager.ItemByName(u"fExeName").WriteString(other);
    EXPECT_EQ(fileBytes(path), before);
    ASSERT_EQ(reports.size(), 4);
    EXPECT_EQ(reports[0],
              QStringLiteral("[' fExeName '] holds a line break or another control character and was not saved."));

    velmor::IniDocument doc;
    EXPECT_FALSE(doc.setValue(u"Form1\\fExeName", u"String", injected));
    EXPECT_FALSE(doc.setValue(u"Form1\\fExeName", u"[Form1\\fFontSize]", u"1"));
    EXPECT_FALSE(doc.setValue(u"Form1\\fExe]Name", u"String", u"1"));
    EXPECT_FALSE(doc.setValue(u"Form1\\fExeName", u"a=b", u"1"));
    EXPECT_FALSE(doc.setValue(u"Form1\n[x]", u"String", u"1"));
    EXPECT_FALSE(velmor::writeIniValue(path, u"Form1\\fExeName", u"String", injected));
    EXPECT_TRUE(doc.toUtf8().isEmpty());
    EXPECT_TRUE(doc.setValue(u"Form1\\fExeName", u"String", u"/opt/my\ttools/[dict]"));
    EXPECT_EQ(fileBytes(path), before);
}
