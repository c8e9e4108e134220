#include "speech/SpeechRecording.h"

#include "speech/TextPreparation.h"

#include <algorithm>

namespace velmor {

namespace {

// About a minute of speech: parts take a fraction of a second to synthesize, so speech queued
// meanwhile starts soon, and a part's overhead is lost in its length.
constexpr qsizetype kLongestPart = 8000;

} // namespace

qsizetype recordingPartEnd(QStringView text, qsizetype from)
{
    if (text.size() - from <= kLongestPart)
        return text.size();
    return partEnd(text, int(from), int(kLongestPart));
}

AudioFileRecording::AudioFileRecording(const QString& path, int sampleRate, qsizetype textLength,
                                       std::function<void()> finished)
    : m_writer(path, sampleRate)
    , m_sampleRate(sampleRate)
    , m_textLength(textLength)
    , m_finished(std::move(finished))
{
}

double AudioFileRecording::progress() const
{
    return m_textLength > 0 ? std::min(1.0, double(m_position.load()) / double(m_textLength)) : 1.0;
}

AudioFileRecording::State AudioFileRecording::state() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

AudioFileRecording::State AudioFileRecording::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_state != State::Running; });
    return m_state;
}

QString AudioFileRecording::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

double AudioFileRecording::seconds() const { return double(m_samples.load()) / m_sampleRate; }

bool AudioFileRecording::take(const qint16* samples, qsizetype count)
{
    if (m_cancelled.load() || !m_writer.write(samples, count))
        return false;
    m_samples += count;
    return true;
}

void AudioFileRecording::reached(qsizetype position) { m_position = position; }

void AudioFileRecording::finish(bool completed) { end(completed, {}); }

void AudioFileRecording::fail(const QString& reason) { end(false, reason); }

void AudioFileRecording::end(bool completed, const QString& failure)
{
    State state = State::Written;
    QString error;
    if (m_cancelled.load()) {
        state = State::Cancelled;
    } else if (!failure.isEmpty()) {
        state = State::Failed;
        error = failure;
    } else if (!completed || !m_writer.commit()) {
        state = State::Failed;
        error = m_writer.error().isEmpty() ? QStringLiteral("Speech could not be synthesized") : m_writer.error();
    }
    if (state != State::Written)
        m_writer.discard();
    {
        std::lock_guard lock(m_mutex);
        m_state = state;
        m_error = error;
    }
    m_changed.notify_all();
    if (m_finished)
        m_finished();
}

} // namespace velmor
