#include "speech/SpeechRecording.h"

#include "speech/TextPreparation.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <memory>

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

QString subRipPathFor(const QString& audioPath)
{
    const QFileInfo audio(audioPath);
    return audio.dir().filePath(audio.completeBaseName() + QStringLiteral(".srt"));
}

QString lyricsPathFor(const QString& audioPath)
{
    const QFileInfo audio(audioPath);
    return audio.dir().filePath(audio.completeBaseName() + QStringLiteral(".lrc"));
}

AudioFileRecording::AudioFileRecording(const QString& path, int sampleRate, qsizetype textLength,
                                       std::function<void()> finished, RecordingExtras extras)
    : m_writer(path, sampleRate, extras.tags)
    , m_path(path)
    , m_subtitledText(std::move(extras.subtitledText))
    , m_title(extras.tags.title)
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

void AudioFileRecording::wordBegins(qsizetype position, qsizetype sampleInNextSamples)
{
    m_words.push_back({position, m_samples.load() + sampleInNextSamples});
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
    } else if (!completed) {
        state = State::Failed;
        error = m_writer.error().isEmpty() ? QStringLiteral("Speech could not be synthesized") : m_writer.error();
    } else {
        error = commitWithSubtitles();
        if (!error.isEmpty())
            state = State::Failed;
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

// The subtitles are made ready before the audio file is put in place and put beside it after,
// so that no subtitles are left without their audio; why it failed, or nothing.
QString AudioFileRecording::commitWithSubtitles()
{
    std::vector<std::pair<QString, QByteArray>> subtitles;
    if (!m_subtitledText.isEmpty()) {
        const qint64 samples = m_samples.load();
        const std::vector<SubtitleCue> cues = subtitleCues(m_subtitledText, m_words, m_sampleRate, samples);
        subtitles.emplace_back(subRipPathFor(m_path), srtText(cues).toUtf8());
        subtitles.emplace_back(lyricsPathFor(m_path), lrcText(cues, m_title, samples * 1000 / m_sampleRate).toUtf8());
    }
    std::vector<std::unique_ptr<AtomicFileWriter>> files;
    for (const auto& [path, bytes] : subtitles) {
        files.push_back(std::make_unique<AtomicFileWriter>(path));
        if (!files.back()->ok() || !files.back()->write(bytes))
            return QStringLiteral("Cannot write %1: %2").arg(path, files.back()->error());
    }
    if (!m_writer.commit())
        return m_writer.error().isEmpty() ? QStringLiteral("Speech could not be synthesized") : m_writer.error();
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!files[i]->commit())
            return QStringLiteral("Cannot write %1: %2").arg(subtitles[i].first, files[i]->error());
    return {};
}

} // namespace velmor
