#include "core/SpeakingState.h"

namespace velmor {

void SpeakingState::set(SpeechKind kind, int repCount, bool paused)
{
    if (kind == m_speechKind && repCount == m_repCount && paused == m_paused)
        return;
    m_speechKind = kind;
    m_repCount = repCount;
    m_paused = paused;
    emit changed();
}

void SpeakingState::start(SpeechKind kind) { set(kind, 1, false); }

void SpeakingState::pause() { set(m_speechKind, m_repCount, true); }

void SpeakingState::resume() { set(m_speechKind, m_repCount, false); }

void SpeakingState::endRun() { set(SpeechKind::None, 1, m_paused); }

void SpeakingState::reset() { set(SpeechKind::None, 1, false); }

bool SpeakingState::repetitionDue(int repNum) const
{
    return !m_paused && m_speechKind != SpeechKind::None && m_repCount < repNum;
}

void SpeakingState::nextRepetition(int repNum)
{
    if (m_repCount < repNum)
        set(m_speechKind, m_repCount + 1, m_paused);
}

} // namespace velmor
