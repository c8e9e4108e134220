#include "app/CommandLine.h"

#include "app/CommandLineSpeaker.h"
#include "document/Paths.h"

#include <algorithm>

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
        else if (asksForSpeaker(arguments))
            request.action = CommandLineRequest::Action::Speak;
    }
    request.file = commandLineFile(rest);
    return request;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: velmor [FILE]\n"
        "       velmor --say TEXT | --say-file FILE [--voice VOICE] [--speed WPM] [--out AUDIO]\n"
        "       velmor --list-voices\n"
        "A text-to-speech reader with a built-in text editor.\n"
        "\n"
        "FILE is opened when its name ends in .txt, .TXT, .pas, .dpr, .dfm, .ini, .htm,\n"
        ".html or .lnk; any other argument is ignored.\n"
        "\n"
        "Options:\n"
        "  -h, --help            show this help and exit\n"
        "      --version         show the version and exit\n"
        "\n"
        "Speaking without a window:\n"
        "      --say TEXT        speak TEXT\n"
        "      --say-file FILE   speak a text file (Shift-JIS, UTF-16 or UTF-8)\n"
        "      --voice VOICE     a speaker name such as Mary or Naoko, or a mode number\n"
        "      --speed WPM       words per minute, 80 to 450\n"
        "      --out AUDIO       write the speech to AUDIO instead of playing it: WAV,\n"
        "                        FLAC, Ogg Vorbis or MP3 by its extension (.wav, .flac,\n"
        "                        .ogg, .mp3)\n"
        "      --list-voices     list the voices with their mode numbers and exit\n"
        "Exit status: 0 when all was spoken or written, 1 when a file could not be read\n"
        "or written (or no sound output was found), 2 for bad options.\n"
        "\n"
        "Keys: Ctrl+P speak all, Ctrl+B speak the caret line, Ctrl+T speak the selection,\n"
        "Ctrl+E pause or resume, Ctrl+R stop. While speaking: Alt+Right next sentence,\n"
        "Alt+Left back to the start of the sentence (to the one before within its first\n"
        "second); Alt+Down speaks from the caret to the end.\n");
}

DisplayEnvironment currentDisplayEnvironment()
{
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

namespace {

// The value of a Qt option given as "-name value" or "--name value".
std::optional<QString> optionValue(const QStringList& arguments, const QString& name)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == u'-' + name || arguments[i] == QStringLiteral("--") + name)
            return arguments[i + 1];
    }
    return std::nullopt;
}

// A platform list such as "wayland;xcb" is tried in order; options follow a ":".
bool platformNeedsDisplay(const QString& platforms)
{
    if (platforms.isEmpty())
        return true;
    const QStringList candidates = platforms.split(u';', Qt::SkipEmptyParts);
    return std::all_of(candidates.begin(), candidates.end(), [](const QString& candidate) {
        const QString name = candidate.section(u':', 0, 0).trimmed();
        return name.startsWith(QStringLiteral("xcb")) || name.startsWith(QStringLiteral("wayland"));
    });
}

} // namespace

bool displayMissing(const QStringList& arguments, const DisplayEnvironment& environment)
{
    const QString platform = optionValue(arguments, QStringLiteral("platform")).value_or(environment.platform);
    if (!platformNeedsDisplay(platform))
        return false;
    return environment.display.isEmpty() && environment.waylandDisplay.isEmpty()
        && !optionValue(arguments, QStringLiteral("display"));
}

QString missingDisplayText()
{
    return QStringLiteral("Velmor needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)\n");
}

QString versionText() { return QStringLiteral("Velmor %1\n").arg(QStringLiteral(VELMOR_VERSION)); }

} // namespace velmor
