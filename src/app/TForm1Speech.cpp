// The main window's side of what the engine reports beyond a text's start and end: a text cut off
// by a reset, speech running without a sound device, and a fault of the synthesiser.
#include "app/TForm1.h"
#include "speech/Repetition.h"
#include "speech/SilentSpeechNotice.h"
#include "speech/SpeechEngine.h"
#include "widgets/MouthView.h"
#include "widgets/UPanel.h"

namespace velmor {

void TForm1::connectSpeechNotices()
{
    connect(m_engine.get(), &SpeechEngine::OnTextDataDiscarded, DirectSS1, &MouthView::settle);
    connect(m_engine.get(), &SpeechEngine::OnTextDataDiscarded, this,
            [this] { m_repetition->DirectSS1TextDataDiscarded(); });
    new SilentSpeechNotice(*m_engine, *UPanel1, this);
    connect(m_engine.get(), &SpeechEngine::OnEngineFault, this,
            [this] { UPanel1->setCaption(QStringLiteral(" The speech engine stopped on this text; speech went on after it.")); });
}

} // namespace velmor
