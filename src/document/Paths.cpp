#include "document/Paths.h"


namespace velmor {

namespace {

const QString kEllipsisDir = QStringLiteral(".../");
const QString kRootEllipsisDir = QStringLiteral("/.../");

qsizetype fileNameStart(const QString& path) { return path.lastIndexOf(u'/') + 1; }

// Drops the first directory of dir (which ends in "/") and puts "..." in its place.
QString cutFirstDirectory(QString dir)
{
    if (dir == QStringLiteral("/"))
        return {};
    const bool rooted = dir.startsWith(u'/');
    if (rooted)
        dir.remove(0, 1);
    // Only a previous cut's ellipsis goes here: hidden directories start with "." too.
    if (dir.startsWith(kEllipsisDir))
        dir.remove(0, kEllipsisDir.size());
    const qsizetype slash = dir.indexOf(u'/');
    dir = slash < 0 ? QString() : kEllipsisDir + dir.mid(slash + 1);
    return rooted ? u'/' + dir : dir;
}

} // namespace

QString fileExtension(const QString& path)
{
    const qsizetype start = fileNameStart(path);
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < start ? QString() : path.mid(dot);
}

const QStringList& textExtensions()
{
    static const QStringList extensions = {QStringLiteral(".txt"), QStringLiteral(".TXT"), QStringLiteral(".pas"),
                                           QStringLiteral(".dpr"), QStringLiteral(".dfm"), QStringLiteral(".ini"),
                                           QStringLiteral(".htm"), QStringLiteral(".html")};
    return extensions;
}

bool IsTextExt(const QString& path)
{
    return !path.isEmpty() && textExtensions().contains(fileExtension(path), Qt::CaseSensitive);
}

bool IsLinkExt(const QString& path) { return fileExtension(path) == QStringLiteral(".lnk"); }

bool IsHangulName(const QString& path)
{
    const QStringView name = QStringView(path).mid(fileNameStart(path));
    return name.startsWith(QStringLiteral("Hg")) || name.startsWith(QStringLiteral("hg"));
}

QString ShortenPath(const QString& path, const std::function<int(const QString&)>& measure, int maxWidth)
{
    const qsizetype nameStart = fileNameStart(path);
    const QString name = path.mid(nameStart);
    QString dir = path.left(nameStart);
    QString result = path;
    while (!dir.isEmpty() && measure(result) > maxWidth) {
        dir = dir == kRootEllipsisDir ? kEllipsisDir : cutFirstDirectory(dir);
        result = dir + name;
    }
    return result;
}

} // namespace velmor
