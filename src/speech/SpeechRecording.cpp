#include "speech/SpeechRecording.h"

#include <algorithm>

namespace velmor {

namespace {

// About a minute of speech: parts take a fraction of a second to synthesize, so speech queued
// meanwhile starts soon, and a part's overhead is lost in its length.
constexpr qsizetype kShortestPart = 1000;
constexpr qsizetype kLongestPart = 8000;

bool endsSentence(QStringView text, qsizetype at)
{
    const QChar c = text[at];
    if (c == u'\u3002' || c == u'\uFF01' || c == u'\uFF1F')
        return true;
    const QChar next = at + 1 < text.size() ? text[at + 1] : QChar(u' ');
    if (c == u'\n')
        return next == u'\n';
    return (c == u'.' || c == u'!' || c == u'?') && next.isSpace();
}

} // namespace

qsizetype recordingPartEnd(QStringView text, qsizetype from)
{
    if (text.size() - from <= kLongestPart)
        return text.size();
    const qsizetype longest = from + kLongestPart;
    for (qsizetype at = from + kShortestPart; at < longest; ++at) {
        if (endsSentence(text, at))
            return at + 1;
    }
    for (qsizetype at = longest; at > from + kShortestPart; --at) {
        if (text[at - 1].isSpace())
            return at;
    }
    // Never between the two halves of a surrogate pair.
    return text[longest - 1].isHighSurrogate() ? longest + 1 : longest;
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

void AudioFileRecording::finish(bool completed)
{
    State state = State::Written;
    QString error;
    if (m_cancelled.load()) {
        state = State::Cancelled;
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
