#include "speech/SpeedOffsets.h"

#include "speech/VoiceLists.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace velmor {

namespace {

struct OffsetGroup {
    QStringList speakers;
    int offset;
};

} // namespace

int speedOffset(const QString& voiceLabel, const QString& speakerEntry)
{
    if (voiceLabel == QStringLiteral("Pierre") || speakerEntry == kVeroniqueEntry)
        return -10;
    static const std::array<OffsetGroup, 7> kGroups{{
        {{QStringLiteral("Anna"), QStringLiteral("Stefan")}, -30},
        {{QStringLiteral("Karen"), QStringLiteral("Hans"), QStringLiteral("Linda"), QStringLiteral("Alexander")}, -40},
        {{QStringLiteral("Shin-Ah"), QStringLiteral("Jun-Ho")}, -50},
        {{QStringLiteral("Juliana"), QStringLiteral("Alexandre")}, -30},
        {{QStringLiteral("Svetlana"), QStringLiteral("Boris")}, -30},
        {{QStringLiteral("Carmen"), QStringLiteral("Julio")}, -20},
        {{QStringLiteral("Barbara"), QStringLiteral("Stefano")}, 20},
    }};
    for (const OffsetGroup& group : kGroups)
        if (group.speakers.contains(voiceLabel))
            return group.offset;
    return 0;
}

int effectiveSpeed(int storedSpeed, const QString& voiceLabel, const QString& speakerEntry)
{
    return storedSpeed + speedOffset(voiceLabel, speakerEntry);
}

int speedBarPosition(int value, SpeedRange range) { return std::clamp(value, range.minimum, range.maximum); }

} // namespace velmor
