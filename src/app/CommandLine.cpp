#include "app/CommandLine.h"

#include "document/Paths.h"

namespace velmor {

std::optional<QString> commandLineFile(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString& first = arguments.front();
    if (IsTextExt(first) || IsLinkExt(first))
        return first;
    return std::nullopt;
}

CommandLineRequest parseCommandLine(const QStringList& arguments)
{
    CommandLineRequest request;
    const QStringList rest = arguments.mid(1);
    if (!rest.isEmpty()) {
        if (rest.front() == QStringLiteral("--help") || rest.front() == QStringLiteral("-h"))
            request.action = CommandLineRequest::Action::PrintHelp;
        else if (rest.front() == QStringLiteral("--version"))
            request.action = CommandLineRequest::Action::PrintVersion;
    }
    request.file = commandLineFile(rest);
    return request;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: velmor [FILE]\n"
        "A text-to-speech reader with a built-in text editor.\n"
        "\n"
        "FILE is opened when its name ends in .txt, .TXT, .pas, .dpr, .dfm, .ini, .htm,\n"
        ".html or .lnk; any other argument is ignored.\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n"
        "\n"
        "Keys: Ctrl+P speak all, Ctrl+B speak the caret line, Ctrl+T speak the selection,\n"
        "Ctrl+E pause or resume, Ctrl+R stop.\n");
}

QString versionText() { return QStringLiteral("Velmor %1\n").arg(QStringLiteral(VELMOR_VERSION)); }

} // namespace velmor
