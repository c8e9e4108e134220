#include "QtPrinters.h"

#include "app/CommandLine.h"
#include "app/ErrorBox.h"
#include "document/Paths.h"

#include <gtest/gtest.h>

using namespace velmor;

TEST(CommandLineFile, AcceptsTheListedExtensionsExactly)
{
    for (const char* name : {"notes.txt", "NOTES.TXT", "a.pas", "a.dpr", "a.dfm", "a.ini", "a.htm", "a.html",
                             "/home/ann/link.lnk", "my.notes.txt"})
        EXPECT_EQ(commandLineFile({QString::fromLatin1(name)}), QString::fromLatin1(name)) << name;
    for (const char* name : {"notes.Txt", "notes.rtf", "notes", "notes.txt.bak", "dir.txt/notes", ".txt.x"})
        EXPECT_FALSE(commandLineFile({QString::fromLatin1(name)})) << name;
    EXPECT_FALSE(commandLineFile({}));
}

TEST(CommandLineFile, OnlyTheFirstArgumentCounts)
{
    EXPECT_FALSE(commandLineFile({QStringLiteral("a.rtf"), QStringLiteral("b.txt")}));
    EXPECT_EQ(commandLineFile({QStringLiteral("a.txt"), QStringLiteral("b.rtf")}), QStringLiteral("a.txt"));
}

TEST(CommandLineFile, ExtensionIsTheFileNamePartFromTheLastDot)
{
    EXPECT_EQ(fileExtension(QStringLiteral("/a.b/c")), QString());
    EXPECT_EQ(fileExtension(QStringLiteral("/a/c.tar.gz")), QStringLiteral(".gz"));
    EXPECT_EQ(fileExtension(QStringLiteral(".txt")), QStringLiteral(".txt"));
}

TEST(CommandLineRequest, HelpAndVersionAreOptionsOtherArgumentsAFile)
{
    EXPECT_EQ(parseCommandLine({"velmor", "--help"}).action, CommandLineRequest::Action::PrintHelp);
    EXPECT_EQ(parseCommandLine({"velmor", "--version"}).action, CommandLineRequest::Action::PrintVersion);
    const CommandLineRequest run = parseCommandLine({"velmor", "notes.txt"});
    EXPECT_EQ(run.action, CommandLineRequest::Action::Run);
    EXPECT_EQ(run.file, QStringLiteral("notes.txt"));
    EXPECT_FALSE(parseCommandLine({"velmor"}).file);
    EXPECT_TRUE(versionText().contains(QStringLiteral(VELMOR_VERSION)));
}

TEST(DisplayMissing, OnlyWhenTheWindowSystemNeedsADisplayAndNoneIsNamed)
{
    const QStringList plain{"velmor"};
    EXPECT_TRUE(displayMissing(plain, {}));
    EXPECT_TRUE(displayMissing(plain, {"xcb", "", ""}));
    EXPECT_TRUE(displayMissing(plain, {"wayland;xcb", "", ""}));
    EXPECT_FALSE(displayMissing(plain, {"", ":0", ""}));
    EXPECT_FALSE(displayMissing(plain, {"", "", "wayland-0"}));
    EXPECT_FALSE(displayMissing(plain, {"offscreen", "", ""}));
    EXPECT_FALSE(displayMissing(plain, {"wayland;offscreen", "", ""}));
    EXPECT_FALSE(displayMissing({"velmor", "-platform", "offscreen"}, {"xcb", "", ""}));
    EXPECT_TRUE(displayMissing({"velmor", "-platform", "xcb"}, {"offscreen", "", ""}));
    EXPECT_FALSE(displayMissing({"velmor", "-display", ":1"}, {}));
    EXPECT_EQ(missingDisplayText(),
              QStringLiteral("Velmor needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)\n"));
}

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("Disk full")), QStringLiteral("Disk full."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Why?")), QStringLiteral("Why?."));
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(errorBoxText(QStringLiteral("ファイル x は開けません")), QStringLiteral("ファイル x は開けません."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(RunGuarded, ShowsTheErrorAndSwallowsIt)
{
    QStringList shown;
    auto show = [&shown](const QString& text) { shown << text; };
    runGuarded(show, [] { throw std::runtime_error("boom"); });
    runGuarded(show, [] {});
    EXPECT_EQ(shown, QStringList{QStringLiteral("boom")});
}
