#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace velmor {

enum class VoiceGender { Unknown, Male, Female };

// A language tag a voice speaks, with espeak-ng's priority for it (lower is preferred).
struct VoiceLanguage {
    QByteArray tag; // lower case, e.g. "en-gb"
    int priority = 5;
};

// An espeak-ng voice as the library lists it.
struct InstalledVoice {
    QByteArray identifier; // voice file path below espeak-ng-data/voices, e.g. "gmw/en-US"
    QString name;          // e.g. "English (America)"
    std::vector<VoiceLanguage> languages;
    VoiceGender gender = VoiceGender::Unknown; // of the voice's own sound
};

// One selectable speech mode: a voice, optionally with a variant, and how the user sees it.
struct VoiceMode {
    QByteArray voice;
    QByteArray variant; // variant file name such as "f3"; empty for the voice's own sound
    QString name;
    QString speaker;

    // The argument for espeak_SetVoiceByName.
    QByteArray voiceName() const { return variant.isEmpty() ? voice : voice + '+' + variant; }
};

// The variants that give the named speakers their female and male sound.
inline const QByteArray kFemaleVariant = QByteArrayLiteral("f3");
inline const QByteArray kMaleVariant = QByteArrayLiteral("m3");

// The modes offered for the installed voices and variant file names, in the order they are
// numbered from 1. First a female and a male mode with a named speaker for each of eleven
// languages (English US and UK, Japanese, Korean, French, German, Dutch, Brazilian Portuguese,
// Russian, Spanish, Italian), then one mode in its own sound for every other voice, with the
// language as the speaker. A language or variant that is not installed gives no mode.
// Every name is "Female ..." or "Male ..." and at most 20 bytes in code page 932; no speaker
// but "Veronique" starts with "V", and every name and speaker is plain ASCII when the voice
// names are in Latin letters.
// The voice espeak-ng prefers for a language tag such as "ja": the lowest priority, the first
// listed on a tie; null when none speaks it.
const InstalledVoice* preferredVoiceFor(const std::vector<InstalledVoice>& voices, const QByteArray& tag);

std::vector<VoiceMode> buildVoiceModes(const std::vector<InstalledVoice>& voices,
                                       const std::vector<QByteArray>& variants);

// The Flite voices built into the synthesis helper, numbered after the espeak-ng modes: their
// voice is "flite/" and the voice's name, without a variant.
std::vector<VoiceMode> builtInFliteModes();
inline bool isFliteMode(const VoiceMode& mode) { return mode.voice.startsWith("flite/"); }

} // namespace velmor
