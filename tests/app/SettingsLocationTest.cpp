#include "app/SettingsLocation.h"

#include "QtPrinters.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

using velmor::iniPathBesideProgram;
using velmor::settingsFilePath;

namespace {

using namespace testfiles;

TEST(IniPathBesideProgram, ReplacesOrAddsTheExtension)
{
    EXPECT_EQ(iniPathBesideProgram(QStringLiteral("/opt/velmor/velmor")), QStringLiteral("/opt/velmor/velmor.ini"));
    EXPECT_EQ(iniPathBesideProgram(QStringLiteral("/opt/velmor/velmor.bin")),
              QStringLiteral("/opt/velmor/velmor.ini"));
    EXPECT_EQ(iniPathBesideProgram(QStringLiteral("/a/b.c/velmor")), QStringLiteral("/a/b.c/velmor.ini"));
    EXPECT_EQ(iniPathBesideProgram(QStringLiteral("/a/velmor.x.y")), QStringLiteral("/a/velmor.x.ini"));
}

class SettingsLocation : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString program = dir.filePath(QStringLiteral("bin/velmor"));
    QString beside = dir.filePath(QStringLiteral("bin/velmor.ini"));
    QString config = dir.filePath(QStringLiteral("config"));
    QString inConfig = config + QStringLiteral("/velmor/velmor.ini");

    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("bin"))); }
    void protectBin()
    {
        ASSERT_TRUE(QFile::setPermissions(dir.filePath(QStringLiteral("bin")),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    void TearDown() override
    {
        QFile::setPermissions(dir.filePath(QStringLiteral("bin")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

TEST_F(SettingsLocation, WritableProgramFolderKeepsTheSettingsBesideTheProgram)
{
    EXPECT_EQ(settingsFilePath(program, config), beside);
}

TEST(SettingsOfAnInstalledProgram, StayInTheConfigFolderEvenWhereTheProgramFolderIsWritable)
{
    // Root may write into /usr/bin; the settings must still not land there.
    const QString inConfig = QStringLiteral("/home/u/.config/velmor/velmor.ini");
    for (const char* program : {"/usr/bin/velmor", "/usr/local/bin/velmor", "/usr/bin/../lib/velmor/velmor"})
        EXPECT_EQ(settingsFilePath(QString::fromUtf8(program), QStringLiteral("/home/u/.config")), inConfig) << program;
}

TEST_F(SettingsLocation, ExistingFileBesideTheProgramIsUsed)
{
    ASSERT_TRUE(writeFileBytes(beside, "[Form1\\fid]\nInteger=1\n"));
    EXPECT_EQ(settingsFilePath(program, config), beside);
}

TEST_F(SettingsLocation, ProgramFolderThatCannotBeWrittenSendsTheSettingsToTheConfigFolder)
{
    // A program path whose folder is a regular file: no one can write there.
    ASSERT_TRUE(writeFileBytes(dir.filePath(QStringLiteral("file")), "x"));
    EXPECT_EQ(settingsFilePath(dir.filePath(QStringLiteral("file/velmor")), config), inConfig);
    // Nor can anyone write into a folder that does not exist.
    EXPECT_EQ(settingsFilePath(dir.filePath(QStringLiteral("none/velmor")), config), inConfig);
}

TEST_F(SettingsLocation, WriteProtectedProgramFolder)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    protectBin();
    EXPECT_EQ(settingsFilePath(program, config), inConfig);
}

TEST_F(SettingsLocation, ExistingFileInAWriteProtectedProgramFolderIsStillUsed)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(beside, "[Form1\\fid]\nInteger=1\n"));
    protectBin();
    EXPECT_EQ(settingsFilePath(program, config), beside);
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_saved = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_saved)
            qputenv(m_name, *m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_saved;
};

TEST(UserConfigHome, FollowsXdgConfigHomeWhenAbsolute)
{
    const QString fallback = QDir::homePath() + QStringLiteral("/.config");
    {
        const ScopedEnv env("XDG_CONFIG_HOME", QByteArray("/srv/conf"));
        EXPECT_EQ(velmor::userConfigHome(), QStringLiteral("/srv/conf"));
    }
    {
        const ScopedEnv env("XDG_CONFIG_HOME", QByteArray("relative/conf"));
        EXPECT_EQ(velmor::userConfigHome(), fallback);
    }
    {
        const ScopedEnv env("XDG_CONFIG_HOME", QByteArray(""));
        EXPECT_EQ(velmor::userConfigHome(), fallback);
    }
    {
        const ScopedEnv env("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(velmor::userConfigHome(), fallback);
    }
}

TEST(SettingsFilePath, RunningProgramUsesItsOwnPath)
{
    const QString beside = iniPathBesideProgram(QCoreApplication::applicationFilePath());
    const ScopedEnv env("XDG_CONFIG_HOME", QByteArray("/nonexistent/conf"));
    const QString path = settingsFilePath();
    EXPECT_TRUE(path == beside || path == QStringLiteral("/nonexistent/conf/velmor/velmor.ini")) << path.toStdString();
}

} // namespace
