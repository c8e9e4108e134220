#include "speech/AudioOutput.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <cerrno>
#include <chrono>
#include <mutex>

namespace velmor {

namespace {

constexpr qint64 kBytesPerSample = 2;

// Without a sound server or card libasound would report every failed attempt on stderr.
void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

qint64 steadyMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

PlaybackClock::PlaybackClock(qint64 bytesPerSecond, Now now)
    : m_bytesPerSecond(bytesPerSecond)
    , m_now(now ? std::move(now) : Now(steadyMicroseconds))
    , m_mark(m_now())
{
}

void PlaybackClock::queue(qint64 bytes)
{
    // Running dry stops the clock; new data starts it again from now.
    if (!m_suspended && played() >= m_queued) {
        m_playedAtMark = m_queued;
        m_mark = m_now();
    }
    m_queued += bytes;
}

qint64 PlaybackClock::played() const
{
    if (m_suspended)
        return m_playedAtMark;
    const qint64 elapsed = m_now() - m_mark;
    return std::min(m_queued, m_playedAtMark + elapsed * m_bytesPerSecond / 1'000'000);
}

void PlaybackClock::suspend()
{
    if (m_suspended)
        return;
    m_playedAtMark = played();
    m_suspended = true;
}

void PlaybackClock::resume()
{
    if (!m_suspended)
        return;
    m_mark = m_now();
    m_suspended = false;
}

void PlaybackClock::reset()
{
    m_queued = 0;
    m_playedAtMark = 0;
    m_mark = m_now();
    m_suspended = false;
}

SilentClockOutput::SilentClockOutput(qint64 bytesPerSecond, qint64 bufferBytes, qint64 alreadyQueued)
    : m_bufferBytes(bufferBytes)
    , m_clock(bytesPerSecond)
{
    m_clock.queue(alreadyQueued);
}

qint64 SilentClockOutput::bytesFree() const
{
    return std::max<qint64>(0, m_bufferBytes - (m_clock.queued() - m_clock.played()));
}

qint64 SilentClockOutput::write(const char*, qint64 bytes)
{
    const qint64 taken = std::min(bytes, bytesFree());
    m_clock.queue(taken);
    return taken;
}

qint64 SilentClockOutput::playedBytes() const { return m_clock.played(); }
void SilentClockOutput::suspend() { m_clock.suspend(); }
void SilentClockOutput::resume() { m_clock.resume(); }
void SilentClockOutput::reset() { m_clock.reset(); }

std::unique_ptr<AlsaOutput> AlsaOutput::open(int sampleRate, qint64 bufferBytes, std::function<void()> onFailure)
{
    static std::once_flag silenced;
    std::call_once(silenced, [] { snd_lib_error_set_handler(silentAlsaError); });
    // ALSA decides once per process which device "default" is (the sound server's only when it
    // was running then); drop that decision so a server started since is found.
    snd_config_update_free_global();
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    const auto latencyUs = unsigned(bufferBytes * 1'000'000 / (sampleRate * kBytesPerSample));
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, unsigned(sampleRate), 1,
                           latencyUs)
        < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    // Played as soon as the first frame is there: a short word never fills the buffer.
    snd_pcm_sw_params_t* software = nullptr;
    snd_pcm_sw_params_alloca(&software);
    if (snd_pcm_sw_params_current(pcm, software) < 0 || snd_pcm_sw_params_set_start_threshold(pcm, software, 1) < 0
        || snd_pcm_sw_params(pcm, software) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::unique_ptr<AlsaOutput>(new AlsaOutput(pcm, sampleRate, bufferBytes, std::move(onFailure)));
}

AlsaOutput::AlsaOutput(snd_pcm_t* pcm, int sampleRate, qint64 bufferBytes, std::function<void()> onFailure)
    : m_pcm(pcm)
    , m_bufferBytes(bufferBytes)
    , m_onFailure(std::move(onFailure))
    , m_clock(sampleRate * kBytesPerSample)
{
}

AlsaOutput::~AlsaOutput()
{
    snd_pcm_drop(m_pcm);
    snd_pcm_close(m_pcm);
}

bool AlsaOutput::recover(long error) const
{
    if (error == -EAGAIN)
        return true;
    if (!m_failed && snd_pcm_recover(m_pcm, int(error), 1) == 0)
        return true;
    fail();
    return false;
}

void AlsaOutput::fail() const
{
    if (m_failed)
        return;
    m_failed = true;
    if (m_onFailure)
        m_onFailure();
}

qint64 AlsaOutput::bytesFree() const
{
    if (m_failed || m_suspended)
        return 0;
    snd_pcm_sframes_t frames = snd_pcm_avail_update(m_pcm);
    if (frames < 0) {
        if (!recover(frames))
            return 0;
        frames = snd_pcm_avail_update(m_pcm);
    }
    return std::clamp<qint64>(qint64(frames) * kBytesPerSample, 0, m_bufferBytes);
}

qint64 AlsaOutput::write(const char* data, qint64 bytes)
{
    if (m_failed || m_suspended)
        return 0;
    snd_pcm_sframes_t frames = snd_pcm_writei(m_pcm, data, snd_pcm_uframes_t(bytes / kBytesPerSample));
    if (frames < 0) {
        if (!recover(frames))
            return 0;
        frames = snd_pcm_writei(m_pcm, data, snd_pcm_uframes_t(bytes / kBytesPerSample));
        if (frames < 0)
            return 0;
    }
    const qint64 written = qint64(frames) * kBytesPerSample;
    m_written += written;
    m_clock.queue(written);
    return written;
}

qint64 AlsaOutput::playedBytes() const
{
    if (m_failed)
        return std::max(m_played, m_clock.played());
    // After an underrun everything written was played, though the sound server's plug-in
    // goes on reporting the delay it had just before.
    snd_pcm_sframes_t delay = 0;
    if (snd_pcm_state(m_pcm) == SND_PCM_STATE_XRUN || snd_pcm_delay(m_pcm, &delay) < 0)
        delay = 0;
    const qint64 played = m_written - std::max<qint64>(0, qint64(delay)) * kBytesPerSample;
    m_played = std::max(m_played, std::min(played, m_clock.played()));
    return m_played;
}

void AlsaOutput::suspend()
{
    m_clock.suspend();
    m_suspended = true;
    if (!m_failed && snd_pcm_state(m_pcm) == SND_PCM_STATE_RUNNING)
        snd_pcm_pause(m_pcm, 1);
}

void AlsaOutput::resume()
{
    m_clock.resume();
    m_suspended = false;
    if (!m_failed && snd_pcm_state(m_pcm) == SND_PCM_STATE_PAUSED)
        snd_pcm_pause(m_pcm, 0);
}

void AlsaOutput::reset()
{
    m_clock.reset();
    m_written = 0;
    m_played = 0;
    m_suspended = false;
    if (m_failed)
        return;
    snd_pcm_drop(m_pcm);
    snd_pcm_prepare(m_pcm);
}

} // namespace velmor
