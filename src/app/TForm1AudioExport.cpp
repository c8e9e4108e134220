// The window's side of saving the speech as an audio file.
#include "app/AudioExportCommand.h"
#include "app/TForm1.h"
#include "speech/SpeakingCommands.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/UPanel.h"

namespace velmor {

void TForm1::createAudioExport()
{
    // The end of an export is shown in the information panel, and said with speech-info on.
    m_audioExport = std::make_unique<AudioExportCommand>(m_state, m_engine.get(), *RichEdit98, m_dialogs, this,
                                                         [this](const QString& sentence) {
                                                             UPanel1->setCaption(u' ' + sentence);
                                                             if (SICheckBox->isChecked())
                                                                 m_speaking->announce(sentence);
                                                         },
                                                         [this] {
                                                             return AudioExportChoices{
                                                                 action(ActionId::ChapterFiles1).isChecked(),
                                                                 action(ActionId::SubtitleFiles1).isChecked()};
                                                         });
    onAction(ActionId::SaveSpeech1, &TForm1::SaveSpeech1Click);
}

void TForm1::SaveSpeech1Click() { m_audioExport->SaveSpeechClick(); }

} // namespace velmor
