#pragma once

#include "speech/SpeechEngine.h"

#include <QStringList>
#include <vector>

// Records every call in order and fires the notifications only when a test asks.
class FakeSpeechEngine : public velmor::SpeechEngine {
    Q_OBJECT
public:
    explicit FakeSpeechEngine(int modeCount = 2, QObject* parent = nullptr);

    void SpeakText(const QString& text) override;
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

    // Each call as "Name" or "Name:argument", in the order made.
    QStringList calls;
    // The texts handed to SpeakText, in order.
    QStringList spoken;
    QStringList modeNames;
    QStringList speakers;
    int speed = 0;
    int maxSpeed = 0;
    int minSpeed = 0;
    // When set, the next call throws this message as a SpeechError.
    QString failNext;

    // The recorded calls whose names are among the given ones, in order ("SpeakText", "Speed").
    QStringList callsOf(const QStringList& names) const;

    void fireStarted() { emit OnTextDataStarted(); }
    void fireDone() { emit OnTextDataDone(); }
    void clear() { calls.clear(); spoken.clear(); }

private:
    void record(const QString& call);
};
