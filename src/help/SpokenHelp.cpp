#include "help/SpokenHelp.h"

#include "core/FormState.h"
#include "document/EditorLines.h"
#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QSpinBox>

namespace velmor {

namespace {

// The volume track bar runs to 65535; the help says it in hundredths.
constexpr int kVolumeStepsPerPercent = 655;

QString onOff(bool on, const char* onText, const char* offText)
{
    return QString::fromLatin1(on ? onText : offText);
}

} // namespace

SpokenHelp::SpokenHelp(FormState& state, SpeechEngine* engine, SpokenHelpControls controls)
    : m_state(state), m_engine(engine), m_controls(controls)
{
}

void SpokenHelp::speak(const QStringList& texts)
{
    if (!m_engine)
        return;
    m_engine->ResetAudio();
    for (const QString& text : texts)
        m_engine->SpeakText(text);
}

void SpokenHelp::speakAfterFocus(QWidget& target, const QString& text)
{
    target.setFocus();
    if (m_engine)
        m_engine->SpeakText(text);
}

void SpokenHelp::TextEdit1Click()
{
    TRichEdit98& editor = m_controls.editor;
    const CaretPlace caret = caretPlace(*editor.document(), editor.selStart());
    speak({QStringLiteral("Text Edit Box"), QStringLiteral("Line number") + QString::number(caret.row),
           QStringLiteral("Column number  ") + QString::number(caret.column)});
    editor.setFocus();
}

void SpokenHelp::Speedbar1Click()
{
    speak({QStringLiteral("Speed bar"), QStringLiteral("Position  ") + QString::number(m_controls.speedBar.value())});
    speakAfterFocus(m_controls.speedBar, QStringLiteral("Set Right or Left key "));
}

void SpokenHelp::Clipboard1Click()
{
    speak({onOff(m_controls.clipSpeech.isChecked(), "Speech Clipboard on   ", "Speech Clipboard off   "),
           QStringLiteral("Control plus H, on off   ")});
}

// With no usable mode only the number is said: there is no entry to name.
void SpokenHelp::Lang1Click()
{
    QStringList texts{QStringLiteral("Language ID   ") + QString::number(m_state.fid)};
    const int entry = m_state.fid - 1;
    if (entry >= 0 && entry < m_state.fSpeakerList.size() && entry < m_state.fModeNameList.size())
        texts << m_state.fSpeakerList.at(entry) << m_state.fModeNameList.at(entry);
    speak(texts);
    m_controls.languageSpinner.setFocus();
}

void SpokenHelp::MouthShow1Click()
{
    speak({onOff(m_controls.showMouth.isChecked(), "Show Mouth on    ", "Show Mouth off   "),
           QStringLiteral("Control plus W, on off   ")});
}

void SpokenHelp::SpeechInformation1Click()
{
    speak({onOff(m_controls.speechInfo.isChecked(), "speech information and alphabet on    ",
                 "speech information and alphabet off   "),
           QStringLiteral("Control plus I, on off   ")});
}

void SpokenHelp::toClipboard1Click()
{
    speak({onOff(m_controls.toClipboard.isChecked(), "DoubleClick word toClipboard on    ",
                 "DoubleClick word toClipboard off   "),
           QStringLiteral("Control plus D, on off   ")});
}

void SpokenHelp::Repetition1Click()
{
    speak({QStringLiteral("Repetition number   ") + QString::number(m_state.fRepNum)});
    m_controls.repetitionSpinner.setFocus();
}

void SpokenHelp::HotKeyCheckBox1Click()
{
    speak({QStringLiteral("\"Reset_Button\" HotKey  Control plus Alt plus R"),
           onOff(m_controls.hotKey.isChecked(), "Check on    ", "Check off   "),
           QStringLiteral("Control plus Y, on off   ")});
}

void SpokenHelp::Joyfulwriting1Click()
{
    speak({QStringLiteral("Joyful weriting  Control plus J"),
           onOff(m_controls.joyfulWriting.isChecked(), "Check on    ", "Check off   "),
           QStringLiteral("Control plus J, on off   ")});
}

void SpokenHelp::Marking2Click()
{
    speak({onOff(m_state.fMarkCheck, "Marking on    ", "Marking off   "), QStringLiteral("Alt plus M, on off   ")});
}

void SpokenHelp::VolumeControl2Click()
{
    speak({QStringLiteral("Volume Control"),
           QStringLiteral("Position  ") + QString::number(m_controls.volume.value() / kVolumeStepsPerPercent)});
    speakAfterFocus(m_controls.volume, QStringLiteral("Right or Left key "));
}

} // namespace velmor
