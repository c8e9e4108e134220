#include "speech/SilentSpeechNotice.h"

#include "speech/SpeechEngine.h"
#include "widgets/UPanel.h"

#include <QTimer>

namespace velmor {

const QString SilentSpeechNotice::kCaption = QStringLiteral(" No sound device: speech runs silently");

SilentSpeechNotice::SilentSpeechNotice(SpeechEngine& engine, UPanel& panel, QObject* parent)
    : QObject(parent), m_engine(engine), m_panel(panel)
{
    connect(&engine, &SpeechEngine::OnOutputChanged, this, &SilentSpeechNotice::outputChanged);
    connect(&engine, &SpeechEngine::OnTextDataStarted, this, &SilentSpeechNotice::showWhileSilent);
    // Once start-up has put the mode name in the panel.
    QTimer::singleShot(0, this, &SilentSpeechNotice::showWhileSilent);
}

void SilentSpeechNotice::showWhileSilent()
{
    if (!m_engine.isSilent() || m_panel.caption() == kCaption)
        return;
    m_captionBefore = m_panel.caption();
    m_panel.setCaption(kCaption);
}

void SilentSpeechNotice::outputChanged()
{
    if (m_engine.isSilent())
        showWhileSilent();
    else if (m_panel.caption() == kCaption)
        m_panel.setCaption(m_captionBefore);
}

} // namespace velmor
