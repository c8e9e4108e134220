#pragma once

#include "speech/VoiceModes.h"
#include "speech/helper/SynthesisProtocol.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace velmor {

// The window's end of velmor-synth, the process in which espeak-ng synthesizes, so that a fault
// of the engine ends that process and not the window. Used from one thread at a time; each call
// waits for its answer. When the helper dies, or says nothing for kHangTimeoutMs while an answer
// is due (it is then killed), the call reports it; start() makes a new one.
class SynthesisHelper {
public:
    static constexpr int kHangTimeoutMs = 5000;

    struct Started {
        int sampleRate = 0;
        std::vector<InstalledVoice> voices;
        std::vector<QByteArray> variants;
    };
    enum class Outcome { Finished, Cancelled, Died };
    using Event = synthesis::SynthesisEvent;
    // Takes each piece of audio with the events that fall in it; false cancels the synthesis.
    using AudioSink = std::function<bool(const short* samples, int count, const std::vector<Event>& events)>;

    // The helper program: $VELMOR_SYNTH_HELPER, else velmor-synth beside this program or in
    // ../lib/velmor from its folder, as installed.
    static QString defaultProgram();

    explicit SynthesisHelper(QString program = defaultProgram());
    ~SynthesisHelper();
    SynthesisHelper(const SynthesisHelper&) = delete;
    SynthesisHelper& operator=(const SynthesisHelper&) = delete;

    // Starts a helper (stopping one that runs) and waits until it is ready; with listVoices it
    // also reads the installed voices. Null when it cannot run or has no usable engine.
    std::optional<Started> start(bool listVoices);
    bool isRunning() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    // Synthesizes UTF-8 text with a voice (espeak_SetVoiceByName's argument) at a rate.
    // voiceInForce receives the engine's identifier of the voice it used.
    Outcome synthesize(const QByteArray& voice, int wordsPerMinute, const QByteArray& text, const AudioSink& sink,
                       QByteArray* voiceInForce = nullptr);
    // espeak-ng's phoneme mnemonics for a text; null when the helper died.
    std::optional<QString> phonemes(const QByteArray& voice, int wordsPerMinute, const QByteArray& text);

private:
    struct Message {
        synthesis::MessageType type;
        std::vector<char> payload;
    };
    bool send(const std::vector<char>& message);
    // Sends a Synthesize or Phonemize request; its id, or 0 when the helper is gone.
    std::uint64_t request(synthesis::MessageType type, const QByteArray& voice, int wordsPerMinute, const QByteArray& text);
    // The next message; null when the helper died or hung, which stops it.
    std::optional<Message> receive();
    void stop();

    QString m_program;
    pid_t m_pid = -1;
    int m_socket = -1;
    std::uint64_t m_lastId = 0;
    std::vector<char> m_buffer;
};

} // namespace velmor
