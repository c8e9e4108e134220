#pragma once

#include "speech/AudioOutput.h"

class QAudioSink;
class QIODevice;

namespace velmor {

// One QAudioSink stream in push mode on the default output device.
class QtSinkOutput : public AudioOutput {
public:
    // Null when there is no output device or its stream cannot be opened. onFailure runs (at
    // most once) when the stream dies later, for instance with the sound server.
    static std::unique_ptr<QtSinkOutput> open(int sampleRate, qint64 bufferBytes, std::function<void()> onFailure);
    ~QtSinkOutput() override;

    qint64 bytesFree() const override;
    qint64 write(const char* data, qint64 bytes) override;
    qint64 playedBytes() const override;
    void suspend() override;
    void resume() override;
    void reset() override;

private:
    QtSinkOutput(std::unique_ptr<QAudioSink> sink, int sampleRate, qint64 bufferBytes, std::function<void()> onFailure);
    bool start();
    void fail();

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_device = nullptr; // owned by m_sink
    int m_sampleRate;
    qint64 m_bufferBytes;
    std::function<void()> m_onFailure;
    // The sink extrapolates its position with wall time even across an underrun, which runs
    // ahead of the sound; a clock that only runs while data is queued bounds it.
    PlaybackClock m_clock;
    mutable qint64 m_played = 0;
    bool m_failed = false;
};

// The window's sound: Qt's sound library, else ALSA; null when neither has a device now.
std::unique_ptr<AudioOutput> openSoundDevice(int sampleRate, qint64 bufferBytes, std::function<void()> onFailure);

} // namespace velmor
