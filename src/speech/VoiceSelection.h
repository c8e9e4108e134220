#pragma once

#include "speech/VoiceLists.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velmor {

struct FormState;
class SpeechEngine;

// JapanButton's font colour while the Naoko voice is on, and otherwise (0x00BBGGRR).
inline constexpr std::uint32_t kNaokoOnFontColor = 0x000080FF;
inline constexpr std::uint32_t kNaokoOffFontColor = 0x00B9C1D7;

// Input-method conversion modes the Naoko toggle uses.
inline constexpr int kImeHalfWidthAlphanumeric = 16;
inline constexpr int kImeFullWidthHiragana = 25;

// What one language ID shows: Label1's caption, UPanel1's caption, Label1's hint.
struct VoiceDisplay {
    QString speaker;
    QString panelCaption;
    QString hint;
    int engineMode;
};

// Entry id (counted from 1) of the voice lists, or nothing when there is no such entry.
std::optional<VoiceDisplay> voiceDisplay(const FormState& state, int id);

// The window's side of voice selection, called in the order the steps happen.
struct VoiceSelectionHooks {
    // LIDUpDown: the number it shows; setting it, which runs LIDUpDownChange whenever the
    // number shown changes; its range.
    std::function<int()> spinnerValue;
    std::function<void(int)> setSpinnerValue;
    std::function<void(int minimum, int maximum)> setSpinnerRange;
    // Label1's caption.
    std::function<void(const QString&)> showSpeaker;
    // UPanel1's caption and Label1's hint.
    std::function<void(const QString& panelCaption, const QString& hint)> showModeName;
    // SetSpeed, which reads the speaker just shown.
    std::function<void()> setSpeed;
    // Appends the listing at the end of the editor (see ListingEntry, modifiedAfterListing).
    std::function<void(const std::vector<ListingEntry>&)> writeListing;
    // JapanButton's font colour and JoyNaoko1's check mark.
    std::function<void(std::uint32_t fontColor, bool checked)> showNaoko;
    // Input method of the editor; left empty, a hook does nothing and the queries answer
    // "no" (conversion mode -1, no Japanese keyboard).
    std::function<int()> imeConversionMode{};
    std::function<bool()> japaneseKeyboard{}; // active layout name ends in "0411"
    std::function<void(int conversionMode)> openIme{};
    std::function<void()> closeIme{};
    // A one-off notice in the information panel.
    std::function<void(const QString&)> tellInPanel{};
};

// Building the voice lists and choosing among them: the language-ID spinner, "Lang ID-info"
// and the Naoko toggle.
class VoiceSelection {
public:
    VoiceSelection(FormState& state, SpeechEngine* engine, VoiceSelectionHooks hooks);

    // Start-up: builds the lists from the fModeCount modes found by the engine check
    // (listing them when ffirst), then settles the language ID.
    void buildAtStart();
    // "Lang ID-info": reads the modes afresh, rebuilds the lists, writes the listing and
    // settles the language ID. An engine that reports no modes clears fEngineOK and
    // leaves the lists as they were.
    void FLID();

    void LIDUpDownChange();
    void JapanButtonClick();

    // The language ID and system voice the settings file keeps: those of a stored voice that
    // was missing at start while its stand-in is still chosen, so that the voice is chosen
    // again once it is back; else those chosen now.
    int idToStore() const;
    QString voiceToStore() const;
    // The system voice ("System: ...") the stored language ID stood for; empty for a built-in one.
    void setStoredVoice(const QString& speaker) { m_storedVoice = speaker; }

private:
    void adopt(VoiceLists lists);
    void findStoredVoice();
    int firstIdSpeaking(const QByteArray& language) const;
    void settleLanguageId();
    void select(int id);

    FormState& m_state;
    SpeechEngine* m_engine;
    VoiceSelectionHooks m_hooks;
    QString m_storedVoice;
    // A stored voice that was missing at start: its ID and voice, kept for the settings file
    // while the voice standing in for it stays chosen.
    int m_keptId = 0;
    QString m_keptVoice;
    int m_standInId = 0;
};

} // namespace velmor
