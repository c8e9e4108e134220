#pragma once

#include "core/ChapterStart.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace velmor {

class SpeechEngine;

// What the command-line speaker was asked: speak or write a text, or list the voices.
struct SpeakerRequest {
    bool listVoices = false;
    std::optional<QString> text;     // --say
    std::optional<QString> textFile; // --say-file
    std::optional<QString> voice;    // --voice: a speaker name or a mode number
    std::optional<int> speed;        // --speed, words per minute
    std::optional<QString> outFile;  // --out
    std::optional<QString> rulesFile; // --rules: pronunciation rules instead of the listener's own
    bool noRules = false;             // --no-rules
    bool readings = false;           // --readings: show what the voices are given instead
    bool chapters = false;           // --chapters: one audio file per chapter
    bool subtitles = false;          // --subtitles: .srt and .lrc files beside the audio
    std::optional<QString> title;    // --title: the book's title in the tags
};

// True when an argument (arguments[0] being the program) is one of the speaker's options.
bool asksForSpeaker(const QStringList& arguments);

// The request, or the message for a bad option. Options take their value as the next argument
// or after "=".
std::variant<SpeakerRequest, QString> parseSpeakerRequest(const QStringList& arguments);

// The mode a --voice value names: a mode number, or a speaker or mode name in any case.
std::optional<int> modeNamed(const SpeechEngine& engine, const QString& voice);

// Exit statuses of the speaker.
inline constexpr int kSpeakerDone = 0;
inline constexpr int kSpeakerFailed = 1;     // a file could not be read or written, or no sound
inline constexpr int kSpeakerBadOptions = 2;

// --say-file's document (a PDF, an EPUB...) as main() has already read it.
struct SpeakerDocument {
    QString text;
    std::vector<ChapterStart> chapters;
};

// Runs the speaker without a window; needs a QCoreApplication. Messages go to stderr.
int runSpeaker(const QStringList& arguments, const std::optional<SpeakerDocument>& document = std::nullopt);

} // namespace velmor
