#include "speech/VolumeControl.h"

#include <QSocketNotifier>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <poll.h>

namespace velmor {

namespace {

constexpr long long kTrackBarMax = 65535;
// A failed attach is tried again on a later read or write, but not more often than this: each
// attempt re-reads ALSA's configuration.
constexpr qint64 kRetryIntervalMs = 1000;

// Without a sound server or card libasound would report every failed attempt on stderr; the
// volume simply reads 0 then.
void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsaErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(silentAlsaError); });
}

// "Master" when the device has it, else the first element with a playback volume.
snd_mixer_elem_t* masterElement(snd_mixer_t* mixer)
{
    snd_mixer_elem_t* fallback = nullptr;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
        if (!snd_mixer_selem_is_active(e) || !snd_mixer_selem_has_playback_volume(e))
            continue;
        if (std::strcmp(snd_mixer_selem_get_name(e), "Master") == 0 && snd_mixer_selem_get_index(e) == 0)
            return e;
        if (!fallback)
            fallback = e;
    }
    return fallback;
}

bool hasPlaybackChannel(snd_mixer_elem_t* e, int channel)
{
    return snd_mixer_selem_has_playback_channel(e, static_cast<snd_mixer_selem_channel_id_t>(channel));
}

} // namespace

long volumeToMixer(std::uint16_t volume, long min, long max)
{
    if (max <= min)
        return min;
    const long long range = static_cast<long long>(max) - min;
    return static_cast<long>(min + (volume * range + kTrackBarMax / 2) / kTrackBarMax);
}

std::uint16_t mixerToVolume(long value, long min, long max)
{
    if (max <= min)
        return 0;
    const long long range = static_cast<long long>(max) - min;
    const long long offset = static_cast<long long>(std::clamp(value, min, max)) - min;
    return static_cast<std::uint16_t>((offset * kTrackBarMax + range / 2) / range);
}

TVolumeControl::TVolumeControl(QObject* owner)
    : QObject(owner)
{
    open();
}

TVolumeControl::~TVolumeControl()
{
    close();
}

std::uint16_t TVolumeControl::Volume()
{
    if (!ensureOpen())
        return 0;
    snd_mixer_elem_t* e = masterElement(m_mixer);
    if (!e)
        return 0;
    long min = 0;
    long max = 0;
    if (snd_mixer_selem_get_playback_volume_range(e, &min, &max) < 0) {
        close();
        return 0;
    }
    // One value for the whole element: the loudest channel.
    long loudest = min;
    for (int channel = 0; channel <= SND_MIXER_SCHN_LAST; ++channel) {
        if (!hasPlaybackChannel(e, channel))
            continue;
        long value = min;
        if (snd_mixer_selem_get_playback_volume(
                e, static_cast<snd_mixer_selem_channel_id_t>(channel), &value) < 0) {
            close();
            return 0;
        }
        loudest = std::max(loudest, value);
    }
    return mixerToVolume(loudest, min, max);
}

void TVolumeControl::SetVolume(std::uint16_t value)
{
    if (!ensureOpen())
        return;
    snd_mixer_elem_t* e = masterElement(m_mixer);
    if (!e)
        return;
    long min = 0;
    long max = 0;
    if (snd_mixer_selem_get_playback_volume_range(e, &min, &max) < 0
        || snd_mixer_selem_set_playback_volume_all(e, volumeToMixer(value, min, max)) < 0)
        close();
}

bool TVolumeControl::Mute()
{
    if (!ensureOpen())
        return false;
    snd_mixer_elem_t* e = masterElement(m_mixer);
    if (!e || !snd_mixer_selem_has_playback_switch(e))
        return false;
    // Muted when no channel is switched on.
    for (int channel = 0; channel <= SND_MIXER_SCHN_LAST; ++channel) {
        if (!hasPlaybackChannel(e, channel))
            continue;
        int on = 0;
        if (snd_mixer_selem_get_playback_switch(
                e, static_cast<snd_mixer_selem_channel_id_t>(channel), &on) < 0) {
            close();
            return false;
        }
        if (on)
            return false;
    }
    return true;
}

void TVolumeControl::SetMute(bool value)
{
    if (!ensureOpen())
        return;
    snd_mixer_elem_t* e = masterElement(m_mixer);
    if (e && snd_mixer_selem_has_playback_switch(e)
        && snd_mixer_selem_set_playback_switch_all(e, value ? 0 : 1) < 0)
        close();
}

bool TVolumeControl::ensureOpen()
{
    if (!m_mixer && m_sinceAttempt.hasExpired(kRetryIntervalMs))
        open();
    return m_mixer != nullptr;
}

void TVolumeControl::open()
{
    silenceAlsaErrors();
    m_sinceAttempt.start();
    // ALSA decides once per process which device "default" is (with PulseAudio only when a server
    // was running then); drop that decision so a server started since is found.
    snd_config_update_free_global();

    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return;
    if (snd_mixer_attach(mixer, "default") < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0
        || snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return;
    }
    m_mixer = mixer;

    const int count = snd_mixer_poll_descriptors_count(m_mixer);
    std::vector<pollfd> fds(static_cast<std::size_t>(std::max(count, 0)));
    const int filled = snd_mixer_poll_descriptors(m_mixer, fds.data(), static_cast<unsigned>(fds.size()));
    for (int i = 0; i < filled; ++i) {
        const pollfd& fd = fds[static_cast<std::size_t>(i)];
        const auto type = (fd.events & POLLOUT) ? QSocketNotifier::Write : QSocketNotifier::Read;
        auto* notifier = new QSocketNotifier(fd.fd, type, this);
        connect(notifier, &QSocketNotifier::activated, this, &TVolumeControl::handleEvents);
        m_notifiers.push_back(notifier);
    }
}

void TVolumeControl::close()
{
    // This may run inside a notifier's own signal, so the notifiers go later; they are disabled
    // before the descriptor closes so that it is never watched again.
    for (QSocketNotifier* notifier : m_notifiers) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_notifiers.clear();
    if (m_mixer) {
        snd_mixer_close(m_mixer);
        m_mixer = nullptr;
    }
}

void TVolumeControl::handleEvents()
{
    if (!m_mixer)
        return;
    const int events = snd_mixer_handle_events(m_mixer);
    if (events < 0) {
        // The server went away: fall back to reading 0 until it can be attached again.
        close();
        return;
    }
    if (events > 0)
        emit OnControlChange(this);
}

} // namespace velmor
