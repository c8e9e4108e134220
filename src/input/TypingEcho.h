#pragma once

#include <QString>
#include <functional>

class QAbstractButton;
class QAction;
class QInputMethodEvent;

namespace velmor {

struct FormState;
class InfoLine;
class InputMethod;
class SpeakingState;
class SpeechEngine;
class TRichEdit98;
class UPanel;

struct EchoControls {
    TRichEdit98& editor;
    InfoLine& infoLine;
    UPanel& panel;                        // UPanel1, which shows a reading
    QAbstractButton& wordReadCheckBox;    // WordReadCheckBox, "Joyful writing"
    QAction& joyfulItem;                  // Joyful1
    QAction& keyInputItem;                // KeyInput, "Read_InputKey"
    QAbstractButton& speechInfoCheckBox;  // SICheckBox
};

struct EchoServices {
    std::function<void()> caretMoved;     // GetColRow, which refreshes fRow and fCol
    std::function<QString()> currentVoice; // the speaker Label1 shows
};

// Typing read back aloud: letters as they are typed with "Joyful writing" off; with it on,
// each word at its space, the last word of a line at Enter (articles wait for the next
// word), and an input method's conversion at the Enter that confirms it.
class TypingEcho {
public:
    TypingEcho(FormState& state, SpeakingState& speaking, SpeechEngine* engine, EchoControls controls,
               EchoServices services, InputMethod& inputMethod);

    void WordReadCheckBoxClick();
    void Joyful1Click();
    void KeyInputClick();
    void RichEdit98KeyPress(const QString& typed);
    void RichEdit98KeyUp(int key);
    // Sees every input-method event before the text box applies it.
    void inputMethodSeen(const QInputMethodEvent& event);

private:
    void wordEcho();
    void lineEndEcho();
    void inputMethodEcho();
    void echoDisplay(const QString& text);
    void showInEditorFont(const QString& text, bool withBackground);
    bool japaneseVoice() const;
    bool koreanVoice() const;

    FormState& m_state;
    SpeakingState& m_speaking;
    SpeechEngine* m_engine;
    EchoControls m_controls;
    EchoServices m_services;
    InputMethod& m_inputMethod;
};

} // namespace velmor
