#pragma once

#include <QString>
#include <QtGlobal>

namespace velmor {

// Takes speech synthesized for a recording (SpeechEngine::record), on the engine's own thread.
class SpeechSink {
public:
    virtual ~SpeechSink() = default;
    // 16-bit mono samples at the engine's sample rate, in order; false stops the recording.
    virtual bool take(const qint16* samples, qsizetype count) = 0;
    // A word at this position of the text (in UTF-16 units) begins to be heard this many samples
    // into the samples take() is given next.
    virtual void wordBegins(qsizetype position, qsizetype sampleInNextSamples)
    {
        Q_UNUSED(position);
        Q_UNUSED(sampleInNextSamples);
    }
    // Everything before this position of the text (in UTF-16 units) has been synthesized.
    virtual void reached(qsizetype position) = 0;
    // The last call: completed is false when take() stopped the recording or it could not run.
    virtual void finish(bool completed) = 0;
    // The last call when the engine failed on the text, with why for the user.
    virtual void fail(const QString& reason)
    {
        Q_UNUSED(reason);
        finish(false);
    }
};

} // namespace velmor
