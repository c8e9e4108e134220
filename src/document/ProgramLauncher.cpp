#include "document/ProgramLauncher.h"

#include "document/FileNames.h"
#include "document/Paths.h"
#include "document/ShellLink.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

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

bool holdsControlCharacter(QStringView text)
{
    return std::ranges::any_of(text, [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

// A name Qt can pass to the system unchanged: no bytes kept from a name that is not UTF-8.
bool isTextName(const QString& name) { return displayFileName(name) == name; }

bool isExecutableFile(const QString& path)
{
    const QByteArray name = encodeFileName(path);
    struct stat status {};
    return ::stat(name.constData(), &status) == 0 && S_ISREG(status.st_mode) && ::access(name.constData(), X_OK) == 0;
}

QString refusedName(const QString& path)
{
    return QStringLiteral("The name of %1 holds a line break or another control character, so it was not taken as a "
                          "dictionary program.")
        .arg(displayFileName(path).replace(QRegularExpression(QStringLiteral("[\\p{Cc}\\x{2028}\\x{2029}]")),
                                          QStringLiteral("?")));
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

bool isTrustedDesktopEntry(const QString& path)
{
    const QByteArray name = encodeFileName(path);
    if (::access(name.constData(), X_OK) == 0)
        return true;
    char* const resolved = ::realpath(name.constData(), nullptr);
    if (!resolved)
        return false;
    const QString real = decodeFileName(resolved);
    std::free(resolved);
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && real.startsWith(canonical + u'/'))
            return true;
    }
    return false;
}

ProgramDrop droppedProgram(const QString& droppedPath)
{
    if (holdsControlCharacter(droppedPath))
        return {std::nullopt, refusedName(droppedPath)};
    const QString path = IsLinkExt(droppedPath) ? GetLinkPath(droppedPath).path : droppedPath;
    if (path.isEmpty())
        return {};
    if (holdsControlCharacter(path))
        return {std::nullopt, refusedName(path)};
    if (fileExtension(path) == kDesktopEntryExtension) {
        const std::optional<QStringList> command = desktopEntryCommand(path);
        if (!command)
            return {};
        const QString shown = displayFileName(path);
        if (!isTrustedDesktopEntry(path))
            return {std::nullopt, QStringLiteral("%1 was not taken as a dictionary program: a desktop entry starts its "
                                                 "command only when it is executable or lies in an applications "
                                                 "folder.")
                                      .arg(shown)};
        if (std::ranges::any_of(*command, holdsControlCharacter))
            return {std::nullopt, refusedName(path)};
        const QString& named = command->front();
        const QString program = named.contains(u'/') ? (isExecutableFile(named) ? named : QString())
                                                     : QStandardPaths::findExecutable(named);
        if (program.isEmpty())
            return {std::nullopt, QStringLiteral("The program %1 that %2 starts was not found.").arg(named, shown)};
        return {ProgramCommand{QFileInfo(program).absoluteFilePath(), command->mid(1)}, {}};
    }
    if (!isExecutableFile(path))
        return {};
    if (!isTextName(path))
        return {std::nullopt, QStringLiteral("%1 cannot be started as a dictionary program: its name is not UTF-8 text.")
                                  .arg(displayFileName(path))};
    return {ProgramCommand{path, {}}, {}};
}

QString commandText(const ProgramCommand& command)
{
    if (command.arguments.isEmpty())
        return QFileInfo(command.program).fileName();
    return joinArguments(QStringList{command.program} + command.arguments);
}

QString joinArguments(const QStringList& arguments)
{
    QStringList quoted;
    for (const QString& argument : arguments) {
        QString escaped;
        for (const QChar c : argument) {
            if (QStringView(u"\"`$\\").contains(c))
                escaped += u'\\';
            escaped += c;
        }
        quoted << u'"' + escaped + u'"';
    }
    return quoted.join(u' ');
}

QStringList splitArguments(const QString& text) { return splitExec(text).value_or(QStringList()); }

bool startProgram(const ProgramCommand& command)
{
    return !command.program.isEmpty() && isExecutableFile(command.program)
        && QProcess::startDetached(command.program, command.arguments);
}

} // namespace velmor
