#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace velmor {

class SpeechEngine;

// Backgrounds of the two lines the voice listing writes per entry (0x00BBGGRR).
inline constexpr std::uint32_t kListingIdLineColor = 0x00D8E4EF;
inline constexpr std::uint32_t kListingModeLineColor = 0x00ECEEE6;

// The speaker-list entry that stands for every speaker whose name starts with "V".
inline const QString kVeroniqueEntry = QStringLiteral("Veronique");
// The accented name such speakers are shown with (the usual value of fVeronique).
inline const QString kVeroniqueAccented = QStringLiteral("V\u00E9ronique");

// Whether a mode is offered to the user, decided on its name in the program's code page.
// Case-sensitive: 21 bytes or more must end in "(L&H)"; 1 to 20 bytes must begin with
// "Mary", "Mike", "Fema", "Male" or "Robo"; an empty name is never offered.
bool isUsableModeName(const QByteArray& name);
bool isUsableModeName(const QString& name);

// The text as it survives a trip through the program's code page (characters without a
// form there become "?"); the voice lists hold their names in this form.
QString inCodePage(const QString& text);

// How the window shows a speaker-list entry: the "Veronique" entry with its accent.
QString displayName(const QString& speakerEntry, const QString& veronique);

struct ListingLine {
    QString text;
    std::uint32_t background; // 0x00BBGGRR
};

// The two lines written for one language ID.
struct ListingEntry {
    ListingLine idLine;   // "ID3  Naoko,"
    ListingLine modeLine; // "  Female Japanese."
    // False after a speaker starting with "V": the editor's modified state is then left as
    // the lines left it. True otherwise: the listing stops counting as an edit (see
    // modifiedAfterListing).
    bool settlesEditor;
};

struct VoiceLists {
    QStringList speakers;    // fSpeakerList
    QStringList modeNames;   // fModeNameList
    QStringList modeNumbers; // fModeNoList: engine mode numbers as decimal text
    int naokoNo = 0;         // language ID of the last "Naoko" entry; 0 when there is none
    std::vector<ListingEntry> listing; // empty unless asked for

    int count() const { return int(speakers.size()); }
};

// Reads engine modes 1..modeCount and keeps the usable ones, numbered 1, 2, 3 ... as
// language IDs. The listing is built only when withListing is set; veronique is the
// accented name it shows for "V" speakers.
VoiceLists buildVoiceLists(const SpeechEngine& engine, int modeCount, bool withListing,
                           const QString& veronique);

// The editor's modified state once the listing has been written: an entry that settles
// the editor clears the mark only when there was none before the listing, so real
// unsaved edits stay marked; lines written after the last settling entry count as an edit.
bool modifiedAfterListing(bool modifiedBefore, const std::vector<ListingEntry>& listing);

} // namespace velmor
