#pragma once

#include "document/AtomicFile.h"

#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>

struct sf_private_tag;

namespace velmor {
struct SoundStream;
}

namespace velmor {

// The kinds of audio file speech is saved as, chosen by the file name's extension.
enum class AudioFileType { Wav, Flac, OggVorbis, Mp3 };

// ".wav", ".flac", ".ogg" (also ".oga") and ".mp3", in any case; nothing for any other name.
std::optional<AudioFileType> audioFileTypeFor(const QString& fileName);
// The extensions audioFileTypeFor knows, for messages and file dialogs: ".wav, .flac, .ogg or .mp3".
QString audioFileExtensions();

// What a file says about itself, in its own kind of tags (INFO for WAV, Vorbis comments for FLAC
// and Ogg, ID3 for MP3); empty fields are left out, as is a track number of 0.
struct AudioTags {
    QString title;
    QString artist;
    QString album;
    int track = 0;
};

// A mono 16-bit audio file written piece by piece through libsndfile. Nothing is at path until
// commit() succeeds (AtomicFileWriter): a failed or abandoned write leaves the old file, or none,
// as it was. Every byte the encoder writes is checked here, as libsndfile does not pass on
// every encoder's failed writes.
class AudioFileWriter {
public:
    // Throws AudioFileError when the type is unknown or unavailable, or the file cannot be made.
    AudioFileWriter(const QString& path, int sampleRate, const AudioTags& tags = {});
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // False when the samples could not all be written (a full disk); error() then says why.
    bool write(const qint16* samples, qsizetype count);
    // Finishes the file and puts it at path; false (error() says why) leaves no file there.
    bool commit();
    // Gives the file up: what was written is removed at once.
    void discard();
    QString error() const { return m_error; }

private:
    void fail(const QString& reason);
    QString fileFailure() const;

    QString m_path;
    std::unique_ptr<AtomicFileWriter> m_file;
    std::unique_ptr<SoundStream> m_stream;
    sf_private_tag* m_sound = nullptr;
    QString m_error;
};

// What went wrong with an audio file; what() is the user-facing text (UTF-8).
class AudioFileError : public std::runtime_error {
public:
    explicit AudioFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace velmor
