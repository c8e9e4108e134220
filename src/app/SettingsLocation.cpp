#include "app/SettingsLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velmor {

QString iniPathBesideProgram(const QString& programPath)
{
    const qsizetype nameStart = programPath.lastIndexOf(u'/') + 1;
    const qsizetype dot = programPath.lastIndexOf(u'.');
    const QString stem = dot >= nameStart ? programPath.first(dot) : programPath;
    return stem + QStringLiteral(".ini");
}

QString userConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString settingsFilePath(const QString& programPath, const QString& configHome)
{
    const QString inConfig = configHome + QStringLiteral("/velmor/velmor.ini");
    // A program installed under /usr belongs to the package manager and to every user: settings
    // written there (by root, who may write anywhere) would be one user's, shared by all, and
    // left behind when the package is removed.
    if (QDir::cleanPath(programPath).startsWith(QStringLiteral("/usr/")))
        return inConfig;
    const QString beside = iniPathBesideProgram(programPath);
    const QFileInfo folder(QFileInfo(beside).absolutePath());
    if (QFileInfo::exists(beside) || (folder.isDir() && folder.isWritable()))
        return beside;
    return inConfig;
}

QString settingsFilePath() { return settingsFilePath(QCoreApplication::applicationFilePath(), userConfigHome()); }

QString pronunciationRulesPath(const QString& settingsFile)
{
    return QFileInfo(settingsFile).absolutePath() + QStringLiteral("/pronunciation-rules.tsv");
}

QString pronunciationRulesPath() { return pronunciationRulesPath(settingsFilePath()); }

} // namespace velmor
