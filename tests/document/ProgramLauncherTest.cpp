#include "QtPrinters.h"
#include "../app/TestFiles.h"

#include "document/ProgramLauncher.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testfiles::writeFileBytes;
using velmor::desktopEntryCommand;
using velmor::droppedProgram;

namespace {

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
    Folder f;
    const QString program = f.write("dict", "#!/bin/sh\n", true);
    EXPECT_EQ(droppedProgram(program), program);
    const QString shortcut = f.dir.filePath(QStringLiteral("dict.lnk"));
    ASSERT_TRUE(QFile::link(program, shortcut));
    EXPECT_EQ(droppedProgram(shortcut), program);
    const QString entry = f.write("dict.desktop", "[Desktop Entry]\nType=Application\nExec=dict\n");
    EXPECT_EQ(droppedProgram(entry), entry);

    EXPECT_EQ(droppedProgram(QString()), std::nullopt);
    EXPECT_EQ(droppedProgram(f.write("notes.txt", "text")), std::nullopt);
    EXPECT_EQ(droppedProgram(f.write("TOOL.EXE", "MZ")), std::nullopt);
    EXPECT_EQ(droppedProgram(f.dir.path()), std::nullopt);
    EXPECT_EQ(droppedProgram(f.write("site.desktop", "[Desktop Entry]\nType=Link\n")), std::nullopt);
    const QString dangling = f.dir.filePath(QStringLiteral("gone.lnk"));
    ASSERT_TRUE(QFile::link(f.dir.filePath(QStringLiteral("missing")), dangling));
    EXPECT_EQ(droppedProgram(dangling), std::nullopt);

    EXPECT_FALSE(velmor::startProgram(QString()));
    EXPECT_FALSE(velmor::startProgram(f.dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(velmor::startProgram(f.write("plain", "not a program")));
}
