#include "speech/SpeedControl.h"

#include "core/FormState.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeedOffsets.h"

namespace velmor {

SpeedControl::SpeedControl(FormState& state, SpeechEngine* engine, SpeedHooks hooks)
    : m_state(state), m_engine(engine), m_hooks(std::move(hooks))
{
}

void SpeedControl::SetSpeed()
{
    if (!m_state.fEngineOK || !m_engine)
        return;
    const int speed = effectiveSpeed(m_state.FSpd, m_hooks.voiceLabel(), m_state.fSpeakerList.value(m_state.fid - 1));
    m_engine->setSpeed(speed);
    m_hooks.showSpeed(QString::number(speed));
}

void SpeedControl::ScrollBar1Change(int position)
{
    if (!m_state.fEngineOK)
        return;
    m_state.FSpd = position;
    SetSpeed();
}

void SpeedControl::DSpeedButtonClick()
{
    if (!m_state.fEngineOK)
        return;
    m_state.FSpd = kDefaultSpeed;
    m_hooks.setBarPosition(kDefaultSpeed);
    SetSpeed();
}

void SpeedControl::applyStoredSpeed()
{
    m_hooks.setBarPosition(speedBarPosition(m_state.FSpd, m_range));
    SetSpeed();
}

void SpeedControl::setWideRange(bool wide)
{
    m_range = speedBarRange(wide);
    m_hooks.setBarRange(m_range.minimum, m_range.maximum);
}

} // namespace velmor
