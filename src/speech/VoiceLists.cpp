#include "speech/VoiceLists.h"

#include "document/Cp932.h"
#include "speech/SpeechEngine.h"

#include <QByteArray>
#include <array>

namespace velmor {

namespace {

constexpr qsizetype kShortNameLimit = 20;

bool startsWithV(const QString& speakerEntry) { return speakerEntry.startsWith(u'V'); }

} // namespace

bool isUsableModeName(const QByteArray& name)
{
    if (name.isEmpty())
        return false;
    if (name.size() > kShortNameLimit)
        return name.endsWith("(L&H)");
    static constexpr std::array<QByteArrayView, 5> kPrefixes{"Mary", "Mike", "Fema", "Male", "Robo"};
    for (QByteArrayView prefix : kPrefixes)
        if (name.startsWith(prefix))
            return true;
    return false;
}

bool isUsableModeName(const QString& name) { return isUsableModeName(encodeCp932(name)); }

QString inCodePage(const QString& text) { return decodeCp932(encodeCp932(text)); }

QString displayName(const QString& speakerEntry, const QString& veronique)
{
    return speakerEntry == kVeroniqueEntry ? veronique : speakerEntry;
}

VoiceLists buildVoiceLists(const SpeechEngine& engine, int modeCount, bool withListing,
                           const QString& veronique)
{
    VoiceLists lists;
    for (int n = 1; n <= modeCount; ++n) {
        const QString wideSpeaker = engine.SpeakerOf(n);
        const QString wideName = engine.ModeNameOf(n);
        const QByteArray name = encodeCp932(wideName);
        if (!isUsableModeName(name))
            continue;
        const QString speaker = inCodePage(wideSpeaker);
        const bool vSpeaker = startsWithV(speaker);
        lists.speakers << (vSpeaker ? kVeroniqueEntry : speaker);
        lists.modeNames << decodeCp932(name);
        lists.modeNumbers << QString::number(n);
        const int id = lists.count();
        if (withListing) {
            const QString shown = vSpeaker ? veronique : wideSpeaker;
            lists.listing.push_back(
                {{QStringLiteral("ID") + QString::number(id) + QStringLiteral("  ") + shown + u',',
                  kListingIdLineColor},
                 {QStringLiteral("  ") + wideName + u'.', kListingModeLineColor},
                 !vSpeaker});
        }
        if (!vSpeaker && wideSpeaker == QStringLiteral("Naoko"))
            lists.naokoNo = id;
    }
    return lists;
}

bool modifiedAfterListing(bool modifiedBefore, const std::vector<ListingEntry>& listing)
{
    // Lines written after the last settling entry are an edit of their own.
    const bool endsUnsettled = !listing.empty() && !listing.back().settlesEditor;
    return modifiedBefore || endsUnsettled;
}

} // namespace velmor
