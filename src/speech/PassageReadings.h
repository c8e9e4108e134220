#pragma once

#include "speech/SpeechEngine.h"

#include <QString>
#include <vector>

namespace velmor {

// The name a mode goes by in the voice listings: its speaker (Véronique with her accent).
QString voiceLabel(const SpeechEngine& engine, int mode);

// What the voices are given, one line per passage: the voice's label (the engine's name for a
// voice no mode offers), a tab, then the text. Backslashes, tabs and line breaks in the text are
// written \\, \t, \n and \r so that every passage keeps to its line.
QString readingLines(const SpeechEngine& engine, const std::vector<VoicePassage>& passages);

} // namespace velmor
