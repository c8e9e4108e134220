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
    onAction(ActionId::Key, &TForm1::HelpButtonClick);
    const std::pair<ActionId, void (SpokenHelp::*)()> items[] = {
        {ActionId::TextEdit1, &SpokenHelp::TextEdit1Click},
        {ActionId::Speedbar1, &SpokenHelp::Speedbar1Click},
        {ActionId::Clipboard1, &SpokenHelp::Clipboard1Click},
        {ActionId::Lang1, &SpokenHelp::Lang1Click},
        {ActionId::MouthShow1, &SpokenHelp::MouthShow1Click},
        {ActionId::SpeechInformation1, &SpokenHelp::SpeechInformation1Click},
        {ActionId::toClipboard1, &SpokenHelp::toClipboard1Click},
        {ActionId::Repetition1, &SpokenHelp::Repetition1Click},
        {ActionId::HotKeyCheckBox1, &SpokenHelp::HotKeyCheckBox1Click},
        {ActionId::Joyfulwriting1, &SpokenHelp::Joyfulwriting1Click},
        {ActionId::Marking2, &SpokenHelp::Marking2Click},
        {ActionId::VolumeControl2, &SpokenHelp::VolumeControl2Click},
    };
    for (const auto& [id, item] : items) {
        connect(&action(id), &QAction::triggered, this, [this, item = item] {
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
