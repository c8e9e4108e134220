#pragma once

#include <QPointer>

class QAbstractButton;

namespace velmor {

struct FormState;
class FlatButton;
class SpeechEngine;
class TForm2;

struct KeyNameHelpControls {
    QAbstractButton& speechInfo;
    FlatButton& pauseButton;
};

// Opens the key-name window, at most one at a time, and reads its list aloud while speech
// information is on.
class KeyNameHelp {
public:
    KeyNameHelp(FormState& state, SpeechEngine* engine, KeyNameHelpControls controls);
    // The window does not outlive the main window.
    ~KeyNameHelp();

    void HelpButtonClick();
    TForm2* window() const;

private:
    void FormCloseQuery();

    FormState& m_state;
    SpeechEngine* m_engine;
    KeyNameHelpControls m_controls;
    QPointer<TForm2> m_form2;
};

} // namespace velmor
