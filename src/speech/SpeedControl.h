#pragma once

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

private:
    FormState& m_state;
    SpeechEngine* m_engine;
    SpeedHooks m_hooks;
};

} // namespace velmor
