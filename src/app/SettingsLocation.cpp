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
    const QString beside = iniPathBesideProgram(programPath);
    const QFileInfo folder(QFileInfo(beside).absolutePath());
    if (QFileInfo::exists(beside) || (folder.isDir() && folder.isWritable()))
        return beside;
    return configHome + QStringLiteral("/velmor/velmor.ini");
}

QString settingsFilePath() { return settingsFilePath(QCoreApplication::applicationFilePath(), userConfigHome()); }

} // namespace velmor
