// The window's side of listening: the clipboard, typing and the input method.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "input/EventHook.h"
#include "input/InputConcerns.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>

namespace velmor {

InputConcerns& TForm1::input() { return *m_input; }

void TForm1::createInputConcerns(std::function<std::unique_ptr<InputMethodFramework>()> findInputMethod)
{
    m_input = std::make_unique<InputConcerns>();
    auto item = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    m_input->clipboard = std::make_unique<ClipboardSpeech>(
        m_state, speakingState(), m_engine.get(),
        ClipboardControls{*RichEdit98, *ULabel98, *ClipSpeechCheckBox, *item("ClipbrdSpeech1"), *SCLCheckBox,
                          *item("toClipbrd1"), *Timer1},
        ClipboardServices{m_dialogs.showError, [this] { GetColRow(); },
                          [this](const QString& caption) { UPanel1->setCaption(caption); }},
        makeClipboardReader());
    m_input->inputMethod = std::make_unique<InputMethod>(
        *RichEdit98, findInputMethod ? std::move(findInputMethod) : InputMethod::Finder(detectInputMethodFramework));
    m_input->echo = std::make_unique<TypingEcho>(
        m_state, speakingState(), m_engine.get(),
        EchoControls{*RichEdit98, *ULabel98, *UPanel1, *WordReadCheckBox, *item("Joyful1"), *item("KeyInput"),
                     *SICheckBox},
        EchoServices{[this] { GetColRow(); }, [this] { return Label1->text(); }}, *m_input->inputMethod);
    m_input->modes = std::make_unique<InputModes>(
        m_state, *m_input->inputMethod,
        InputModes::Services{[this] { MSUIGothic1Click(); }, [this] { Hangul(); }});
}

void TForm1::connectInputHandlers()
{
    auto guardedCall = [this](auto call) { return [this, call] { runGuarded(m_dialogs.showError, call); }; };
    auto onItem = [this, &guardedCall](const char* name, auto call) {
        connect(findChild<QAction*>(QString::fromLatin1(name)), &QAction::triggered, this, guardedCall(call));
    };

    ClipboardSpeech& clipboard = *m_input->clipboard;
    clipboard.watcher().setOnChange(guardedCall([&clipboard] { clipboard.ClipboardWatcher1Change(); }));
    connect(C_MemoryButton, &QAbstractButton::clicked, this, guardedCall([&clipboard] { clipboard.C_MemoryButtonClick(); }));
    onItem("ClipbrdMemory1", [&clipboard] { clipboard.C_MemoryButtonClick(); });
    connect(ClipSpeechCheckBox, &QAbstractButton::clicked, this,
            guardedCall([&clipboard] { clipboard.ClipSpeechCheckBoxClick(); }));
    onItem("ClipbrdSpeech1", [&clipboard] { clipboard.ClipbrdSpeech1Click(); });
    connect(SCLCheckBox, &QAbstractButton::clicked, this, guardedCall([&clipboard] { clipboard.SCLCheckBoxClick(); }));
    onItem("toClipbrd1", [&clipboard] { clipboard.toClipbrd1Click(); });
    connect(RichEdit98, &TRichEdit98::mouseDown, this, [this, &clipboard](Qt::MouseButton button, bool doubleClick) {
        runGuarded(m_dialogs.showError, [&] { clipboard.RichEdit98MouseDown(button, doubleClick); });
    });
    connect(RichEdit98, &TRichEdit98::mouseUp, this, guardedCall([&clipboard] { clipboard.RichEdit98MouseUp(); }));
    new EventHook(ULabel98->viewport(), [this, &clipboard](QEvent* event) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            runGuarded(m_dialogs.showError, [&] {
                clipboard.ULabel98MouseDown(mouse->buttons(), mouse->modifiers(),
                                            event->type() == QEvent::MouseButtonDblClick);
            });
        } else if (event->type() == QEvent::MouseButtonRelease) {
            runGuarded(m_dialogs.showError, [&] { clipboard.ULabel98MouseUp(); });
        }
    });

    TypingEcho& echo = *m_input->echo;
    connect(WordReadCheckBox, &QAbstractButton::clicked, this, guardedCall([&echo] { echo.WordReadCheckBoxClick(); }));
    onItem("Joyful1", [&echo] { echo.Joyful1Click(); });
    onItem("KeyInput", [&echo] { echo.KeyInputClick(); });
    connect(RichEdit98, &TRichEdit98::characterTyped, this, [this, &echo](const QString& typed) {
        runGuarded(m_dialogs.showError, [&] { echo.RichEdit98KeyPress(typed); });
    });
    connect(RichEdit98, &TRichEdit98::keyUp, this,
            [this, &echo](int key) { runGuarded(m_dialogs.showError, [&] { echo.RichEdit98KeyUp(key); }); });
    connect(RichEdit98, &TRichEdit98::inputMethodSeen, this, [&echo](const QInputMethodEvent& event) {
        echo.inputMethodSeen(event);
    });

    InputModes& modes = *m_input->modes;
    onItem("IMEon1", [&modes] { modes.IMEon1Click(); });
    onItem("ZenHiragana1", [&modes] { modes.ZenHiragana1Click(); });
    onItem("HanEisu1", [&modes] { modes.HanEisu1Click(); });
    onItem("Straight1", [&modes] { modes.Straight1Click(); });
    onItem("Hangul1", [&modes] { modes.Hangul1Click(); });
    onItem("ReleaseHangul1", [&modes] { modes.ReleaseHangul1Click(); });
}

} // namespace velmor
