#pragma once

#include <QString>

class QAbstractButton;
class QSpinBox;
class QTimer;

namespace velmor {

struct FormState;
class SpeakingState;
class SpeechEngine;
class TRichEdit98;
class IndicatorLabel;
class TextFeed;

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
    // feed hands the texts taken from the document to the engine; null without an engine.
    Repetition(FormState& state, SpeakingState& speaking, SpeechEngine* engine, TextFeed* feed,
               RepetitionControls controls);

    void DirectSS1TextDataStarted();
    void DirectSS1TextDataDone();
    void DirectSS1TextDataDiscarded();
    void Timer1Timer();
    void RepUpDownChange();
    void OffRepButtonClick();

private:
    FormState& m_state;
    SpeakingState& m_speaking;
    SpeechEngine* m_engine;
    TextFeed* m_feed;
    RepetitionControls m_controls;
};

} // namespace velmor
