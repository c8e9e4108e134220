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
    m_input->clipboard = std::make_unique<ClipboardSpeech>(
        m_state, speakingState(), m_engine.get(),
        ClipboardControls{*RichEdit98, *ULabel98, *ClipSpeechCheckBox, action(ActionId::ClipbrdSpeech1), *SCLCheckBox,
                          action(ActionId::toClipbrd1), *Timer1},
        ClipboardServices{m_dialogs.showError, [this] { GetColRow(); },
                          [this](const QString& caption) { UPanel1->setCaption(caption); }},
        makeClipboardReader());
    m_input->inputMethod = std::make_unique<InputMethod>(
        *RichEdit98, findInputMethod ? std::move(findInputMethod) : InputMethod::Finder(detectInputMethodFramework));
    m_input->echo = std::make_unique<TypingEcho>(
        m_state, speakingState(), m_engine.get(),
        EchoControls{*RichEdit98, *ULabel98, *UPanel1, *WordReadCheckBox, action(ActionId::Joyful1), action(ActionId::KeyInput),
                     *SICheckBox},
        EchoServices{[this] { GetColRow(); }, [this] { return Label1->text(); }}, *m_input->inputMethod);
    m_input->modes = std::make_unique<InputModes>(
        m_state, *m_input->inputMethod,
        InputModes::Services{[this] { MSUIGothic1Click(); }, [this] { Hangul(); }});
    m_input->screenReaderOffer = std::make_unique<ScreenReaderOffer>(
        EchoSwitches{*ClipSpeechCheckBox, *WordReadCheckBox, *SICheckBox},
        [this](const QString& caption) { UPanel1->setCaption(caption); }, *this);
    m_input->screenReader = std::make_unique<ScreenReaderWatch>(QDBusConnection::sessionBus());
    connect(m_input->screenReader.get(), &ScreenReaderWatch::started, m_input->screenReaderOffer.get(),
            &ScreenReaderOffer::screenReaderStarted);
}

void TForm1::connectInputHandlers()
{
    auto guardedCall = [this](auto call) { return [this, call] { runGuarded(m_dialogs.showError, call); }; };
    auto onItem = [this, &guardedCall](ActionId id, auto call) {
        connect(&action(id), &QAction::triggered, this, guardedCall(call));
    };

    ClipboardSpeech& clipboard = *m_input->clipboard;
    clipboard.watcher().setOnChange(guardedCall([&clipboard] { clipboard.ClipboardWatcher1Change(); }));
    connect(C_MemoryButton, &QAbstractButton::clicked, this, guardedCall([&clipboard] { clipboard.C_MemoryButtonClick(); }));
    onItem(ActionId::ClipbrdMemory1, [&clipboard] { clipboard.C_MemoryButtonClick(); });
    connect(ClipSpeechCheckBox, &QAbstractButton::clicked, this,
            guardedCall([&clipboard] { clipboard.ClipSpeechCheckBoxClick(); }));
    onItem(ActionId::ClipbrdSpeech1, [&clipboard] { clipboard.ClipbrdSpeech1Click(); });
    connect(SCLCheckBox, &QAbstractButton::clicked, this, guardedCall([&clipboard] { clipboard.SCLCheckBoxClick(); }));
    onItem(ActionId::toClipbrd1, [&clipboard] { clipboard.toClipbrd1Click(); });
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
    onItem(ActionId::Joyful1, [&echo] { echo.Joyful1Click(); });
    onItem(ActionId::KeyInput, [&echo] { echo.KeyInputClick(); });
    connect(RichEdit98, &TRichEdit98::characterTyped, this, [this, &echo](const QString& typed) {
        runGuarded(m_dialogs.showError, [&] { echo.RichEdit98KeyPress(typed); });
    });
    connect(RichEdit98, &TRichEdit98::keyUp, this,
            [this, &echo](int key) { runGuarded(m_dialogs.showError, [&] { echo.RichEdit98KeyUp(key); }); });
    connect(RichEdit98, &TRichEdit98::inputMethodSeen, this, [&echo](const QInputMethodEvent& event) {
        echo.inputMethodSeen(event);
    });

    InputModes& modes = *m_input->modes;
    onItem(ActionId::IMEon1, [&modes] { modes.IMEon1Click(); });
    onItem(ActionId::ZenHiragana1, [&modes] { modes.ZenHiragana1Click(); });
    onItem(ActionId::HanEisu1, [&modes] { modes.HanEisu1Click(); });
    onItem(ActionId::Straight1, [&modes] { modes.Straight1Click(); });
    onItem(ActionId::Hangul1, [&modes] { modes.Hangul1Click(); });
    onItem(ActionId::ReleaseHangul1, [&modes] { modes.ReleaseHangul1Click(); });
}

} // namespace velmor
