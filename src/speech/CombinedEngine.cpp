#include "speech/CombinedEngine.h"

#include <utility>

namespace velmor {

CombinedEngine::CombinedEngine(std::unique_ptr<SpeechEngine> builtIn, std::unique_ptr<SpeechEngine> system, QObject* parent)
    : SpeechEngine(parent), m_builtIn(std::move(builtIn)), m_system(std::move(system))
{
    forward(*m_builtIn);
    if (m_system)
        forward(*m_system);
}

CombinedEngine::~CombinedEngine() = default;

void CombinedEngine::forward(SpeechEngine& engine)
{
    connect(&engine, &SpeechEngine::OnTextDataStarted, this, &SpeechEngine::OnTextDataStarted);
    connect(&engine, &SpeechEngine::OnTextDataDone, this, &SpeechEngine::OnTextDataDone);
    connect(&engine, &SpeechEngine::OnTextDataDiscarded, this, &SpeechEngine::OnTextDataDiscarded);
    connect(&engine, &SpeechEngine::OnOutputChanged, this, &SpeechEngine::OnOutputChanged);
    connect(&engine, &SpeechEngine::OnEngineFault, this, &SpeechEngine::OnEngineFault);
    connect(&engine, &SpeechEngine::OnWordHeard, this, &SpeechEngine::OnWordHeard);
}

void CombinedEngine::SpeakFirstPart(const QString& part)
{
    m_restTo = &active();
    m_restTo->SpeakFirstPart(part);
}

bool CombinedEngine::SpeakLastPart(const QString& part)
{
    SpeechEngine* const engine = std::exchange(m_restTo, nullptr);
    return engine && engine->SpeakLastPart(part);
}

void CombinedEngine::ResetAudio()
{
    m_builtIn->ResetAudio();
    if (m_system)
        m_system->ResetAudio();
}

void CombinedEngine::PauseAudio()
{
    m_builtIn->PauseAudio();
    if (m_system)
        m_system->PauseAudio();
}

void CombinedEngine::ResumeAudio()
{
    m_builtIn->ResumeAudio();
    if (m_system)
        m_system->ResumeAudio();
}

void CombinedEngine::SelectMode(int mode)
{
    if (isSystemMode(mode)) {
        m_system->SelectMode(mode - builtInCount());
        m_systemSelected = true;
    } else {
        m_builtIn->SelectMode(mode);
        m_systemSelected = false;
    }
}

QString CombinedEngine::ModeNameOf(int mode) const
{
    return isSystemMode(mode) ? m_system->ModeNameOf(mode - builtInCount()) : m_builtIn->ModeNameOf(mode);
}

QString CombinedEngine::SpeakerOf(int mode) const
{
    return isSystemMode(mode) ? m_system->SpeakerOf(mode - builtInCount()) : m_builtIn->SpeakerOf(mode);
}

QByteArray CombinedEngine::voiceLanguageOf(int mode) const
{
    return isSystemMode(mode) ? m_system->voiceLanguageOf(mode - builtInCount()) : m_builtIn->voiceLanguageOf(mode);
}

int CombinedEngine::ModeCount() const { return builtInCount() + (m_system ? m_system->ModeCount() : 0); }

void CombinedEngine::setSpeed(int wordsPerMinute)
{
    m_builtIn->setSpeed(wordsPerMinute);
    if (m_system)
        m_system->setSpeed(wordsPerMinute);
}

void CombinedEngine::setMaxSpeed(int wordsPerMinute)
{
    m_builtIn->setMaxSpeed(wordsPerMinute);
    if (m_system)
        m_system->setMaxSpeed(wordsPerMinute);
}

void CombinedEngine::setMinSpeed(int wordsPerMinute)
{
    m_builtIn->setMinSpeed(wordsPerMinute);
    if (m_system)
        m_system->setMinSpeed(wordsPerMinute);
}

void CombinedEngine::setAutoLanguage(bool on) { m_builtIn->setAutoLanguage(on); }

void CombinedEngine::setPronunciationRules(std::shared_ptr<const PronunciationRules> rules)
{
    m_builtIn->setPronunciationRules(std::move(rules));
}

std::vector<VoicePassage> CombinedEngine::passagesOf(const QString& text) const
{
    std::vector<VoicePassage> passages = active().passagesOf(text);
    if (m_systemSelected)
        for (VoicePassage& passage : passages)
            if (passage.mode > 0)
                passage.mode += builtInCount();
    return passages;
}

} // namespace velmor
