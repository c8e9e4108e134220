#pragma once

#include <QObject>

namespace velmor {

// What the current speech run speaks, and so what a repetition speaks again.
enum class SpeechKind {
    None,          // nothing to repeat
    WholeText,     // the editor's whole text
    CaretLine,     // the caret's line
    Selection,     // the selection, or the one spoken last
    ClipboardText, // the text last taken from the clipboard
};

// The speaking state: the current run's kind, how many times its text has been started, and
// whether speech is paused. Every change goes through these operations, so that whoever shows
// the state hears of it through changed.
class SpeakingState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    SpeechKind fSpeechKind() const { return m_speechKind; }
    int fRepCount() const { return m_repCount; }
    bool fPaused() const { return m_paused; }

    // These record what the caller did to the engine; they do not speak or silence anything.
    // A new run of the given kind, spoken once so far; a pause ends with the speech it held.
    void start(SpeechKind kind);
    void pause();
    void resume();
    // The current run is not repeated any more; a pause stays as it is. The count starts
    // again at one, as it does for every run.
    void endRun();
    // Speech was cut off: no run, no pause.
    void reset();

    // Whether a completion of the run's text is to be followed by one more speaking of it.
    bool repetitionDue(int repNum) const;
    // One more speaking of the run's text has begun; the count stops at repNum.
    void nextRepetition(int repNum);

signals:
    void changed();

private:
    void set(SpeechKind kind, int repCount, bool paused);

    SpeechKind m_speechKind = SpeechKind::None;
    int m_repCount = 1;
    bool m_paused = false;
};

} // namespace velmor
