#include "speech/SilentSpeechNotice.h"

#include "speech/SpeechEngine.h"
#include "widgets/UPanel.h"

#include <QTimer>

namespace velmor {

const QString SilentSpeechNotice::kCaption = QStringLiteral(" No sound device: speech runs silently");
const QString SilentSpeechNotice::kBackCaption = QStringLiteral(" Sound is back: speech is heard again");

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
    const QString caption = m_panel.caption();
    if (!m_engine.isSilent()) {
        if (caption == kBackCaption)
            m_panel.setCaption(m_captionBefore);
        return;
    }
    if (caption == kCaption)
        return;
    if (caption != kBackCaption)
        m_captionBefore = caption;
    m_panel.setCaption(kCaption);
}

void SilentSpeechNotice::outputChanged()
{
    if (m_engine.isSilent())
        showWhileSilent();
    else if (m_panel.caption() == kCaption)
        m_panel.setCaption(kBackCaption);
}

} // namespace velmor
