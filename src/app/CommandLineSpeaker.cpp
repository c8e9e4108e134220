#include "app/CommandLineSpeaker.h"

#include "app/SettingsLocation.h"

#include "core/TextLimits.h"
#include "document/TextFile.h"
#include "speech/AudioFile.h"
#include "speech/CombinedEngine.h"
#include "speech/EspeakEngine.h"
#include "speech/JapaneseReader.h"
#include "speech/PronunciationRules.h"
#include "speech/PassageReadings.h"
#include "speech/Scripts.h"
#include "speech/SpeechExport.h"
#include "speech/SpeechRecording.h"
#include "speech/SpeedOffsets.h"
#include "speech/SystemVoices.h"
#include "speech/VoiceLists.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <future>

namespace velmor {

namespace {

const QStringList kValueOptions{QStringLiteral("--say"), QStringLiteral("--say-file"), QStringLiteral("--voice"),
                                QStringLiteral("--speed"), QStringLiteral("--out"), QStringLiteral("--rules"),
                                QStringLiteral("--title")};
const QString kListVoices = QStringLiteral("--list-voices");
const QString kNoRules = QStringLiteral("--no-rules");
const QString kReadings = QStringLiteral("--readings");
const QString kChapters = QStringLiteral("--chapters");
const QString kSubtitles = QStringLiteral("--subtitles");

QString optionName(const QString& argument) { return argument.section(u'=', 0, 0); }

void printTo(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

int complain(int status, const QString& message)
{
    printTo(stderr, QStringLiteral("velmor: %1\n").arg(message));
    if (status == kSpeakerBadOptions)
        printTo(stderr, QStringLiteral("Try 'velmor --help' for the options.\n"));
    return status;
}

// The recording a signal handler cancels, so that an interrupted write leaves no file.
std::atomic<AudioFileRecording*> g_interruptible{nullptr};

extern "C" void cancelRecording(int)
{
    if (AudioFileRecording* recording = g_interruptible.load())
        recording->cancel();
}

bool holdsKanji(QStringView text)
{
    for (int at = 0; at < text.size(); at = codePointAt(text, at).next)
        if (scriptOf(codePointAt(text, at).value) == Script::Han)
            return true;
    return false;
}

int listVoices(const SpeechEngine& engine)
{
    for (int mode = 1; mode <= engine.ModeCount(); ++mode)
        printTo(stdout, QStringLiteral("%1  %2 %3\n").arg(mode, 3).arg(voiceLabel(engine, mode), -12).arg(engine.ModeNameOf(mode)));
    return kSpeakerDone;
}

// One file of an export; an interruption leaves that file unwritten and stops the export.
int writeSpeech(SpeechEngine& engine, const SpeechExportPiece& piece, bool subtitles)
{
    std::shared_ptr<AudioFileRecording> recording;
    try {
        recording = std::make_shared<AudioFileRecording>(piece.path, engine.sampleRate(), piece.text.size(),
                                                         std::function<void()>{},
                                                         RecordingExtras{piece.tags, subtitles ? piece.text : QString()});
    } catch (const AudioFileError& error) {
        return complain(kSpeakerFailed, error.message());
    }
    g_interruptible = recording.get();
    const auto previousInterrupt = std::signal(SIGINT, cancelRecording);
    const auto previousTerminate = std::signal(SIGTERM, cancelRecording);
    engine.record(piece.text, recording);
    const AudioFileRecording::State state = recording->wait();
    std::signal(SIGINT, previousInterrupt);
    std::signal(SIGTERM, previousTerminate);
    g_interruptible = nullptr;
    switch (state) {
    case AudioFileRecording::State::Written:
        return kSpeakerDone;
    case AudioFileRecording::State::Cancelled:
        return complain(kSpeakerFailed, QStringLiteral("interrupted; %1 was not written").arg(piece.path));
    default:
        return complain(kSpeakerFailed, recording->error());
    }
}

int exportSpeech(SpeechEngine& engine, const QString& text, const std::vector<ChapterStart>& chapters,
                 const SpeakerRequest& request, const QString& voice)
{
    const std::vector<SpeechExportPiece> pieces = speechExportPieces(
        {text, *request.outFile, request.chapters, request.title.value_or(QString()), voice, chapters});
    for (const SpeechExportPiece& piece : pieces) {
        // Each chapter on the text's own terms: one with nothing to say is left out.
        if (piece.text.trimmed().isEmpty() && pieces.size() > 1)
            continue;
        if (const int status = writeSpeech(engine, piece, request.subtitles); status != kSpeakerDone)
            return status;
    }
    return kSpeakerDone;
}

int speakAloud(SpeechEngine& engine, const QString& text)
{
    if (engine.isSilent())
        return complain(kSpeakerFailed, QStringLiteral("no sound output to speak on; --out FILE writes the speech to a file"));
    int status = kSpeakerDone;
    QObject::connect(&engine, &SpeechEngine::OnTextDataDone, qApp, [] { QCoreApplication::exit(kSpeakerDone); });
    QObject::connect(&engine, &SpeechEngine::OnEngineFault, qApp, [&status] {
        status = complain(kSpeakerFailed, QStringLiteral("the speech engine stopped on this text"));
        QCoreApplication::exit(status);
    });
    QObject::connect(&engine, &SpeechEngine::OnOutputChanged, qApp, [&engine, &status] {
        if (engine.isSilent()) {
            status = complain(kSpeakerFailed, QStringLiteral("the sound output was lost"));
            QCoreApplication::exit(status);
        }
    });
    engine.SpeakText(text);
    QCoreApplication::exec();
    return status;
}

// The rules the request asks for: its file, none, or the listener's own. A problem line is
// reported and skipped; a named file that cannot be read is an error.
std::variant<std::shared_ptr<const PronunciationRules>, QString> rulesFor(const SpeakerRequest& request)
{
    if (request.noRules)
        return std::shared_ptr<const PronunciationRules>();
    const QString path = request.rulesFile.value_or(pronunciationRulesPath());
    if (request.rulesFile && !QFileInfo::exists(path))
        return QStringLiteral("no rules file '%1'").arg(path);
    ParsedRules parsed;
    try {
        parsed = readRulesFile(path);
    } catch (const FileError& error) {
        return error.message();
    }
    for (const RuleProblem& problem : parsed.problems)
        printTo(stderr, QStringLiteral("velmor: %1:%2: %3; the rule is not used\n").arg(path).arg(problem.line).arg(problem.message));
    return std::make_shared<const PronunciationRules>(std::move(parsed.rules));
}

} // namespace

bool asksForSpeaker(const QStringList& arguments)
{
    // After "--" every argument is a file, whatever it looks like.
    const auto first = arguments.begin() + std::min<qsizetype>(1, arguments.size());
    const auto files = std::find(first, arguments.end(), QStringLiteral("--"));
    return std::any_of(first, files, [](const QString& argument) {
        return QStringList{kListVoices, kReadings, kNoRules, kChapters, kSubtitles}.contains(argument)
            || kValueOptions.contains(optionName(argument));
    });
}

std::variant<SpeakerRequest, QString> parseSpeakerRequest(const QStringList& arguments)
{
    SpeakerRequest request;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == kListVoices) {
            request.listVoices = true;
            continue;
        }
        if (argument == kNoRules) {
            request.noRules = true;
            continue;
        }
        if (argument == kReadings) {
            request.readings = true;
            continue;
        }
        if (argument == kChapters || argument == kSubtitles) {
            (argument == kChapters ? request.chapters : request.subtitles) = true;
            continue;
        }
        const QString name = optionName(argument);
        if (!kValueOptions.contains(name))
            return QStringLiteral("unknown option or argument '%1'").arg(argument);
        QString value;
        if (argument.size() > name.size()) {
            value = argument.mid(name.size() + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return QStringLiteral("%1 needs a value").arg(name);
        }
        if (name == u"--say") {
            request.text = value;
        } else if (name == u"--say-file") {
            request.textFile = value;
        } else if (name == u"--rules") {
            request.rulesFile = value;
        } else if (name == u"--title") {
            request.title = value;
        } else if (name == u"--voice") {
            request.voice = value;
        } else if (name == u"--out") {
            if (!audioFileTypeFor(value))
                return QStringLiteral("--out needs a file name ending in %1").arg(audioFileExtensions());
            request.outFile = value;
        } else {
            bool number = false;
            const int speed = value.toInt(&number);
            if (!number || speed < kSlowestSpeed || speed > kFastestSpeed)
                return QStringLiteral("--speed needs words per minute from %1 to %2").arg(kSlowestSpeed).arg(kFastestSpeed);
            request.speed = speed;
        }
    }
    const bool hasText = request.text || request.textFile;
    if (request.text && request.textFile)
        return QStringLiteral("give either --say or --say-file, not both");
    if (request.rulesFile && request.noRules)
        return QStringLiteral("give either --rules or --no-rules, not both");
    if (request.listVoices && hasText)
        return QStringLiteral("--list-voices takes no text");
    if (request.readings && (request.listVoices || request.outFile))
        return QStringLiteral("--readings shows a text's readings and goes with neither --list-voices nor --out");
    if ((request.chapters || request.subtitles || request.title) && !request.outFile)
        return QStringLiteral("--chapters, --subtitles and --title go with --out");
    if (!request.listVoices && !hasText)
        return QStringLiteral("nothing to say: give --say TEXT or --say-file FILE");
    return request;
}

std::optional<int> modeNamed(const SpeechEngine& engine, const QString& voice)
{
    bool isNumber = false;
    const int number = voice.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= engine.ModeCount() ? std::optional(number) : std::nullopt;
    for (int mode = 1; mode <= engine.ModeCount(); ++mode) {
        if (engine.SpeakerOf(mode).compare(voice, Qt::CaseInsensitive) == 0
            || voiceLabel(engine, mode).compare(voice, Qt::CaseInsensitive) == 0
            || engine.ModeNameOf(mode).compare(voice, Qt::CaseInsensitive) == 0)
            return mode;
    }
    return std::nullopt;
}

int runSpeaker(const QStringList& arguments, const std::optional<SpeakerDocument>& document)
{
    const std::variant<SpeakerRequest, QString> parsed = parseSpeakerRequest(arguments);
    if (const QString* message = std::get_if<QString>(&parsed))
        return complain(kSpeakerBadOptions, *message);
    const SpeakerRequest& request = std::get<SpeakerRequest>(parsed);

    QString text;
    if (document) {
        text = document->text;
    } else if (request.textFile) {
        try {
            text = readTextFile(*request.textFile, kMaxTextLength).text;
        } catch (const FileError& error) {
            return complain(kSpeakerFailed, error.message());
        }
    } else if (request.text) {
        text = *request.text;
    }
    // Kanji are read through MeCab, whose dictionary takes as long to open as the synthesis
    // helper to start: both happen at once.
    std::future<void> dictionary;
    if (holdsKanji(text))
        dictionary = std::async(std::launch::async, [] { JapaneseReader::system(); });
    // A file is written past the sound device, which then is not even opened.
    const bool speaksAloud = !request.outFile && !request.listVoices && !request.readings;
    // Only a listing or a voice asked for by name waits for speech-dispatcher to list its voices.
    const auto listing = request.listVoices || request.voice ? SystemVoices::Listing::Now : SystemVoices::Listing::CachedOnly;
    CombinedEngine engine(std::make_unique<EspeakEngine>(speaksAloud ? EspeakEngine::Output::Alsa : EspeakEngine::Output::Silent),
                          SystemVoices::connect(SystemVoices::defaultCacheFile(), listing));
    if (engine.builtIn().ModeCount() == 0)
        return complain(kSpeakerFailed, QStringLiteral("espeak-ng offers no voices"));
    if (request.listVoices)
        return listVoices(engine);

    int mode = 1;
    if (request.voice) {
        const std::optional<int> named = modeNamed(engine, *request.voice);
        if (!named)
            return complain(kSpeakerBadOptions, QStringLiteral("no voice '%1' (--list-voices shows them)").arg(*request.voice));
        mode = *named;
    }
    engine.SelectMode(mode);
    const auto rules = rulesFor(request);
    if (const QString* message = std::get_if<QString>(&rules))
        return complain(kSpeakerFailed, *message);
    engine.setPronunciationRules(std::get<std::shared_ptr<const PronunciationRules>>(rules));
    engine.setSpeed(request.speed.value_or(effectiveSpeed(kDefaultSpeed, voiceLabel(engine, mode), engine.SpeakerOf(mode))));

    if (request.readings) {
        printTo(stdout, readingLines(engine, engine.passagesOf(text)));
        return kSpeakerDone;
    }
    if (request.outFile && !engine.canRecord())
        return complain(kSpeakerFailed, unrecordableVoiceMessage(engine.SpeakerOf(mode)));
    if (request.outFile)
        return exportSpeech(engine, text, document ? document->chapters : std::vector<ChapterStart>{}, request,
                            engine.SpeakerOf(mode));
    return speakAloud(engine, text);
}

} // namespace velmor
