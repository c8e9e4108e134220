#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace velmor {

// Where a word of the text begins to be heard in a recording.
struct WordTime {
    qsizetype position = 0; // in the text, UTF-16 units
    qint64 sample = 0;      // from the start of the recording
};

// One line of subtitles: a sentence, from when its first word is heard until the next one's.
struct SubtitleCue {
    qint64 startMs = 0;
    qint64 endMs = 0;
    QString text;
};

// The sentences of text (Sentences.h) that were heard, each from its first word's time; the last
// ends with the recording (totalSamples), and none goes past it. Words must come in order of
// their sound, as the engine reports them.
std::vector<SubtitleCue> subtitleCues(QStringView text, const std::vector<WordTime>& words, int sampleRate,
                                      qint64 totalSamples);

// SubRip (.srt): numbered cues with "HH:MM:SS,mmm --> HH:MM:SS,mmm" times.
QString srtText(const std::vector<SubtitleCue>& cues);
// Synchronized lyrics (.lrc): "[MM:SS.xx]" before each line, with the title and length as tags.
QString lrcText(const std::vector<SubtitleCue>& cues, const QString& title, qint64 lengthMs);

} // namespace velmor
