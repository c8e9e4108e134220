#pragma once

#include "speech/AudioFile.h"
#include "speech/SpeechSink.h"

#include <QString>
#include <QStringView>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace velmor {

// Where the part of text that starts at from ends, for synthesizing a long text part by part:
// where the voice pauses anyway (partEnd) within a stretch long enough to make the parts'
// overhead small; the end of the text for the last part.
qsizetype recordingPartEnd(QStringView text, qsizetype from);

// Speech recorded into an audio file (AudioFileWriter): the file appears at its path only
// when the whole text was written; a cancel or a failure leaves nothing there.
class AudioFileRecording : public SpeechSink {
public:
    enum class State { Running, Written, Cancelled, Failed };

    // Throws AudioFileError when the file cannot be made. finished runs once, on the engine's
    // thread, when the state has left Running.
    AudioFileRecording(const QString& path, int sampleRate, qsizetype textLength, std::function<void()> finished = {});

    // Safe from any thread and from a signal handler.
    void cancel() { m_cancelled.store(true); }
    // 0 to 1: the part of the text synthesized so far.
    double progress() const;
    State state() const;
    // Blocks until the recording has finished.
    State wait();
    // Why the recording failed, for the user.
    QString error() const;
    // Seconds of speech written so far.
    double seconds() const;

    bool take(const qint16* samples, qsizetype count) override;
    void reached(qsizetype position) override;
    void finish(bool completed) override;
    void fail(const QString& reason) override;

private:
    void end(bool completed, const QString& failure);

    AudioFileWriter m_writer;
    const int m_sampleRate;
    const qsizetype m_textLength;
    std::function<void()> m_finished;
    std::atomic<bool> m_cancelled{false};
    std::atomic<qsizetype> m_position{0};
    std::atomic<qint64> m_samples{0};

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Running;
    QString m_error;
};

} // namespace velmor
