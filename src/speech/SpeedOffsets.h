#pragma once

#include <QString>

namespace velmor {

// The speed bar's range and the speed "Default Speed" returns to, in words per minute.
inline constexpr int kSpeedBarMinimum = 130;
inline constexpr int kSpeedBarMaximum = 188;
inline constexpr int kDefaultSpeed = 150;
// The range the command line's --speed takes, which the speed bar spans with "Wide speed range".
inline constexpr int kSlowestSpeed = 80;
inline constexpr int kFastestSpeed = 450;

struct SpeedRange {
    int minimum;
    int maximum;
};
inline constexpr SpeedRange speedBarRange(bool wide)
{
    return wide ? SpeedRange{kSlowestSpeed, kFastestSpeed} : SpeedRange{kSpeedBarMinimum, kSpeedBarMaximum};
}

// Some voices speak faster than others at the same rate; the offset evens them out.
// voiceLabel is Label1's caption; speakerEntry is the selected mode's fSpeakerList entry,
// which names "Veronique" without the accent the label shows. Empty when nothing is selected.
int speedOffset(const QString& voiceLabel, const QString& speakerEntry);

// The speed handed to the engine: the stored speed plus the voice's offset, not clamped.
int effectiveSpeed(int storedSpeed, const QString& voiceLabel, const QString& speakerEntry);

// Where the speed bar ends up when asked to show a value.
int speedBarPosition(int value, SpeedRange range = speedBarRange(false));

} // namespace velmor
