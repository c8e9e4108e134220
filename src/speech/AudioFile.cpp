#include "speech/AudioFile.h"

#include <QFileInfo>
#include <sndfile.h>

namespace velmor {

namespace {

int sndfileFormatOf(AudioFileType type)
{
    switch (type) {
    case AudioFileType::Wav: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case AudioFileType::Flac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFileType::OggVorbis: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFileType::Mp3: return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

QString typeName(AudioFileType type)
{
    switch (type) {
    case AudioFileType::Wav: return QStringLiteral("WAV");
    case AudioFileType::Flac: return QStringLiteral("FLAC");
    case AudioFileType::OggVorbis: return QStringLiteral("Ogg Vorbis");
    case AudioFileType::Mp3: return QStringLiteral("MP3");
    }
    return {};
}

QString cannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write %1: %2").arg(path, reason);
}

} // namespace

std::optional<AudioFileType> audioFileTypeFor(const QString& fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == u"wav")
        return AudioFileType::Wav;
    if (extension == u"flac")
        return AudioFileType::Flac;
    if (extension == u"ogg" || extension == u"oga")
        return AudioFileType::OggVorbis;
    if (extension == u"mp3")
        return AudioFileType::Mp3;
    return std::nullopt;
}

QString audioFileExtensions() { return QStringLiteral(".wav, .flac, .ogg or .mp3"); }

AudioFileWriter::AudioFileWriter(const QString& path, int sampleRate)
    : m_path(path)
{
    const std::optional<AudioFileType> type = audioFileTypeFor(path);
    if (!type)
        throw AudioFileError(cannotWrite(path, QStringLiteral("the name must end in %1").arg(audioFileExtensions())));
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = sndfileFormatOf(*type);
    if (!sf_format_check(&info))
        throw AudioFileError(cannotWrite(path, QStringLiteral("this system's libsndfile cannot write %1 files").arg(typeName(*type))));
    m_file = std::make_unique<ReplacementFile>(path);
    if (m_file->descriptor() < 0)
        throw AudioFileError(cannotWrite(path, QStringLiteral("the file cannot be created")));
    m_sound = sf_open_fd(m_file->descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (!m_sound)
        throw AudioFileError(cannotWrite(path, QString::fromUtf8(sf_strerror(nullptr))));
}

AudioFileWriter::~AudioFileWriter() { discard(); }

void AudioFileWriter::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = cannotWrite(m_path, reason);
}

bool AudioFileWriter::write(const qint16* samples, qsizetype count)
{
    if (!m_sound || !m_error.isEmpty())
        return false;
    if (sf_write_short(m_sound, samples, sf_count_t(count)) != sf_count_t(count)) {
        fail(QString::fromUtf8(sf_strerror(m_sound)));
        return false;
    }
    return true;
}

void AudioFileWriter::discard()
{
    if (m_sound)
        sf_close(m_sound);
    m_sound = nullptr;
    m_file.reset();
}

bool AudioFileWriter::commit()
{
    if (!m_sound || !m_error.isEmpty())
        return false;
    // Closing writes the header and the encoder's last frames.
    const int closed = sf_close(m_sound);
    m_sound = nullptr;
    if (closed != 0) {
        fail(QString::fromUtf8(sf_error_number(closed)));
        return false;
    }
    if (!m_file->commit()) {
        fail(QStringLiteral("the file could not be completed (is the disk full?)"));
        return false;
    }
    return true;
}

} // namespace velmor
