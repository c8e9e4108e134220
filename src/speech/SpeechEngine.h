#pragma once

#include <QObject>
#include "speech/SpeechSink.h"

#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

namespace velmor {

class PronunciationRules;

// A failure reported by the speech engine. Handlers let it propagate to the
// handler guard, which shows it in the application's error box.
class SpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A passage of a text as a voice is given it.
struct VoicePassage {
    int mode = 0;  // the mode whose voice reads it; 0 for a voice no mode offers
    QString voice; // the engine's own name of that voice
    QString text;  // exactly as handed to the voice
    bool operator==(const VoicePassage&) const = default;
};

// What the main window needs of a speech synthesiser. Every call is made on
// the UI thread and returns at once; the notifications arrive on the UI
// thread too, always in the order started(1), done(1), started(2), done(2)...,
// except that a reset may cut a started text off before its done.
class SpeechEngine : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~SpeechEngine() override = default;

    // Queues a text; texts queued one after another are spoken in order.
    virtual void SpeakText(const QString& text) = 0;
    // Queues the first part of a text whose rest is still being gathered. The two parts are spoken
    // as one text: one OnTextDataStarted, one OnTextDataDone after the rest, and nothing queued
    // later comes between them. A reset drops the text, rest included.
    virtual void SpeakFirstPart(const QString& part) = 0;
    // Hands over the rest of the text begun last; false, queuing nothing, when a reset dropped it.
    virtual bool SpeakLastPart(const QString& part) = 0;
    // Stops at once and discards everything queued, also while paused.
    virtual void ResetAudio() = 0;
    virtual void PauseAudio() = 0;
    virtual void ResumeAudio() = 0;

    // Modes are numbered from 1 to ModeCount().
    virtual void SelectMode(int mode) = 0;
    virtual QString ModeNameOf(int mode) const = 0;
    virtual QString SpeakerOf(int mode) const = 0;
    virtual int ModeCount() const = 0;

    // The write-only properties Speed, MaxSpeed and MinSpeed, in words per minute; they
    // apply to texts queued afterwards.
    virtual void setSpeed(int wordsPerMinute) = 0;
    virtual void setMaxSpeed(int wordsPerMinute) = 0;
    virtual void setMinSpeed(int wordsPerMinute) = 0;

    // Whether passages in a script the selected voice cannot read are spoken by a voice of their
    // language; applies to texts queued afterwards.
    virtual void setAutoLanguage(bool on) { Q_UNUSED(on); }
    // The listener's pronunciation rules, applied to every text queued afterwards; null: none.
    virtual void setPronunciationRules(std::shared_ptr<const PronunciationRules> rules) { Q_UNUSED(rules); }
    // The espeak-ng language of the voice of the selected mode, such as "en-us" or "ja".
    virtual QByteArray voiceLanguage() const { return QByteArrayLiteral("en"); }
    // The same for any mode, such as "en-us" for a voice of American English.
    virtual QByteArray voiceLanguageOf(int mode) const
    {
        Q_UNUSED(mode);
        return QByteArrayLiteral("en");
    }

    // Loudness of the sound being heard now, 0 (silence) to 1; drives the speaking mouth.
    virtual double outputLevel() const { return 0.0; }
    // True while no sound device takes the speech: it then runs on a silent clock, with its
    // notifications in time as if it were heard.
    virtual bool isSilent() const { return false; }

    // Synthesizes text in the mode and speed selected now into sink, past the sound device and
    // off the UI thread; texts queued for speaking meanwhile are spoken between parts of it.
    // An engine that cannot synthesize finishes the sink at once, incomplete.
    virtual void record(const QString& text, std::shared_ptr<SpeechSink> sink)
    {
        Q_UNUSED(text);
        sink->finish(false);
    }
    // The passages the text would be spoken as now (mode, speed and languages selected), in
    // order, without speaking: to show why a word sounds as it does.
    virtual std::vector<VoicePassage> passagesOf(const QString& text) const { return {{0, {}, text}}; }

    // Whether record() can synthesize with the voice of the selected mode; a voice that speaks
    // only through a service of the desktop cannot.
    virtual bool canRecord() const { return true; }

    // Samples per second of what record() gives.
    virtual int sampleRate() const { return 22050; }

signals:
    void OnTextDataStarted();
    void OnTextDataDone();
    // ResetAudio dropped a text that had been reported started: its OnTextDataDone never comes.
    // Sent from within ResetAudio.
    void OnTextDataDiscarded();
    // The sound device was lost or found again; isSilent() tells which.
    void OnOutputChanged();
    // The synthesiser failed on a passage and was started anew; speech went on after it.
    void OnEngineFault();
    // A word of a queued text is heard: its first sound is playing now. text is the string that
    // was given to SpeakText, SpeakFirstPart or SpeakLastPart, the part the word is in (shared,
    // not copied, so a caller can tell its own texts by their data); offset and length count
    // UTF-16 units within it. Sent between the text's OnTextDataStarted and OnTextDataDone,
    // never while paused.
    void OnWordHeard(const QString& text, int offset, int length);
};

} // namespace velmor
