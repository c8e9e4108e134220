#pragma once

#include "input/ClipboardReader.h"
#include "input/ClipboardWatcher.h"

#include <QString>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QTimer;

namespace velmor {

struct FormState;
class InfoLine;
class SpeakingState;
class SpeechEngine;
class TRichEdit98;

struct ClipboardControls {
    TRichEdit98& editor;
    InfoLine& infoLine;
    QAbstractButton& clipSpeechCheckBox; // ClipSpeechCheckBox
    QAction& clipSpeechItem;             // ClipbrdSpeech1
    QAbstractButton& toClipCheckBox;     // SCLCheckBox
    QAction& toClipItem;                 // toClipbrd1
    QTimer& repeatTimer;
};

struct ClipboardServices {
    std::function<void(const QString&)> showError;
    std::function<void()> caretMoved;                     // GetColRow
    std::function<void(const QString&)> showPanelCaption; // UPanel1's caption
};

// What the information panel says when clipboard text was longer than kLongestClipboardText.
QString clipboardCutCaption();

// Text put on the clipboard by any program is shown in the info line and spoken at once; the
// clipboard memory speaks it again; a double-clicked word goes to the clipboard; a click on
// the info line hides or shows its text.
class ClipboardSpeech {
public:
    ClipboardSpeech(FormState& state, SpeakingState& speaking, SpeechEngine* engine, ClipboardControls controls,
                    ClipboardServices services, std::unique_ptr<ClipboardReader> reader);
    ~ClipboardSpeech();

    TClipboardWatcher& watcher() { return m_watcher; }

    void ClipboardWatcher1Change();
    void C_MemoryButtonClick();
    void ClipSpeechCheckBoxClick();
    void ClipbrdSpeech1Click();
    void SCLCheckBoxClick();
    void toClipbrd1Click();
    void RichEdit98MouseDown(Qt::MouseButton button, bool doubleClick);
    void RichEdit98MouseUp();
    void ULabel98MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, bool doubleClick);
    void ULabel98MouseUp();

private:
    void received(const ClipboardReading& reading);
    void speakClipText();
    void stopSpeaking();

    FormState& m_state;
    SpeakingState& m_speaking;
    SpeechEngine* m_engine;
    ClipboardControls m_controls;
    ClipboardServices m_services;
    std::unique_ptr<ClipboardReader> m_reader;
    TClipboardWatcher m_watcher;
    // The beginning of a long text is being spoken and its rest is still coming.
    bool m_restPending = false;
};

} // namespace velmor
