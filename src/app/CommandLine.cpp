#include "app/CommandLine.h"

#include "app/CommandLineSpeaker.h"
#include "document/DocumentKinds.h"
#include "document/FileNames.h"
#include "document/Paths.h"

#include <algorithm>

namespace velmor {

std::optional<QString> commandLineFile(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString& first = arguments.front();
    if (mayBeReadable(first) || IsLinkExt(first))
        return first;
    return std::nullopt;
}

namespace {

// The options QApplication takes out of the arguments itself (QGuiApplication, QApplication and
// the X11 platform's), with one dash or two.
const QStringList kQtValueOptions{
    QStringLiteral("platform"),   QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),     QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("session"),          QStringLiteral("display"),
    QStringLiteral("geometry"),   QStringLiteral("title"),              QStringLiteral("icon"),
    QStringLiteral("name"),       QStringLiteral("style"),              QStringLiteral("stylesheet"),
    QStringLiteral("qmljsdebugger")};
const QStringList kQtFlags{QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                           QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("testability")};

bool isOption(const QString& argument) { return argument.size() > 1 && argument.startsWith(u'-'); }

// "-name", "--name", "-name=value" or "--name=value" without its dashes and value.
QString qtOptionName(const QString& argument)
{
    const QString bare = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
    return bare.section(u'=', 0, 0);
}

// How many arguments a Qt option takes up, itself included; 0 when it is not one of Qt's.
qsizetype qtOptionLength(const QString& argument)
{
    const QString name = qtOptionName(argument);
    if (kQtFlags.contains(name))
        return 1;
    if (!kQtValueOptions.contains(name))
        return 0;
    return argument.contains(u'=') ? 1 : 2;
}

} // namespace

QStringList commandLineArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << decodeFileName(argv[i]);
    return arguments;
}

CommandLineRequest parseCommandLine(const QStringList& arguments)
{
    using Action = CommandLineRequest::Action;
    const auto answeredAlone = [](const QString& argument) -> std::optional<Action> {
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
            return Action::PrintHelp;
        if (argument == QStringLiteral("--version"))
            return Action::PrintVersion;
        return std::nullopt;
    };
    CommandLineRequest request;
    const QStringList rest = arguments.mid(1);
    // "--help --say x" asks for the help.
    if (!rest.isEmpty() && !answeredAlone(rest.front()) && asksForSpeaker(arguments)) {
        request.action = Action::Speak;
        return request;
    }
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString& argument = rest[i];
        if (optionsEnded || !isOption(argument)) {
            files << argument;
        } else if (argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (const std::optional<Action> action = answeredAlone(argument)) {
            request.action = *action;
            return request;
        } else if (const qsizetype length = qtOptionLength(argument)) {
            i += length - 1;
        } else {
            request.action = Action::BadOption;
            request.badOption = argument;
            return request;
        }
    }
    request.file = commandLineFile(files);
    if (!files.isEmpty() && !request.file)
        request.refusedFile = files.front();
    request.extraFiles = files.mid(1);
    return request;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: velmor [FILE]\n"
        "       velmor --say TEXT | --say-file FILE [--voice VOICE] [--speed WPM] [--out AUDIO\n"
        "              [--chapters] [--subtitles] [--title TEXT]] [--rules RULES | --no-rules]\n"
        "       velmor --readings [--voice VOICE] (--say TEXT | --say-file FILE)\n"
        "       velmor --list-voices\n"
        "A text-to-speech reader with a built-in text editor.\n"
        "\n"
        "FILE is any text file (recognised by its content; Shift-JIS, UTF-16 or UTF-8),\n"
        "a .lnk shortcut, or a document: PDF, EPUB, DOCX, ODT, HTML/XHTML or Markdown,\n"
        "which opens as new, untitled text named after it, so that Save never writes\n"
        "over it. The window says so when it does not open a file named. A FILE whose\n"
        "name starts with \"-\" goes after \"--\".\n"
        "\n"
        "Options:\n"
        "  -h, --help            show this help and exit\n"
        "      --version         show the version and exit\n"
        "\n"
        "Speaking without a window:\n"
        "      --say TEXT        speak TEXT\n"
        "      --say-file FILE   speak a text file (Shift-JIS, UTF-16 or UTF-8) or a\n"
        "                        document (PDF, EPUB, DOCX, ODT, HTML, Markdown)\n"
        "      --voice VOICE     a speaker name such as Mary or Naoko, or a mode number\n"
        "      --speed WPM       words per minute, 80 to 450\n"
        "      --out AUDIO       write the speech to AUDIO instead of playing it: WAV,\n"
        "                        FLAC, Ogg Vorbis or MP3 by its extension (.wav, .flac,\n"
        "                        .ogg, .mp3); not with a system voice\n"
        "      --rules RULES     pronunciation rules from the file RULES instead of the\n"
        "                        ones set in the window\n"
        "      --no-rules        no pronunciation rules\n"
        "      --chapters        with --out, one file per chapter found from the headings\n"
        "                        (\"# Title\", \"Chapter 12\", \"第3章\", lines in capitals),\n"
        "                        named \"01 - TITLE.EXT\" in the folder of AUDIO\n"
        "      --subtitles       with --out, also write .srt and .lrc subtitles beside\n"
        "                        each audio file, one line per sentence as it is heard\n"
        "      --title TEXT      with --out, the title in the audio files' tags (else\n"
        "                        the first heading); the voice is the artist\n"
        "      --readings        show, without speaking, what each voice is given: one\n"
        "                        line per passage, the voice, a tab and the text\n"
        "                        (\\\\, \\t, \\n and \\r stand for \\, tab and line breaks)\n"
        "      --list-voices     list the voices with their mode numbers and exit; those\n"
        "                        of a running speech-dispatcher come last (\"System: ...\")\n"
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

QString badOptionText(const QString& option)
{
    return QStringLiteral("velmor: unknown option '%1'\nTry 'velmor --help' for the options.\n").arg(option);
}

QString unopenedFilesText(const CommandLineRequest& request)
{
    QStringList reports;
    if (request.refusedFile)
        reports << QStringLiteral("%1 was not opened: it is not a text file, a shortcut (.lnk) or a document "
                                  "Velmor reads (PDF, EPUB, DOCX, ODT, HTML, Markdown)")
                       .arg(*request.refusedFile);
    if (!request.extraFiles.isEmpty())
        reports << QStringLiteral("%1 %2 not opened: only the first file named is")
                       .arg(request.extraFiles.join(QStringLiteral(", ")),
                            request.extraFiles.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    return reports.isEmpty() ? QString() : u' ' + reports.join(QStringLiteral("; "));
}

} // namespace velmor
