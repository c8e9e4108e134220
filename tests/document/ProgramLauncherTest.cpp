#include "QtPrinters.h"
#include "../app/TestFiles.h"

#include "document/ProgramLauncher.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testfiles::writeFileBytes;
using velmor::desktopEntryCommand;
using velmor::droppedProgram;

namespace {

using ProgramCommandFor = velmor::ProgramCommand;

struct Folder {
    QTemporaryDir dir;
    QString write(const char* name, const QByteArray& bytes, bool executable = false)
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        writeFileBytes(path, bytes);
        if (executable)
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }
};

} // namespace

TEST(DesktopEntry, CommandHonoursQuotesAndEscapesAndDropsFieldCodes)
{
    Folder f;
    const QString entry = f.write("dict.desktop", "[Desktop Entry]\n"
                                                  "# Exec=commented\n"
                                                  "Name=Dictionary\n"
                                                  "Exec=\"/opt/my tools/dict\" --mode=\"a \\\\\"b\\\\\"\" %F -x%u 100%%\\s!\n"
                                                  "Type=Application\n"
                                                  "[Desktop Action window]\n"
                                                  "Exec=other\n");
    EXPECT_EQ(desktopEntryCommand(entry),
              (QStringList{"/opt/my tools/dict", "--mode=a \"b\"", "-x", "100%", "!"}));

    EXPECT_EQ(desktopEntryCommand(f.write("link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.org\n")),
              std::nullopt);
    EXPECT_EQ(desktopEntryCommand(f.write("open.desktop", "[Desktop Entry]\nType=Application\nExec=\"dict\n")),
              std::nullopt);
    EXPECT_EQ(desktopEntryCommand(f.write("codes.desktop", "[Desktop Entry]\nType=Application\nExec=%U\n")),
              std::nullopt);
    EXPECT_EQ(desktopEntryCommand(f.write("entry.txt", "[Desktop Entry]\nType=Application\nExec=dict\n")),
              std::nullopt);
}

TEST(DroppedProgram, IsAnExecutableFileOrAnApplicationEntryReachedThroughShortcuts)
{
    using velmor::ProgramCommand;
    Folder f;
    const QString program = f.write("dict", "#!/bin/sh\n", true);
    EXPECT_EQ(droppedProgram(program).command, (ProgramCommand{program, {}}));
    const QString shortcut = f.dir.filePath(QStringLiteral("dict.lnk"));
    ASSERT_TRUE(QFile::link(program, shortcut));
    EXPECT_EQ(droppedProgram(shortcut).command, (ProgramCommand{program, {}}));

    for (const QString& nothing : {QString(), f.write("notes.txt", "text"), f.write("TOOL.EXE", "MZ"), f.dir.path(),
                                   f.write("site.desktop", "[Desktop Entry]\nType=Link\n", true)}) {
        const velmor::ProgramDrop dropped = droppedProgram(nothing);
        EXPECT_EQ(dropped.command, std::nullopt) << nothing.toStdString();
        EXPECT_TRUE(dropped.refusal.isEmpty()) << nothing.toStdString();
    }
    const QString dangling = f.dir.filePath(QStringLiteral("gone.lnk"));
    ASSERT_TRUE(QFile::link(f.dir.filePath(QStringLiteral("missing")), dangling));
    EXPECT_EQ(droppedProgram(dangling).command, std::nullopt);

    EXPECT_FALSE(velmor::startProgram({}));
    EXPECT_FALSE(velmor::startProgram({f.dir.filePath(QStringLiteral("missing")), {}}));
    EXPECT_FALSE(velmor::startProgram({f.write("plain", "not a program"), {}}));
}

// A name with a line break or any other control character is refused with a reason: it could
// otherwise break the settings file or mislead whoever reads it.
TEST(DroppedProgram, NameWithAControlCharacterIsRefusedWithAReason)
{
    Folder f;
    const QString injected = f.write("x\n[Form1\\fFontSize]\nInteger=40", "#!/bin/sh\n", true);
    const QString escape = f.write("dict\x1b[2J", "#!/bin/sh\n", true);
    const QString linked = f.dir.filePath(QStringLiteral("fine.lnk"));
    ASSERT_TRUE(QFile::link(injected, linked));
    for (const QString& path : {injected, escape, linked}) {
        const velmor::ProgramDrop dropped = droppedProgram(path);
        EXPECT_EQ(dropped.command, std::nullopt);
        EXPECT_TRUE(dropped.refusal.endsWith(
            QStringLiteral("holds a line break or another control character, so it was not taken as a dictionary "
                           "program.")))
            << dropped.refusal.toStdString();
        EXPECT_FALSE(dropped.refusal.contains(u'\n'));
    }
}

// A desktop entry is a launcher the desktops trust only when it is executable or lies in an
// applications folder; its command is found when it is dropped, so a later change of the
// entry changes nothing.
TEST(DroppedProgram, DesktopEntryIsTrustedOnlyWhenExecutableOrInAnApplicationsFolder)
{
    Folder f;
    Folder data;
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.dir.path()));
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", savedDataHome); });
    const QString words = f.write("words", "#!/bin/sh\n", true);
    const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=\"" + words.toUtf8() + "\" --look \"a b\" %U\n";
    const ProgramCommandFor expected{words, {"--look", "a b"}};

    const QString downloaded = f.write("words.desktop", entry);
    const velmor::ProgramDrop refused = droppedProgram(downloaded);
    EXPECT_EQ(refused.command, std::nullopt);
    EXPECT_EQ(refused.refusal,
              downloaded + QStringLiteral(" was not taken as a dictionary program: a desktop entry starts its command "
                                          "only when it is executable or lies in an applications folder."));
    // A link from the applications folder to it does not make it trusted.
    ASSERT_TRUE(QDir().mkpath(data.dir.filePath(QStringLiteral("applications/tools"))));
    const QString linkedIn = data.dir.filePath(QStringLiteral("applications/words.desktop"));
    ASSERT_TRUE(QFile::link(downloaded, linkedIn));
    EXPECT_EQ(droppedProgram(linkedIn).command, std::nullopt);

    const QString installed = data.write("applications/tools/words.desktop", entry);
    EXPECT_EQ(droppedProgram(installed).command, expected);
    QFile::setPermissions(downloaded, QFile::permissions(downloaded) | QFile::ExeOwner);
    EXPECT_EQ(droppedProgram(downloaded).command, expected);
    EXPECT_EQ(velmor::commandText(*droppedProgram(downloaded).command),
              QStringLiteral("\"%1\" \"--look\" \"a b\"").arg(words));

    // The program is looked for on PATH at the drop.
    const QString onPath = f.write("onpath.desktop", "[Desktop Entry]\nType=Application\nExec=sh -c \"echo hi\"\n", true);
    EXPECT_EQ(droppedProgram(onPath).command, (ProgramCommandFor{QStandardPaths::findExecutable("sh"), {"-c", "echo hi"}}));
    const QString nowhere = f.write("nowhere.desktop", "[Desktop Entry]\nType=Application\nExec=no-such-dict-x\n", true);
    EXPECT_EQ(droppedProgram(nowhere).refusal,
              QStringLiteral("The program no-such-dict-x that %1 starts was not found.").arg(nowhere));

    // Arguments survive the settings file's one line.
    const QStringList arguments{"a b", "\"q\"", "$HOME", "back\\slash", "`x`", ""};
    EXPECT_EQ(velmor::splitArguments(velmor::joinArguments(arguments)), arguments);
}
