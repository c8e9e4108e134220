#pragma once

#include <QStringList>

class QAbstractButton;
class QAbstractSlider;
class QSpinBox;
class QWidget;

namespace velmor {

struct FormState;
class SpeechEngine;
class TRichEdit98;

// The controls the spoken help items describe.
struct SpokenHelpControls {
    TRichEdit98& editor;
    QAbstractSlider& speedBar;
    QAbstractButton& clipSpeech;
    QSpinBox& languageSpinner;
    QAbstractButton& showMouth;
    QAbstractButton& speechInfo;
    QAbstractButton& toClipboard;
    QSpinBox& repetitionSpinner;
    QAbstractButton& hotKey;
    QAbstractButton& joyfulWriting;
    QAbstractSlider& volume;
};

// The Help menu: each item says the name and state of one control with its key, and most move
// the keyboard focus to it. They speak whether or not an engine was found, and leave the
// speaking state alone.
class SpokenHelp {
public:
    SpokenHelp(FormState& state, SpeechEngine* engine, SpokenHelpControls controls);

    void TextEdit1Click();
    void Speedbar1Click();
    void Clipboard1Click();
    void Lang1Click();
    void MouthShow1Click();
    void SpeechInformation1Click();
    void toClipboard1Click();
    void Repetition1Click();
    void HotKeyCheckBox1Click();
    void Joyfulwriting1Click();
    void Marking2Click();
    void VolumeControl2Click();

private:
    void speak(const QStringList& texts);
    void speakAfterFocus(QWidget& target, const QString& text);

    FormState& m_state;
    SpeechEngine* m_engine;
    SpokenHelpControls m_controls;
};

} // namespace velmor
