#pragma once

#include <QString>

class QAbstractButton;
class QSpinBox;
class QTimer;

namespace velmor {

struct FormState;
class SpeechEngine;
class TRichEdit98;
class IndicatorLabel;
class WordFollower;

struct RepetitionControls {
    TRichEdit98& editor;
    IndicatorLabel& speakingMark;
    QSpinBox& repetitionSpinner;
    QAbstractButton& clipSpeechCheckBox;
    QTimer& repeatTimer;
};

// Follows the engine's start and end of each text: the speaking mark on the button bar, and
// speaking a run's text again, 200 ms after each completion, until it was spoken fRepNum times.
class Repetition {
public:
    Repetition(FormState& state, SpeechEngine* engine, RepetitionControls controls);

    void DirectSS1TextDataStarted();
    void DirectSS1TextDataDone();
    void DirectSS1TextDataDiscarded();
    void Timer1Timer();
    void RepUpDownChange();
    void OffRepButtonClick();

    // Is told of each text repeated from the document; may be null.
    void setFollower(WordFollower* follower) { m_follower = follower; }

private:
    void speakFollowed(const QString& text, int start);

    FormState& m_state;
    SpeechEngine* m_engine;
    RepetitionControls m_controls;
    WordFollower* m_follower = nullptr;
};

} // namespace velmor
