#pragma once

// Flite's CMU voices in the synthesis helper, beside espeak-ng. A Flite voice is asked for by an
// identifier with the prefix "flite/" (such as "flite/slt"); its sound is resampled to the rate
// espeak-ng gives, so that everything past the helper takes both alike. Plain C++, no Qt.

#include "speech/helper/SynthesisProtocol.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmor::synthesis {

inline constexpr std::string_view kFliteVoicePrefix = "flite/";

inline bool isFliteVoice(std::string_view voice) { return voice.rfind(kFliteVoicePrefix, 0) == 0; }

// The words per minute at which a Flite voice speaks at its own pace.
inline constexpr int kFliteOwnRate = 175;

// Where each token lies in text, in bytes, found in order from the end of the one before; a
// token not found there is placed empty at the cursor.
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};
std::vector<TextSpan> placeTokens(std::string_view text, const std::vector<std::string>& tokens);

// Where Flite's text is cut into utterances: after each sentence, so that the first sound does
// not wait for the rest, after a clause mark 40 bytes or more into a piece, and at a blank
// before maxBytes in a sentence that runs on (before firstMaxBytes in the first one, whose whole
// utterance is made before anything is heard).
std::vector<TextSpan> utterancePieces(std::string_view text, std::size_t firstMaxBytes, std::size_t maxBytes);

class FliteSynthesizer {
public:
    // Takes audio at the output rate with the words that fall in it; false stops.
    using Sink = std::function<bool(const short* samples, std::uint32_t count, const std::vector<SynthesisEvent>& events)>;

    explicit FliteSynthesizer(int outputRate);
    ~FliteSynthesizer();
    FliteSynthesizer(const FliteSynthesizer&) = delete;
    FliteSynthesizer& operator=(const FliteSynthesizer&) = delete;

    // Whether the identifier names one of the built-in voices.
    static bool knows(std::string_view voice);

    // Synthesizes UTF-8 text; word events place the words in code points from 1, their samples
    // counted from the start of this text's sound. False when the sink stopped it.
    bool synthesize(std::string_view voice, int wordsPerMinute, std::string_view text, const Sink& sink);
    // The voice's phone names for a text, separated by blanks.
    std::string phones(std::string_view voice, std::string_view text);

private:
    struct Voices;
    std::unique_ptr<Voices> m_voices;
    int m_outputRate;
};

} // namespace velmor::synthesis
