#include "speech/VoiceModes.h"

namespace velmor {

std::vector<VoiceMode> buildVoiceModes(const std::vector<InstalledVoice>& voices)
{
    std::vector<VoiceMode> modes;
    modes.reserve(voices.size());
    for (const InstalledVoice& v : voices)
        modes.push_back({v.identifier, {}, v.name, v.name});
    return modes;
}

} // namespace velmor
