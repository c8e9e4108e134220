#pragma once

#include "speech/SpeedOffsets.h"

#include <QString>
#include <functional>

namespace velmor {

struct FormState;
class SpeechEngine;

// The window's side of the speed controls.
struct SpeedHooks {
    // Label1's caption: the speaker of the selected mode as shown.
    std::function<QString()> voiceLabel;
    // Moves ScrollBar1; when its position changes, the bar runs ScrollBar1Change.
    std::function<void(int)> setBarPosition;
    // Gives ScrollBar1 its range; a position outside moves to the nearer end, as setBarPosition.
    std::function<void(int minimum, int maximum)> setBarRange;
    // Label4's text.
    std::function<void(const QString&)> showSpeed;
};

// The speed bar, "Default Speed" and the speed handed to the engine. Without an engine
// (fEngineOK false) none of them changes FSpd or the engine.
class SpeedControl {
public:
    SpeedControl(FormState& state, SpeechEngine* engine, SpeedHooks hooks);

    // Hands FSpd plus the voice's offset to the engine and shows it; a failure reported by
    // the engine propagates and leaves Label4 as it was.
    void SetSpeed();
    void ScrollBar1Change(int position);
    void DSpeedButtonClick();
    // Start-up: the bar takes the stored speed, brought into its range (a change of
    // position stores the clamped value through ScrollBar1Change), then SetSpeed.
    void applyStoredSpeed();
    // "Wide speed range": the bar spans the command line's speeds rather than its own. The
    // speed stays where it fits and moves to the nearer end where it does not.
    void setWideRange(bool wide);

private:
    FormState& m_state;
    SpeechEngine* m_engine;
    SpeedHooks m_hooks;
    SpeedRange m_range = speedBarRange(false);
};

} // namespace velmor
