#include "speech/PassageReadings.h"

#include "speech/VoiceLists.h"

namespace velmor {

QString voiceLabel(const SpeechEngine& engine, int mode)
{
    return displayName(engine.SpeakerOf(mode), kVeroniqueAccented);
}

QString readingLines(const SpeechEngine& engine, const std::vector<VoicePassage>& passages)
{
    QString lines;
    for (const VoicePassage& passage : passages) {
        lines += passage.mode > 0 ? voiceLabel(engine, passage.mode) : passage.voice;
        lines += u'\t';
        for (const QChar c : passage.text) {
            switch (c.unicode()) {
            case u'\\': lines += QStringLiteral("\\\\"); break;
            case u'\t': lines += QStringLiteral("\\t"); break;
            case u'\n': lines += QStringLiteral("\\n"); break;
            case u'\r': lines += QStringLiteral("\\r"); break;
            default: lines += c;
            }
        }
        lines += u'\n';
    }
    return lines;
}

} // namespace velmor
