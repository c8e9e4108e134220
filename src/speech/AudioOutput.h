#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

typedef struct _snd_pcm snd_pcm_t;

namespace velmor {

// Where synthesized PCM (16-bit mono) goes. Positions count bytes since the output was made
// or last reset; the engine keeps its own bookkeeping in those units.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    virtual qint64 bytesFree() const = 0;
    // Takes at most bytesFree() bytes; returns how many it took.
    virtual qint64 write(const char* data, qint64 bytes) = 0;
    // Bytes already heard: never more than written, never decreasing until reset().
    virtual qint64 playedBytes() const = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    // Silences at once, drops everything unplayed, ends a suspension and counts from 0 again.
    virtual void reset() = 0;
};

// Real-time consumption of queued bytes: a clock that runs while there is something left to
// play and is not suspended.
class PlaybackClock {
public:
    // Monotonic time in microseconds.
    using Now = std::function<qint64()>;

    explicit PlaybackClock(qint64 bytesPerSecond, Now now = {});

    void queue(qint64 bytes);
    qint64 queued() const { return m_queued; }
    qint64 played() const;
    void suspend();
    void resume();
    void reset();

private:
    qint64 m_bytesPerSecond;
    Now m_now;
    qint64 m_queued = 0;
    qint64 m_playedAtMark = 0; // bytes played when the clock was last marked
    qint64 m_mark = 0;         // time of that mark
    bool m_suspended = false;
};

// Stands in for a sound device: plays nothing, but consumes what it is given in real time,
// so that the end of a text and a pause mean the same as with sound.
class SilentClockOutput : public AudioOutput {
public:
    // alreadyQueued counts bytes taken over from a failed output that are still to be played.
    SilentClockOutput(qint64 bytesPerSecond, qint64 bufferBytes, qint64 alreadyQueued = 0);

    qint64 bytesFree() const override;
    qint64 write(const char* data, qint64 bytes) override;
    qint64 playedBytes() const override;
    void suspend() override;
    void resume() override;
    void reset() override;

private:
    qint64 m_bufferBytes;
    PlaybackClock m_clock;
};

// One stream on ALSA's default device (the sound server's, through its ALSA plug-in). Each
// one opens a connection of its own, so it finds a sound server that came back after Qt's
// sound library, which reconnects only once, has given it up.
class AlsaOutput : public AudioOutput {
public:
    // Null when the default device cannot be opened. onFailure runs (at most once) when the
    // stream dies later.
    static std::unique_ptr<AlsaOutput> open(int sampleRate, qint64 bufferBytes, std::function<void()> onFailure);
    ~AlsaOutput() override;

    qint64 bytesFree() const override;
    qint64 write(const char* data, qint64 bytes) override;
    qint64 playedBytes() const override;
    void suspend() override;
    void resume() override;
    void reset() override;

private:
    AlsaOutput(snd_pcm_t* pcm, int sampleRate, qint64 bufferBytes, std::function<void()> onFailure);
    // True when the error was an underrun, which is recovered from; otherwise the stream failed.
    bool recover(long error) const;
    void fail() const;

    snd_pcm_t* m_pcm;
    qint64 m_bufferBytes;
    mutable std::function<void()> m_onFailure;
    // Bounds the position the device reports, which may run ahead across an underrun.
    PlaybackClock m_clock;
    qint64 m_written = 0;
    mutable qint64 m_played = 0;
    bool m_suspended = false;
    mutable bool m_failed = false;
};

} // namespace velmor
