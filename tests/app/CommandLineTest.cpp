#include "QtPrinters.h"

#include "app/CommandLine.h"
#include "widgets/ErrorBox.h"
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
    using Action = CommandLineRequest::Action;
    EXPECT_EQ(parseCommandLine({"velmor", "--help"}).action, Action::PrintHelp);
    EXPECT_EQ(parseCommandLine({"velmor", "notes.txt", "-h"}).action, Action::PrintHelp);
    EXPECT_EQ(parseCommandLine({"velmor", "--version"}).action, Action::PrintVersion);
    EXPECT_EQ(parseCommandLine({"velmor", "--help", "--say", "x"}).action, Action::PrintHelp);
    EXPECT_EQ(parseCommandLine({"velmor", "--voice", "Mary", "--say", "x"}).action, Action::Speak);
    const CommandLineRequest run = parseCommandLine({"velmor", "notes.txt"});
    EXPECT_EQ(run.action, Action::Run);
    EXPECT_EQ(run.file, QStringLiteral("notes.txt"));
    EXPECT_FALSE(parseCommandLine({"velmor"}).file);
    EXPECT_TRUE(versionText().contains(QStringLiteral(VELMOR_VERSION)));
}

// An option nobody knows is an error, wherever it stands; Qt's own options and their values are
// passed over; after "--" every argument is a file, whatever its first character.
TEST(CommandLineRequest, UnknownOptionsAreErrorsQtOptionsPassAndDashDashEndsTheOptions)
{
    using Action = CommandLineRequest::Action;
    const std::pair<QStringList, QString> wrong[] = {{{"velmor", "--bogus"}, "--bogus"},
                                                     {{"velmor", "-v"}, "-v"},
                                                     {{"velmor", "notes.txt", "-v"}, "-v"},
                                                     {{"velmor", "-platform", "offscreen", "-x", "a.txt"}, "-x"}};
    for (const auto& [arguments, option] : wrong) {
        const CommandLineRequest request = parseCommandLine(arguments);
        EXPECT_EQ(request.action, Action::BadOption) << arguments.join(u' ').toStdString();
        EXPECT_EQ(request.badOption, option);
    }
    EXPECT_EQ(badOptionText(QStringLiteral("--bogus")),
              QStringLiteral("velmor: unknown option '--bogus'\nTry 'velmor --help' for the options.\n"));

    for (const QStringList& arguments :
         {QStringList{"velmor", "-platform", "offscreen", "notes.txt"}, QStringList{"velmor", "--display", ":1", "notes.txt"},
          QStringList{"velmor", "-style=fusion", "-reverse", "notes.txt"}, QStringList{"velmor", "notes.txt", "-geometry", "9x9"}}) {
        const CommandLineRequest request = parseCommandLine(arguments);
        EXPECT_EQ(request.action, Action::Run) << arguments.join(u' ').toStdString();
        EXPECT_EQ(request.file, QStringLiteral("notes.txt")) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(request.extraFiles.isEmpty()) << arguments.join(u' ').toStdString();
    }

    const CommandLineRequest dashed = parseCommandLine({"velmor", "--", "-notes.txt", "--help"});
    EXPECT_EQ(dashed.action, Action::Run);
    EXPECT_EQ(dashed.file, QStringLiteral("-notes.txt"));
    EXPECT_EQ(dashed.extraFiles, QStringList{"--help"});
    EXPECT_EQ(parseCommandLine({"velmor", "--", "--say"}).action, Action::Run);
    EXPECT_EQ(parseCommandLine({"velmor", "-"}).refusedFile, QStringLiteral("-"));
}

// The files named that the window does not open are reported with the reason; the first one
// named of a kind it reads is opened.
TEST(CommandLineRequest, FilesTheWindowDoesNotOpenAreNamedWithTheReason)
{
    const CommandLineRequest refused = parseCommandLine({"velmor", "notes.rtf"});
    EXPECT_FALSE(refused.file);
    EXPECT_EQ(unopenedFilesText(refused),
              QStringLiteral(" notes.rtf was not opened: it is not a text file, a shortcut (.lnk) or a document Velmor reads "
                             "(PDF, EPUB, DOCX, ODT, HTML, Markdown)"));

    const CommandLineRequest several = parseCommandLine({"velmor", "a.txt", "b.txt", "c.rtf"});
    EXPECT_EQ(several.file, QStringLiteral("a.txt"));
    EXPECT_EQ(unopenedFilesText(several), QStringLiteral(" b.txt, c.rtf were not opened: only the first file named is"));

    EXPECT_EQ(unopenedFilesText(parseCommandLine({"velmor", "a.Txt", "b.txt"})),
              QStringLiteral(" a.Txt was not opened: it is not a text file, a shortcut (.lnk) or a document Velmor reads "
                             "(PDF, EPUB, DOCX, ODT, HTML, Markdown); "
                             "b.txt was not opened: only the first file named is"));
    EXPECT_TRUE(unopenedFilesText(parseCommandLine({"velmor", "a.txt"})).isEmpty());
    EXPECT_TRUE(unopenedFilesText(parseCommandLine({"velmor"})).isEmpty());
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
