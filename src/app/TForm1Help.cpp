// The main window's side of the key-name window, the spoken Help menu and the about button.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "help/InfoPanel.h"
#include "help/KeyNameHelp.h"
#include "help/SpokenHelp.h"
#include "speech/SpeakingCommands.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QScrollBar>
#include <QSlider>

namespace velmor {

void TForm1::createHelp()
{
    styleInfoPanel(*UPanel1, *ULabel98);
    m_keyNames = std::make_unique<KeyNameHelp>(m_state, m_speaking->speakingState(), m_engine.get(),
                                               KeyNameHelpControls{*SICheckBox});
    m_spokenHelp = std::make_unique<SpokenHelp>(
        m_state, m_engine.get(),
        SpokenHelpControls{*RichEdit98, *ScrollBar1, *ClipSpeechCheckBox, *LIDUpDown, *ShowCheckBox, *SICheckBox,
                           *SCLCheckBox, *RepUpDown, *HotKeyCheckBox, *WordReadCheckBox, *VTrackBar1});

    onClick(AboutButton, &TForm1::AboutButtonClick);
    onClick(HelpButton, &TForm1::HelpButtonClick);
    onAction("Key", &TForm1::HelpButtonClick);
    const std::pair<const char*, void (SpokenHelp::*)()> items[] = {
        {"TextEdit1", &SpokenHelp::TextEdit1Click},
        {"Speedbar1", &SpokenHelp::Speedbar1Click},
        {"Clipboard1", &SpokenHelp::Clipboard1Click},
        {"Lang1", &SpokenHelp::Lang1Click},
        {"MouthShow1", &SpokenHelp::MouthShow1Click},
        {"SpeechInformation1", &SpokenHelp::SpeechInformation1Click},
        {"toClipboard1", &SpokenHelp::toClipboard1Click},
        {"Repetition1", &SpokenHelp::Repetition1Click},
        {"HotKeyCheckBox1", &SpokenHelp::HotKeyCheckBox1Click},
        {"Joyfulwriting1", &SpokenHelp::Joyfulwriting1Click},
        {"Marking2", &SpokenHelp::Marking2Click},
        {"VolumeControl2", &SpokenHelp::VolumeControl2Click},
    };
    for (const auto& [name, item] : items) {
        connect(findChild<QAction*>(QString::fromLatin1(name)), &QAction::triggered, this, [this, item = item] {
            runGuarded(m_dialogs.showError, [this, item] { (m_spokenHelp.get()->*item)(); });
        });
    }
}

void TForm1::HelpButtonClick() { m_keyNames->HelpButtonClick(); }

void TForm1::AboutButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    m_speaking->speakingState().endRun();
    m_speaking->announce(AboutButton->text());
}

} // namespace velmor
