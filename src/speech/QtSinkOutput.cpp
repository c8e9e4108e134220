#include "speech/QtSinkOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

namespace velmor {

namespace {

constexpr qint64 kBytesPerSample = 2;

} // namespace

std::unique_ptr<AudioOutput> openSoundDevice(int sampleRate, qint64 bufferBytes, std::function<void()> onFailure)
{
    if (std::unique_ptr<AudioOutput> device = QtSinkOutput::open(sampleRate, bufferBytes, onFailure))
        return device;
    // Qt's sound library tries a lost sound server again only once, 3 s after losing it; a
    // server that comes back later is reached through ALSA.
    return AlsaOutput::open(sampleRate, bufferBytes, std::move(onFailure));
}

std::unique_ptr<QtSinkOutput> QtSinkOutput::open(int sampleRate, qint64 bufferBytes, std::function<void()> onFailure)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return nullptr;
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return nullptr;
    std::unique_ptr<QtSinkOutput> output(
        new QtSinkOutput(std::make_unique<QAudioSink>(device, format), sampleRate, bufferBytes, {}));
    if (!output->start())
        return nullptr;
    output->m_onFailure = std::move(onFailure);
    return output;
}

QtSinkOutput::QtSinkOutput(std::unique_ptr<QAudioSink> sink, int sampleRate, qint64 bufferBytes,
                           std::function<void()> onFailure)
    : m_sink(std::move(sink))
    , m_sampleRate(sampleRate)
    , m_bufferBytes(bufferBytes)
    , m_onFailure(std::move(onFailure))
    , m_clock(sampleRate * kBytesPerSample)
{
    QObject::connect(m_sink.get(), &QAudioSink::stateChanged, m_sink.get(), [this](QAudio::State state) {
        const QAudio::Error error = m_sink->error();
        if (state == QAudio::StoppedState && (error == QAudio::FatalError || error == QAudio::OpenError))
            fail();
    });
}

QtSinkOutput::~QtSinkOutput()
{
    // Stopping must not report a failure to an owner that is going away.
    QObject::disconnect(m_sink.get(), nullptr, m_sink.get(), nullptr);
    m_sink->stop();
}

bool QtSinkOutput::start()
{
    // The sink replaces the requested size by what the server granted: ask anew each time.
    m_sink->setBufferSize(m_bufferBytes);
    m_device = m_sink->start();
    if (!m_device) {
        fail();
        return false;
    }
    return true;
}

void QtSinkOutput::fail()
{
    if (m_failed)
        return;
    m_failed = true;
    m_device = nullptr;
    if (m_onFailure)
        m_onFailure();
}

qint64 QtSinkOutput::bytesFree() const
{
    return m_failed ? 0 : m_sink->bytesFree();
}

qint64 QtSinkOutput::write(const char* data, qint64 bytes)
{
    if (m_failed || !m_device)
        return 0;
    const qint64 written = m_device->write(data, bytes);
    if (written <= 0)
        return 0;
    m_clock.queue(written);
    return written;
}

qint64 QtSinkOutput::playedBytes() const
{
    // A dead stream reports nothing any more; the clock goes on as the device would have.
    if (m_failed)
        return std::max(m_played, m_clock.played());
    if (m_sink->state() != QAudio::StoppedState) {
        // Rounded: the sink floors the time of the last whole frame, which must still count.
        const qint64 frames = (m_sink->processedUSecs() * m_sampleRate + 500'000) / 1'000'000;
        m_played = std::max(m_played, std::min(frames * kBytesPerSample, m_clock.played()));
    }
    return m_played;
}

void QtSinkOutput::suspend()
{
    m_clock.suspend();
    if (!m_failed)
        m_sink->suspend();
}

void QtSinkOutput::resume()
{
    m_clock.resume();
    if (!m_failed)
        m_sink->resume();
}

void QtSinkOutput::reset()
{
    m_clock.reset();
    m_played = 0;
    if (m_failed)
        return;
    // QAudioSink::reset() closes the stream; opening a new one takes well under a millisecond.
    m_sink->reset();
    start();
}

} // namespace velmor
