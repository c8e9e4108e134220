#include "speech/AudioFile.h"

#include <QFileInfo>
#include <algorithm>
#include <sndfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/tstring.h>

namespace velmor {

// libsndfile writes through the callbacks below, so that the writer sees, and keeps, every
// failed write. The sound starts after the tags written before it (ID3v2 of an MP3 file):
// libsndfile sees only the sound, and its header rewritten at the end does not overwrite them.
struct SoundStream {
    AtomicFileWriter* file;
    qint64 start;
};

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

SoundStream& streamOf(void* stream) { return *static_cast<SoundStream*>(stream); }
AtomicFileWriter& fileOf(void* stream) { return *streamOf(stream).file; }
sf_count_t fileLength(void* stream) { return fileOf(stream).size() - streamOf(stream).start; }
sf_count_t seekIn(sf_count_t offset, int whence, void* stream)
{
    const qint64 at = fileOf(stream).seek(whence == SEEK_SET ? offset + streamOf(stream).start : offset, whence);
    return at < 0 ? at : at - streamOf(stream).start;
}
sf_count_t readFrom(void* into, sf_count_t count, void* stream) { return fileOf(stream).read(static_cast<char*>(into), count); }
sf_count_t tellIn(void* stream) { return fileOf(stream).position() - streamOf(stream).start; }
sf_count_t writeTo(const void* from, sf_count_t count, void* stream)
{
    return fileOf(stream).write(QByteArrayView(static_cast<const char*>(from), qsizetype(count))) ? count : 0;
}

TagLib::String tagText(const QString& text) { return TagLib::String(text.toStdString(), TagLib::String::UTF8); }

// An ID3v2 tag: the encoder behind libsndfile writes only ID3v1, cut to 30 Latin-1 characters,
// where players look for ID3v2 first.
QByteArray id3v2Tag(const AudioTags& tags)
{
    if (tags.title.isEmpty() && tags.artist.isEmpty() && tags.album.isEmpty() && tags.track <= 0)
        return {};
    TagLib::ID3v2::Tag tag;
    tag.setTitle(tagText(tags.title));
    tag.setArtist(tagText(tags.artist));
    tag.setAlbum(tagText(tags.album));
    tag.setTrack(unsigned(std::max(0, tags.track)));
    const TagLib::ByteVector bytes = tag.render();
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}
SF_VIRTUAL_IO g_fileAccess{fileLength, seekIn, readFrom, writeTo, tellIn};

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

AudioFileWriter::AudioFileWriter(const QString& path, int sampleRate, const AudioTags& tags)
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
    m_file = std::make_unique<AtomicFileWriter>(path);
    if (!m_file->ok())
        throw AudioFileError(cannotWrite(path, fileFailure()));
    m_stream = std::make_unique<SoundStream>(SoundStream{m_file.get(), 0});
    if (*type == AudioFileType::Mp3) {
        const QByteArray tag = id3v2Tag(tags);
        if (!tag.isEmpty() && !m_file->write(tag))
            throw AudioFileError(cannotWrite(path, fileFailure()));
        m_stream->start = tag.size();
    }
    m_sound = sf_open_virtual(&g_fileAccess, SFM_WRITE, &info, m_stream.get());
    if (!m_sound)
        throw AudioFileError(cannotWrite(path, m_file->ok() ? QString::fromUtf8(sf_strerror(nullptr)) : fileFailure()));
    // Before the first samples: the encoders put the tags at the start of the file.
    const auto tag = [this, type](int kind, const QString& value) {
        if (!value.isEmpty() && *type != AudioFileType::Mp3)
            sf_set_string(m_sound, kind, value.toUtf8().constData());
    };
    tag(SF_STR_TITLE, tags.title);
    tag(SF_STR_ARTIST, tags.artist);
    tag(SF_STR_ALBUM, tags.album);
    if (tags.track > 0)
        tag(SF_STR_TRACKNUMBER, QString::number(tags.track));
}

// What the file's writer met, and that an old file is still there as it was.
QString AudioFileWriter::fileFailure() const
{
    if (m_file->replacesAFile() && !m_file->refusedLink())
        return QStringLiteral("%1; the file that was there is kept as it was").arg(m_file->error());
    return m_file->error();
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
    if (sf_write_short(m_sound, samples, sf_count_t(count)) != sf_count_t(count) || !m_file->ok()) {
        fail(m_file->ok() ? QString::fromUtf8(sf_strerror(m_sound)) : fileFailure());
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
    m_stream.reset();
}

bool AudioFileWriter::commit()
{
    if (!m_sound || !m_error.isEmpty())
        return false;
    // Closing writes the header and the encoder's last frames.
    const int closed = sf_close(m_sound);
    m_sound = nullptr;
    if (!m_file->ok() || closed != 0) {
        fail(m_file->ok() ? QString::fromUtf8(sf_error_number(closed)) : fileFailure());
        return false;
    }
    if (!m_file->commit()) {
        fail(fileFailure());
        return false;
    }
    return true;
}

} // namespace velmor
