#include "speech/AudioFile.h"
#include "speech/SpeechRecording.h"

#include "../app/TestFiles.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numeric>
#include <optional>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace velmor;
using namespace testfiles;

namespace {

constexpr int kRate = 22050;

std::vector<qint16> tone(int samples)
{
    std::vector<qint16> wave(std::size_t(samples), 0);
    for (int i = 0; i < samples; ++i)
        wave[std::size_t(i)] = qint16(8000 * std::sin(2 * M_PI * 440 * i / kRate));
    return wave;
}

QStringList filesIn(const QTemporaryDir& folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

TEST(AudioFileType, ChosenByTheExtensionInAnyCase)
{
    EXPECT_EQ(audioFileTypeFor(QStringLiteral("/a.b/speech.wav")), AudioFileType::Wav);
    EXPECT_EQ(audioFileTypeFor(QStringLiteral("Speech.WAV")), AudioFileType::Wav);
    EXPECT_EQ(audioFileTypeFor(QStringLiteral("speech.flac")), AudioFileType::Flac);
    EXPECT_EQ(audioFileTypeFor(QStringLiteral("speech.Ogg")), AudioFileType::OggVorbis);
    EXPECT_EQ(audioFileTypeFor(QStringLiteral("speech.oga")), AudioFileType::OggVorbis);
    EXPECT_EQ(audioFileTypeFor(QStringLiteral("my.speech.mp3")), AudioFileType::Mp3);
    for (const char* name : {"speech.txt", "wav", "speech.wav.bak", "speech", "speech.wav/", "speech.mp4"})
        EXPECT_FALSE(audioFileTypeFor(QString::fromLatin1(name))) << name;
}

TEST(AudioFileWriter, EachTypeGivesAFileOfItsKindOnlyOnceCommitted)
{
    struct Case {
        const char* name;
        int majorFormat;
    };
    const std::vector<qint16> second = tone(kRate);
    for (const Case& c : {Case{"s.wav", SF_FORMAT_WAV}, Case{"s.flac", SF_FORMAT_FLAC}, Case{"s.ogg", SF_FORMAT_OGG},
                          Case{"s.mp3", SF_FORMAT_MPEG}}) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QString::fromLatin1(c.name));
        AudioFileWriter writer(path, kRate);
        for (int part = 0; part < 10; ++part)
            ASSERT_TRUE(writer.write(second.data() + part * kRate / 10, kRate / 10)) << c.name;
        EXPECT_FALSE(QFile::exists(path)) << c.name;
        ASSERT_TRUE(writer.commit()) << c.name << " " << writer.error().toStdString();
        EXPECT_EQ(filesIn(folder), QStringList{QString::fromLatin1(c.name)});

        SF_INFO info{};
        SNDFILE* read = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
        ASSERT_TRUE(read) << c.name;
        EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, c.majorFormat) << c.name;
        EXPECT_EQ(info.samplerate, kRate);
        EXPECT_EQ(info.channels, 1);
        // Lossy encoders add a little padding.
        EXPECT_NEAR(double(info.frames), kRate, kRate * 0.1) << c.name;
        sf_close(read);
    }
}

TEST(AudioFileWriter, AnUncommittedOrRefusedWriteLeavesTheOldFileAndNoOther)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept.wav"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old bytes");
    old.close();
    const std::vector<qint16> second = tone(kRate);
    {
        AudioFileWriter writer(path, kRate);
        ASSERT_TRUE(writer.write(second.data(), kRate));
    }
    {
        AudioFileWriter writer(path, kRate);
        ASSERT_TRUE(writer.write(second.data(), kRate));
        writer.discard();
        EXPECT_FALSE(writer.commit());
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old bytes"));
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("kept.wav")});

    EXPECT_THROW(AudioFileWriter(folder.filePath(QStringLiteral("speech.txt")), kRate), AudioFileError);
    EXPECT_THROW(AudioFileWriter(folder.filePath(QStringLiteral("missing/speech.wav")), kRate), AudioFileError);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.wav")));
    EXPECT_THROW(AudioFileWriter(folder.filePath(QStringLiteral("folder.wav")), kRate), AudioFileError);
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("kept.wav")});
}

