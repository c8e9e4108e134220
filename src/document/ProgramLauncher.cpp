#include "document/ProgramLauncher.h"

#include "document/Paths.h"
#include "document/ShellLink.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace velmor {

namespace {

const QString kDesktopEntryExtension = QStringLiteral(".desktop");

// The escapes of a desktop entry's string values: \s \n \t \r and \\.
QString unescapeValue(QStringView value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            result += c;
            continue;
        }
        switch (value[++i].unicode()) {
        case u's': result += u' '; break;
        case u'n': result += u'\n'; break;
        case u't': result += u'\t'; break;
        case u'r': result += u'\r'; break;
        case u'\\': result += u'\\'; break;
        default: result += c; result += value[i]; break;
        }
    }
    return result;
}

// Splits an Exec value into arguments: blanks separate them, double quotes group them, and
// inside quotes a backslash escapes " ` $ and itself. Nothing when a quote is left open.
std::optional<QStringList> splitExec(const QString& exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size() && QStringView(u"\"`$\\").contains(exec[i + 1]))
                current += exec[++i];
            else if (c == u'"')
                quoted = false;
            else
                current += c;
        } else if (c == u' ' || c == u'\t') {
            if (inArgument)
                arguments << std::exchange(current, {});
            inArgument = false;
        } else {
            inArgument = true;
            if (c == u'"')
                quoted = true;
            else
                current += c;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArgument)
        arguments << current;
    return arguments;
}

bool isFieldCode(QStringView argument)
{
    return argument.size() == 2 && argument[0] == u'%' && QStringView(u"fFuUdDnNickvm").contains(argument[1]);
}

// Takes the field codes out: an argument that is one code goes, codes inside an argument
// vanish from it, and "%%" stands for "%".
QStringList withoutFieldCodes(const QStringList& arguments)
{
    QStringList result;
    for (const QString& argument : arguments) {
        if (isFieldCode(argument))
            continue;
        QString plain;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument[i] != u'%' || i + 1 == argument.size())
                plain += argument[i];
            else if (argument[++i] == u'%')
                plain += u'%';
        }
        result << plain;
    }
    return result;
}

} // namespace

std::optional<QStringList> desktopEntryCommand(const QString& path)
{
    if (fileExtension(path) != kDesktopEntryExtension)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString type;
    QString exec;
    bool inMainGroup = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || line.startsWith(u'#') || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(QStringView(line).mid(equals + 1).trimmed());
        if (key == QStringLiteral("Type"))
            type = value;
        else if (key == QStringLiteral("Exec"))
            exec = value;
    }
    if (type != QStringLiteral("Application"))
        return std::nullopt;
    const std::optional<QStringList> arguments = splitExec(exec);
    if (!arguments)
        return std::nullopt;
    QStringList command = withoutFieldCodes(*arguments);
    if (command.isEmpty() || command.front().isEmpty())
        return std::nullopt;
    return command;
}

std::optional<QString> droppedProgram(const QString& droppedPath)
{
    const QString path = IsLinkExt(droppedPath) ? GetLinkPath(droppedPath).path : droppedPath;
    if (path.isEmpty())
        return std::nullopt;
    if (fileExtension(path) == kDesktopEntryExtension)
        return desktopEntryCommand(path) ? std::optional(path) : std::nullopt;
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable())
        return path;
    return std::nullopt;
}

bool startProgram(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    if (fileExtension(path) == kDesktopEntryExtension) {
        const std::optional<QStringList> command = desktopEntryCommand(path);
        return command && QProcess::startDetached(command->front(), command->mid(1));
    }
    return QProcess::startDetached(path, {});
}

} // namespace velmor
