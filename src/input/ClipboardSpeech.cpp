#include "input/ClipboardSpeech.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "input/TextTrim.h"
#include "speech/SpeechEngine.h"
#include "widgets/Bgr.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractButton>
#include <QAction>
#include <QTimer>

namespace velmor {

QString clipboardCutCaption()
{
    return QStringLiteral(" The clipboard text was cut to its first %1 characters").arg(kLongestClipboardText);
}

ClipboardSpeech::ClipboardSpeech(FormState& state, SpeakingState& speaking, SpeechEngine* engine,
                                 ClipboardControls controls, ClipboardServices services,
                                 std::unique_ptr<ClipboardReader> reader)
    : m_state(state)
    , m_speaking(speaking)
    , m_engine(engine)
    , m_controls(controls)
    , m_services(std::move(services))
    , m_reader(std::move(reader))
    , m_watcher(nullptr)
{
    // The watcher listens exactly while the check box is on, whoever sets it: a click, the
    // menu item or the settings read at start-up.
    m_watcher.setEnabled(controls.clipSpeechCheckBox.isChecked());
    QObject::connect(&controls.clipSpeechCheckBox, &QAbstractButton::toggled, &m_watcher,
                     &TClipboardWatcher::setEnabled);
}

ClipboardSpeech::~ClipboardSpeech() = default;

void ClipboardSpeech::ClipboardWatcher1Change()
{
    m_restPending = false;
    m_reader->read([this](const ClipboardReading& reading) { received(reading); });
}

void ClipboardSpeech::received(const ClipboardReading& reading)
{
    switch (reading.outcome) {
    case ClipboardReading::Outcome::NoText:
        return;
    case ClipboardReading::Outcome::Failed:
        m_services.showError(QStringLiteral("クリップボードを開くことができません"));
        return;
    case ClipboardReading::Outcome::Beginning:
        m_state.fClipText = reading.text;
        speakClipText();
        m_restPending = true;
        return;
    case ClipboardReading::Outcome::Whole:
        break;
    }
    if (reading.cut)
        m_services.showPanelCaption(clipboardCutCaption());
    m_state.fClipText = reading.text;
    if (!std::exchange(m_restPending, false)) {
        speakClipText();
        return;
    }
    // The rest follows the beginning without a break, unless something else was spoken since.
    if (m_speaking.fSpeechKind() == SpeechKind::ClipboardText && m_engine)
        m_engine->SpeakText(reading.rest);
}

void ClipboardSpeech::speakClipText()
{
    m_controls.infoLine.showText(m_state.fClipText);
    m_speaking.start(SpeechKind::ClipboardText);
    if (!m_engine)
        return;
    m_engine->ResetAudio();
    m_engine->SpeakText(m_state.fClipText);
}

void ClipboardSpeech::C_MemoryButtonClick()
{
    if (!m_state.fEngineOK || !m_controls.clipSpeechCheckBox.isChecked() || m_state.fClipText.isEmpty())
        return;
    speakClipText();
}

// Switching clipboard speech off silences whatever is spoken, not only the clipboard, and
// cancels a pending repetition.
void ClipboardSpeech::stopSpeaking()
{
    if (m_engine)
        m_engine->ResetAudio();
    m_speaking.reset();
    m_controls.repeatTimer.stop();
}

void ClipboardSpeech::ClipSpeechCheckBoxClick()
{
    const bool on = m_controls.clipSpeechCheckBox.isChecked();
    m_controls.clipSpeechItem.setChecked(on);
    if (!on)
        stopSpeaking();
}

// The item has already toggled its check mark when this runs.
void ClipboardSpeech::ClipbrdSpeech1Click()
{
    const bool on = m_controls.clipSpeechItem.isChecked();
    m_controls.clipSpeechCheckBox.setChecked(on);
    if (!on)
        stopSpeaking();
}

void ClipboardSpeech::SCLCheckBoxClick() { m_controls.toClipItem.setChecked(m_controls.toClipCheckBox.isChecked()); }

// The item has already toggled its check mark when this runs.
void ClipboardSpeech::toClipbrd1Click() { m_controls.toClipCheckBox.setChecked(m_controls.toClipItem.isChecked()); }

void ClipboardSpeech::RichEdit98MouseDown(Qt::MouseButton button, bool doubleClick)
{
    m_services.caretMoved();
    TRichEdit98& editor = m_controls.editor;
    if (!m_controls.toClipCheckBox.isChecked() || !doubleClick || button != Qt::LeftButton || editor.selLength() == 0)
        return;
    const QString word = trimEnd(editor.selText());
    if (word.isEmpty())
        return;
    m_controls.infoLine.showText(word, editor.font().family());
    editor.setBackgroundColor(colorFromBgr(m_state.fBGColor));
    editor.copy();
    if (m_controls.clipSpeechCheckBox.isChecked())
        return; // the copy is a clipboard change, which shows and speaks it
    m_speaking.reset();
    if (!m_engine)
        return;
    m_engine->ResetAudio();
    m_engine->SpeakText(editor.selText());
}

void ClipboardSpeech::RichEdit98MouseUp()
{
    m_services.caretMoved();
    const QTextCharFormat format = m_controls.editor.textCursor().charFormat();
    const QStringList families = format.fontFamilies().toStringList();
    m_services.showPanelCaption(u' ' + (families.isEmpty() ? m_controls.editor.font().family() : families.first()));
}

// A plain left click hides the info line's text (drawn in the panel's colour) or shows it again.
void ClipboardSpeech::ULabel98MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, bool doubleClick)
{
    m_controls.editor.setFocus();
    if (buttons != Qt::LeftButton || modifiers != Qt::NoModifier || doubleClick)
        return;
    InfoLine& infoLine = m_controls.infoLine;
    const QColor panel = colorFromBgr(m_state.fPColor);
    infoLine.setTextColor(infoLine.textColor() == panel ? QColor(Qt::black) : panel);
}

void ClipboardSpeech::ULabel98MouseUp() { m_controls.editor.setFocus(); }

} // namespace velmor
