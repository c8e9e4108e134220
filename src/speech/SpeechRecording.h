#pragma once

#include "speech/AudioFile.h"
#include "speech/SpeechSink.h"
#include "speech/Subtitles.h"

#include <QString>
#include <QStringView>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace velmor {

// Where the part of text that starts at from ends, for synthesizing a long text part by part:
// where the voice pauses anyway (partEnd) within a stretch long enough to make the parts'
// overhead small; the end of the text for the last part.
qsizetype recordingPartEnd(QStringView text, qsizetype from);

// What a recording writes besides the sound.
struct RecordingExtras {
    AudioTags tags;
    // The text recorded, when subtitles are wanted: a .srt and a .lrc file beside the audio file,
    // with the audio file's name, written only when the audio file is.
    QString subtitledText;
};

// The subtitle files that go with an audio file: its path with ".srt" and ".lrc" for its extension.
QString subRipPathFor(const QString& audioPath);
QString lyricsPathFor(const QString& audioPath);

// Speech recorded into an audio file (AudioFileWriter): the file appears at its path only
// when the whole text was written; a cancel or a failure leaves nothing there.
class AudioFileRecording : public SpeechSink {
public:
    enum class State { Running, Written, Cancelled, Failed };

    // Throws AudioFileError when the file cannot be made. finished runs once, on the engine's
    // thread, when the state has left Running.
    AudioFileRecording(const QString& path, int sampleRate, qsizetype textLength, std::function<void()> finished = {},
                       RecordingExtras extras = {});

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

    // When the words were heard; complete once the recording has finished.
    const std::vector<WordTime>& wordTimes() const { return m_words; }

    bool take(const qint16* samples, qsizetype count) override;
    void wordBegins(qsizetype position, qsizetype sampleInNextSamples) override;
    void reached(qsizetype position) override;
    void finish(bool completed) override;
    void fail(const QString& reason) override;

private:
    void end(bool completed, const QString& failure);
    QString commitWithSubtitles();

    AudioFileWriter m_writer;
    const QString m_path;
    const QString m_subtitledText;
    const QString m_title;
    std::vector<WordTime> m_words; // on the engine's thread until finished
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
