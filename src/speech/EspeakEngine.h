#pragma once

#include "speech/EspeakWorker.h"
#include "speech/PcmQueue.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceModes.h"

#include <QTimer>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace velmor {

class AudioOutput;

// The speech engine built on libespeak-ng, which runs in a helper process of its own. A worker
// thread has the queued texts synthesized into a bounded PCM queue; the UI thread feeds that to the sound device and reports each text's
// start (its first samples handed to the device) and end (its last samples played).
// Without a sound device, or after losing it, a silent clock plays the part of the device; the
// device is looked for again whenever a text is queued on an idle engine, and every few seconds.
class EspeakEngine : public SpeechEngine {
    Q_OBJECT

public:
    enum class Output {
        Alsa,   // ALSA's default device, falling back to the silent clock
        Silent, // the silent clock only
    };
    // Opens the sound device, or gives null when there is none now. onFailure runs when the
    // device dies later.
    using OpenDevice = std::function<std::unique_ptr<AudioOutput>(int sampleRate, qint64 bufferBytes,
                                                                  std::function<void()> onFailure)>;

    explicit EspeakEngine(Output output, QObject* parent = nullptr);
    explicit EspeakEngine(OpenDevice deviceOpener, QObject* parent = nullptr);
    ~EspeakEngine() override;

    void SpeakText(const QString& text) override;
    void SpeakFirstPart(const QString& part) override;
    bool SpeakLastPart(const QString& part) override;
    void ResetAudio() override;
    void PauseAudio() override;
    void ResumeAudio() override;

    void SelectMode(int mode) override;
    QString ModeNameOf(int mode) const override;
    QString SpeakerOf(int mode) const override;
    int ModeCount() const override;

    void setSpeed(int wordsPerMinute) override;
    void setMaxSpeed(int wordsPerMinute) override;
    void setMinSpeed(int wordsPerMinute) override;
    void setAutoLanguage(bool on) override { m_autoLanguage = on; }
    void setPronunciationRules(std::shared_ptr<const PronunciationRules> rules) override;
    QByteArray voiceLanguage() const override { return voiceLanguageOf(m_mode); }
    QByteArray voiceLanguageOf(int mode) const override;

    void record(const QString& text, std::shared_ptr<SpeechSink> sink) override;
    int sampleRate() const override { return m_worker->sampleRate(); }
    std::vector<VoicePassage> passagesOf(const QString& text) const override;

    // Loudness (RMS, 0..1) of the sound at the current play position; 0 while paused or quiet.
    double outputLevel() const override;
    // True while the silent clock stands in for the sound device.
    bool isSilent() const override { return m_silent; }
    // Synthesizes a text at once in the selected mode and speed, past the queue and the output,
    // and tells which voice the library used; for checking the voices. It waits for the texts
    // already queued to be synthesized, so call it while nothing is being spoken.
    VoiceSample sampleSelectedVoice(const QString& text);
    // The phonemes the voices make of a text prepared as for speaking; for checking the
    // preparation. Waits like sampleSelectedVoice.
    QString phonemesOf(const QString& text);
    // The process that synthesizes now; for tests that make it fail.
    pid_t synthesisProcess() const { return m_worker->helperProcess(); }

private:
    struct Notification {
        enum class Kind { Started, Word, Done } kind;
        qint64 position;   // a word or a done is due once playback has reached this byte
        std::uint64_t textId = 0;
        WordMark word = {};
    };

    const VoiceMode& mode(int mode) const;
    QByteArray selectedVoice() const;
    SynthesisJob jobFor(const QString& text) const;
    void queue(SynthesisJob job, std::uint64_t wholeTextId, bool endsText);
    void postPump();
    void pump();
    void feedOutput();
    void queueWords(const PcmChunk& chunk, qint64 chunkPosition);
    void emitDueNotifications();
    void emitWord(const Notification& word);
    void updateTimer();
    void fallBackToSilence();
    std::unique_ptr<AudioOutput> openDevice(int sampleRate);
    void tryDevice();
    bool isIdle() const;
    qint64 playedPosition() const;
    void remember(const char* data, qint64 bytes);

    PcmQueue m_pcm;
    std::unique_ptr<EspeakWorker> m_worker;
    std::vector<VoiceMode> m_modes;
    qint64 m_bytesPerSecond = 0;
    OpenDevice m_openDevice; // empty: the silent clock only
    std::unique_ptr<AudioOutput> m_output;
    bool m_silent = false;
    QTimer m_feedTimer;
    QTimer m_deviceRetryTimer;
    std::atomic<bool> m_pumpPosted{false};

    int m_mode = 0; // 0: the library's default voice, when no mode exists
    int m_speed = 175;
    int m_maxSpeed = 0;
    int m_minSpeed = 0;
    bool m_autoLanguage = false;
    std::shared_ptr<const PronunciationRules> m_rules;
    std::future<void> m_rulesCompiling; // many rules take a while: not on the first text's way

    std::uint64_t m_generation = 0;
    std::uint64_t m_nextTextId = 1;
    std::uint64_t m_startedTextId = 0; // whole-text id of the text reported started last
    int m_textsUnfinished = 0; // queued and not yet reported done
    bool m_startReported = false; // a text was reported started and not yet done
    bool m_paused = false;
    std::optional<PcmChunk> m_chunk; // being written to the output
    qsizetype m_chunkOffset = 0;
    std::deque<Notification> m_notifications;
    // A text queued for synthesis: a whole text, or one of the two parts of a text.
    struct QueuedText {
        std::uint64_t id;          // of the synthesis job
        std::uint64_t wholeTextId; // the id of its first part; its own id for a whole text
        bool endsText;
        QString text;
    };
    // The texts queued and not yet done, in order, for their notifications.
    std::deque<QueuedText> m_texts;
    const QueuedText* queuedText(std::uint64_t id) const;
    // The first part of a text whose rest has not come yet: its job, for the rest's voice and
    // rate; texts queued meanwhile wait behind it.
    std::optional<SynthesisJob> m_openText;
    std::vector<SynthesisJob> m_heldBack;

    // Byte positions since the last reset: what went to the output, and the position the
    // current output counts as its 0 (it moves when a failed device is replaced).
    qint64 m_written = 0;
    qint64 m_outputOrigin = 0;
    // The latest samples written, indexed by sample position modulo its size.
    std::vector<qint16> m_recent;
};

} // namespace velmor
