#pragma once

#include <QPointer>

class QAbstractButton;

namespace velmor {

struct FormState;
class SpeakingState;
class SpeechEngine;
class TForm2;

struct KeyNameHelpControls {
    QAbstractButton& speechInfo;
};

// Opens the key-name window, at most one at a time, and reads its list aloud while speech
// information is on.
class KeyNameHelp {
public:
    KeyNameHelp(FormState& state, SpeakingState& speaking, SpeechEngine* engine, KeyNameHelpControls controls);
    // The window does not outlive the main window.
    ~KeyNameHelp();

    void HelpButtonClick();
    TForm2* window() const;

private:
    void FormCloseQuery();

    FormState& m_state;
    SpeakingState& m_speaking;
    SpeechEngine* m_engine;
    KeyNameHelpControls m_controls;
    QPointer<TForm2> m_form2;
};

} // namespace velmor
