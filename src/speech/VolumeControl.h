#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>
#include <vector>

class QSocketNotifier;
struct _snd_mixer;

namespace velmor {

// The track bar's 0..65535 mapped linearly onto a mixer element's range [min, max], rounded to
// the nearest step; values outside the range are clamped. An empty range (max <= min) maps
// everything onto min, and back onto 0.
long volumeToMixer(std::uint16_t volume, long min, long max);
std::uint16_t mixerToVolume(long value, long min, long max);

// The system's master volume through ALSA's simple mixer on the "default" device: its "Master"
// playback element, else the first element with a playback volume. All channels get one value.
// Without a mixer (no card, no sound server, or a server that went away) the volume reads 0 and
// writes are ignored, silently; a later read or write tries to attach again, at most once a second.
class TVolumeControl : public QObject {
    Q_OBJECT
public:
    explicit TVolumeControl(QObject* owner = nullptr);
    ~TVolumeControl() override;

    std::uint16_t Volume();
    void SetVolume(std::uint16_t value);
    bool Mute();
    void SetMute(bool value);

    bool isOpen() const { return m_mixer != nullptr; }

signals:
    // Raised whenever a control of the opened mixer changes, whoever changed it.
    void OnControlChange(velmor::TVolumeControl* sender);

private:
    void open();
    void close();
    bool ensureOpen();
    void handleEvents();

    _snd_mixer* m_mixer = nullptr;
    std::vector<QSocketNotifier*> m_notifiers;
    QElapsedTimer m_sinceAttempt;
};

} // namespace velmor
