#include "speech/Subtitles.h"

#include "document/Sentences.h"

#include <algorithm>

namespace velmor {

namespace {

qint64 millisecondsOf(qint64 sample, int sampleRate) { return sampleRate > 0 ? sample * 1000 / sampleRate : 0; }

QString srtTime(qint64 ms)
{
    return QStringLiteral("%1:%2:%3,%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// Minutes go past 59 rather than into hours, which the format has not.
QString lrcTime(qint64 ms)
{
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 10 % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

std::vector<SubtitleCue> subtitleCues(QStringView text, const std::vector<WordTime>& words, int sampleRate,
                                      qint64 totalSamples)
{
    std::vector<SubtitleCue> cues;
    const qint64 lengthMs = millisecondsOf(totalSamples, sampleRate);
    qsizetype sentenceEnd = -1;
    for (const WordTime& word : words) {
        // Words of a sentence already shown, and words the engine reports twice, add nothing.
        if (word.position < sentenceEnd || word.position >= text.size())
            continue;
        const qsizetype start = sentenceStartAt(text, word.position).value_or(word.position);
        if (start < sentenceEnd)
            continue;
        sentenceEnd = nextSentenceStart(text, word.position).value_or(text.size());
        const QString line = text.mid(start, sentenceEnd - start).toString().simplified();
        if (line.isEmpty())
            continue;
        const qint64 startMs = std::min(millisecondsOf(word.sample, sampleRate), lengthMs);
        if (!cues.empty())
            cues.back().endMs = std::max(cues.back().startMs, startMs);
        cues.push_back({startMs, lengthMs, line});
    }
    return cues;
}

QString srtText(const std::vector<SubtitleCue>& cues)
{
    QString out;
    for (std::size_t i = 0; i < cues.size(); ++i)
        out += QStringLiteral("%1\n%2 --> %3\n%4\n\n")
                   .arg(i + 1)
                   .arg(srtTime(cues[i].startMs), srtTime(cues[i].endMs), cues[i].text);
    return out;
}

QString lrcText(const std::vector<SubtitleCue>& cues, const QString& title, qint64 lengthMs)
{
    QString out;
    if (!title.isEmpty())
        out += QStringLiteral("[ti:%1]\n").arg(title.simplified());
    out += QStringLiteral("[length:%1]\n").arg(lrcTime(lengthMs).left(5));
    for (const SubtitleCue& cue : cues)
        out += QStringLiteral("[%1]%2\n").arg(lrcTime(cue.startMs), cue.text);
    return out;
}

} // namespace velmor
