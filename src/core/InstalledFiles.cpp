#include "core/InstalledFiles.h"

#include <QFileInfo>

namespace velmor {

QString programFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

QString companionFile(const QString& name, const QString& installedFolder)
{
    const QString folder = programFolder();
    const QString beside = folder + u'/' + name;
    if (QFileInfo::exists(beside))
        return beside;
    return QFileInfo(folder + QStringLiteral("/../") + installedFolder + u'/' + name).absoluteFilePath();
}

} // namespace velmor
