#pragma once

#include "speech/SpeechEngine.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// Records every call in order and fires the notifications only when a test asks. It also keeps
// what a real engine holds (the texts queued and not yet started, the one being spoken, a pause),
// so that startNext() and finishCurrent() send only what the real engine would.
class FakeSpeechEngine : public velmor::SpeechEngine {
    Q_OBJECT
public:
    explicit FakeSpeechEngine(int modeCount = 2, QObject* parent = nullptr);

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
    bool isSilent() const override { return m_silent; }
    void setSpeed(int wordsPerMinute) override;
    void setMaxSpeed(int wordsPerMinute) override;
    void setMinSpeed(int wordsPerMinute) override;
    void setAutoLanguage(bool on) override { autoLanguage = on; }
    void setPronunciationRules(std::shared_ptr<const velmor::PronunciationRules> given) override { rules = std::move(given); }
    // Kept for the test to feed: nothing is synthesized.
    void record(const QString& text, std::shared_ptr<velmor::SpeechSink> sink) override;
    // Prepared as a real engine prepares it (the rules given, then the language steps), each
    // passage named by its language.
    std::vector<velmor::VoicePassage> passagesOf(const QString& text) const override;
    QByteArray voiceLanguageOf(int mode) const override { return languages.value(mode - 1, QByteArrayLiteral("en")); }
    // A system voice's: refused for recording.
    bool canRecord() const override { return !unrecordable.contains(selectedMode); }

    struct Recording {
        QString text;
        std::shared_ptr<velmor::SpeechSink> sink;
    };
    std::vector<Recording> recordings;

    // Each call as "Name" or "Name:argument", in the order made.
    QStringList calls;
    // The texts handed to SpeakText, in order; a text handed in two parts is one entry.
    QStringList spoken;
    QStringList modeNames;
    QStringList speakers;
    QList<QByteArray> languages; // of each mode; "en" when not given
    QList<int> unrecordable;     // modes whose voices cannot be recorded
    int selectedMode = 1;
    int speed = 0;
    int maxSpeed = 0;
    int minSpeed = 0;
    bool autoLanguage = false;
    std::shared_ptr<const velmor::PronunciationRules> rules;
    // When set, the next call throws this message as a SpeechError.
    QString failNext;

    // The recorded calls whose names are among the given ones, in order ("SpeakText", "Speed").
    QStringList callsOf(const QStringList& names) const;

    // Send a notification whatever the engine holds (a stray one); they keep the model in step.
    void fireStarted();
    void fireDone();
    void clear() { calls.clear(); spoken.clear(); }

    // Texts queued and not yet started; ResetAudio empties it. A text whose rest has not come
    // yet holds its first part.
    QStringList queued;
    // A text was reported started and not yet done; ResetAudio drops it, reporting the discard
    // and never its done.
    bool speaking = false;
    // Between PauseAudio and ResumeAudio (or ResetAudio): nothing starts or ends.
    bool paused = false;
    // The engine's own progress: start the next queued text once the one being spoken is done,
    // or end the one being spoken. Each returns false, sending nothing, when it cannot.
    bool startNext();
    bool finishCurrent();
    // The text startNext() started last: the one being spoken while `speaking`.
    QString current;
    // Reports a word of the text being spoken as heard, at its offset in the whole text and
    // naming the part it is in, as the real engine does; false, sending nothing, when none is
    // being spoken or speech is paused.
    bool hearWord(int offset, int length);
    // Loses or finds the sound device, as the real engine reports it.
    void setSilent(bool silent);

private:
    void record(const QString& call);

    bool m_silent = false;
    // The parts of each queued text and of the current one, as handed over.
    QList<QStringList> m_queuedParts;
    QStringList m_currentParts;
    // Where the text whose rest has not come yet is: its index in queued, -1 once it is current.
    std::optional<qsizetype> m_openText;
};