// The file size limit stands in for a full disk: whatever the encoder (libsndfile does not pass
// on every encoder's failed writes), the write fails, says why, and the old file stays.
TEST(AudioFileWriter, AFullDiskFailsWithTheReasonAndKeepsTheOldFileForEveryType)
{
    const std::vector<qint16> second = tone(kRate);
    for (const char* name : {"s.wav", "s.flac", "s.ogg", "s.mp3"}) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(writeFileBytes(path, "old bytes"));
        {
            const FileSizeLimit limit(8192);
            AudioFileWriter writer(path, kRate);
            bool written = true;
            for (int part = 0; part < 20 && written; ++part)
                written = writer.write(second.data(), kRate);
            EXPECT_FALSE(written && writer.commit()) << name;
            EXPECT_EQ(writer.error(), QStringLiteral("Cannot write %1: the file is larger than this system allows; "
                                                     "the file that was there is kept as it was").arg(path))
                << name;
        }
        EXPECT_EQ(fileBytes(path), QByteArray("old bytes")) << name;
        EXPECT_EQ(filesIn(folder), QStringList{QString::fromLatin1(name)});
    }
}

// An audio file is replaced as carefully as a text file: its owner, group and mode stay, and
// so do its other names.
TEST(AudioFileWriter, AReplacedFileKeepsItsOwnerModeAndHardLinks)
{
    QTemporaryDir folder;
    const QString alone = folder.filePath(QStringLiteral("alone.flac"));
    const QString linked = folder.filePath(QStringLiteral("linked.mp3"));
    const QString other = folder.filePath(QStringLiteral("other name.mp3"));
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    const gid_t group = geteuid() == 0 ? 65534 : getegid();
    ASSERT_TRUE(writeFileBytes(alone, "old") && writeFileBytes(linked, "old"));
    ASSERT_EQ(chown(QFile::encodeName(alone).constData(), owner, group), 0);
    ASSERT_EQ(chmod(QFile::encodeName(alone).constData(), 0640), 0);
    ASSERT_EQ(link(QFile::encodeName(linked).constData(), QFile::encodeName(other).constData()), 0);
    const auto status = [](const QString& path) {
        struct stat got {};
        stat(QFile::encodeName(path).constData(), &got);
        return got;
    };
    const ino_t linkedInode = status(linked).st_ino;
    const std::vector<qint16> second = tone(kRate);
    for (const QString& path : {alone, linked}) {
        AudioFileWriter writer(path, kRate);
        ASSERT_TRUE(writer.write(second.data(), kRate));
        ASSERT_TRUE(writer.commit()) << writer.error().toStdString();
    }
    EXPECT_EQ(status(alone).st_uid, owner);
    EXPECT_EQ(status(alone).st_gid, group);
    EXPECT_EQ(status(alone).st_mode & 07777, 0640u);
    EXPECT_EQ(status(linked).st_ino, linkedInode);
    EXPECT_EQ(status(other).st_nlink, 2u);
    SF_INFO info{};
    SNDFILE* read = sf_open(QFile::encodeName(other).constData(), SFM_READ, &info);
    ASSERT_TRUE(read);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_MPEG);
    sf_close(read);
    EXPECT_EQ(filesIn(folder).size(), 3);
}

// A long text is recorded part by part: the parts must cover it exactly, stay short, end where
// the voice pauses when there is such a place, and never split a character.
TEST(RecordingParts, CoverTheTextAndEndAtSentencesThenSpacesNeverInsideACharacter)
{
    const auto parts = [](const QString& text) {
        std::vector<QString> cut;
        for (qsizetype from = 0; from < text.size();) {
            const qsizetype end = recordingPartEnd(text, from);
            EXPECT_GT(end, from);
            EXPECT_LE(end - from, 8001);
            cut.push_back(text.mid(from, end - from));
            from = end;
        }
        return cut;
    };
    const struct {
        QString text;
        std::optional<QString> partEnd; // how every part but the last ends
    } cases[] = {
        {QStringLiteral("One sentence of the story, told slowly. ").repeated(600), QStringLiteral(". ")},
        {QStringLiteral("吾輩は猫である。名前はまだ無いのだ。").repeated(1500), QStringLiteral("\u3002")},
        {QStringLiteral("word ").repeated(5000), QStringLiteral(" ")},
        {QStringLiteral("x") + QStringLiteral("\U0001F600").repeated(9000), std::nullopt},
    };
    for (const auto& [text, partEnd] : cases) {
        const std::vector<QString> cut = parts(text);
        EXPECT_GT(cut.size(), 1u);
        EXPECT_EQ(std::accumulate(cut.begin(), cut.end(), QString()), text);
        for (std::size_t i = 0; i + 1 < cut.size(); ++i) {
            EXPECT_FALSE(cut[i].back().isHighSurrogate());
            EXPECT_TRUE(!partEnd || cut[i].endsWith(*partEnd)) << cut[i].right(20).toStdString();
        }
    }
    EXPECT_EQ(recordingPartEnd(QStringLiteral("short"), 0), 5);
}
