// The window's side of saving the speech as an audio file.
#include "app/AudioExportCommand.h"
#include "app/TForm1.h"

namespace velmor {

void TForm1::createAudioExport()
{
    m_audioExport = std::make_unique<AudioExportCommand>(m_state, m_engine.get(), *RichEdit98, m_dialogs, this);
    onAction(ActionId::SaveSpeech1, &TForm1::SaveSpeech1Click);
}

void TForm1::SaveSpeech1Click() { m_audioExport->SaveSpeechClick(); }

} // namespace velmor
