// The window's side of listening: the clipboard.
#include "app/ErrorBox.h"
#include "app/TForm1.h"
#include "input/EventHook.h"
#include "input/InputConcerns.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QMouseEvent>

namespace velmor {

InputConcerns& TForm1::input() { return *m_input; }

void TForm1::createInputConcerns()
{
    m_input = std::make_unique<InputConcerns>();
    auto item = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    m_input->clipboard = std::make_unique<ClipboardSpeech>(
        m_state, m_engine.get(),
        ClipboardControls{*RichEdit98, *ULabel98, *ClipSpeechCheckBox, *item("ClipbrdSpeech1"), *SCLCheckBox,
                          *item("toClipbrd1"), *PauseButton, *Timer1},
        ClipboardServices{m_dialogs.showError, [this] { GetColRow(); },
                          [this](const QString& caption) { UPanel1->setCaption(caption); }},
        makeClipboardReader());
}

void TForm1::connectInputHandlers()
{
    ClipboardSpeech& clipboard = *m_input->clipboard;
    auto guardedCall = [this](auto call) { return [this, call] { runGuarded(m_dialogs.showError, call); }; };
    clipboard.watcher().setOnChange(guardedCall([&clipboard] { clipboard.ClipboardWatcher1Change(); }));
    connect(C_MemoryButton, &QAbstractButton::clicked, this, guardedCall([&clipboard] { clipboard.C_MemoryButtonClick(); }));
    connect(findChild<QAction*>(QStringLiteral("ClipbrdMemory1")), &QAction::triggered, this,
            guardedCall([&clipboard] { clipboard.C_MemoryButtonClick(); }));
    connect(ClipSpeechCheckBox, &QAbstractButton::clicked, this,
            guardedCall([&clipboard] { clipboard.ClipSpeechCheckBoxClick(); }));
    connect(findChild<QAction*>(QStringLiteral("ClipbrdSpeech1")), &QAction::triggered, this,
            guardedCall([&clipboard] { clipboard.ClipbrdSpeech1Click(); }));
    connect(SCLCheckBox, &QAbstractButton::clicked, this, guardedCall([&clipboard] { clipboard.SCLCheckBoxClick(); }));
    connect(findChild<QAction*>(QStringLiteral("toClipbrd1")), &QAction::triggered, this,
            guardedCall([&clipboard] { clipboard.toClipbrd1Click(); }));
    connect(RichEdit98, &TRichEdit98::mouseDown, this, [this, &clipboard](Qt::MouseButton button, bool doubleClick) {
        runGuarded(m_dialogs.showError, [&] { clipboard.RichEdit98MouseDown(button, doubleClick); });
    });
    connect(RichEdit98, &TRichEdit98::mouseUp, this, guardedCall([&clipboard] { clipboard.RichEdit98MouseUp(); }));
    new EventHook(ULabel98->viewport(), [this, &clipboard](QEvent* event) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            runGuarded(m_dialogs.showError, [&] {
                clipboard.ULabel98MouseDown(mouse->buttons(), mouse->modifiers(),
                                            event->type() == QEvent::MouseButtonDblClick);
            });
        else if (event->type() == QEvent::MouseButtonRelease)
            runGuarded(m_dialogs.showError, [&] { clipboard.ULabel98MouseUp(); });
    });
}

} // namespace velmor
