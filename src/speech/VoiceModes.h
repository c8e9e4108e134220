#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace velmor {

// An espeak-ng voice as the library lists it.
struct InstalledVoice {
    QByteArray identifier; // voice file path below espeak-ng-data/voices, e.g. "gmw/en-US"
    QString name;          // e.g. "English (America)"
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

// The modes offered for the installed voices, in the order they are numbered from 1.
std::vector<VoiceMode> buildVoiceModes(const std::vector<InstalledVoice>& voices);

} // namespace velmor
