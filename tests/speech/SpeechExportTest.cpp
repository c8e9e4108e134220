#include "speech/EspeakEngine.h"
#include "speech/SpeechExport.h"
#include "speech/SpeechRecording.h"
#include "speech/Subtitles.h"

#include "../app/TestFiles.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <vector>

using namespace velmor;
using namespace testfiles;

namespace {

constexpr int kRate = 22050;

QString tagOf(SNDFILE* file, int kind)
{
    const char* value = sf_get_string(file, kind);
    return value ? QString::fromUtf8(value) : QString();
}

// The text of an ID3v2.3/2.4 frame (TIT2, TPE1, TALB, TRCK) at the start of an MP3 file:
// TagLib writes them, and libsndfile does not read them back.
QString id3Frame(const QByteArray& file, const char* id)
{
    if (!file.startsWith("ID3") || file.size() < 10)
        return {};
    const int version = file[3];
    const auto size = [&](qsizetype at, bool syncSafe) {
        qint64 value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << (syncSafe ? 7 : 8)) | (quint8(file[at + i]) & (syncSafe ? 0x7f : 0xff));
        return value;
    };
    const qint64 end = 10 + size(6, true);
    for (qsizetype at = 10; at + 10 <= end && file[at] != 0;) {
        const qint64 length = size(at + 4, version >= 4);
        if (file.mid(at, 4) == id) {
            const QByteArray body = file.mid(at + 11, length - 1);
            switch (file[at + 10]) {
            case 1:
            case 2: return QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData() + (file[at + 10] == 1 ? 2 : 0)),
                                              (body.size() - (file[at + 10] == 1 ? 2 : 0)) / 2).remove(QChar(0));
            default: return QString::fromUtf8(body).remove(QChar(0));
            }
        }
        at += 10 + length;
    }
    return {};
}

struct Silence {
    double start;
    double end;
};

// Stretches of at least 80 ms quieter than a whisper, in seconds, read from the written file.
std::vector<Silence> silencesIn(const QString& path, double* seconds)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<qint16> samples(std::size_t(info.frames));
    sf_read_short(file, samples.data(), info.frames);
    sf_close(file);
    *seconds = double(info.frames) / info.samplerate;
    const int frame = info.samplerate / 100;
    std::vector<Silence> silences;
    // The start counts as the end of a pause.
    double quietSince = 0;
    for (std::size_t at = 0; at + std::size_t(frame) <= samples.size(); at += std::size_t(frame)) {
        double energy = 0;
        for (int i = 0; i < frame; ++i)
            energy += double(samples[at + std::size_t(i)]) * samples[at + std::size_t(i)];
        const bool quiet = std::sqrt(energy / frame) < 200;
        const double time = double(at) / info.samplerate;
        if (quiet && quietSince < 0)
            quietSince = time;
        if (!quiet && quietSince >= 0) {
            if (time - quietSince >= 0.08 || quietSince == 0)
                silences.push_back({quietSince, time});
            quietSince = -1;
        }
    }
    return silences;
}

double secondsOf(const QString& srtTime)
{
    const QStringList parts = QString(srtTime).replace(u',', u':').split(u':');
    return parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts[2].toInt() + parts[3].toInt() / 1000.0;
}

} // namespace

TEST(SpeechExport, ChaptersBecomeNumberedFilesTaggedWithTheBookAndTheirTitle)
{
    const QString book = QStringLiteral("Old Tales\n\nChapter 1\nOnce.\n\nChapter 2: The road\nThen.\n");
    const std::vector<SpeechExportPiece> pieces =
        speechExportPieces({book, QStringLiteral("/out/book.ogg"), true, QString(), QStringLiteral("en"), {}});
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].path, QStringLiteral("/out/01 - Old Tales.ogg"));
    EXPECT_EQ(pieces[1].path, QStringLiteral("/out/02 - Chapter 1.ogg"));
    EXPECT_EQ(pieces[2].path, QStringLiteral("/out/03 - Chapter 2_ The road.ogg"));
    EXPECT_EQ(pieces[2].tags.title, QStringLiteral("Chapter 2: The road"));
    EXPECT_EQ(pieces[2].tags.album, QStringLiteral("Old Tales"));
    EXPECT_EQ(pieces[2].tags.artist, QStringLiteral("en"));
    EXPECT_EQ(pieces[2].tags.track, 3);
    EXPECT_EQ(pieces[0].text + pieces[1].text + pieces[2].text, book);

    const std::vector<SpeechExportPiece> titled =
        speechExportPieces({book, QStringLiteral("/out/book.ogg"), true, QStringLiteral("Tales"), {}, {}});
    EXPECT_EQ(titled[1].tags.album, QStringLiteral("Tales"));

    const std::vector<SpeechExportPiece> whole =
        speechExportPieces({book, QStringLiteral("/out/book.ogg"), false, QString(), {}, {}});
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].path, QStringLiteral("/out/book.ogg"));
    EXPECT_EQ(whole[0].tags.title, QStringLiteral("Old Tales"));
    EXPECT_EQ(whole[0].tags.track, 0);
    // Without headings, chapters give the single file of today.
    EXPECT_EQ(speechExportPieces({QStringLiteral("Just text."), QStringLiteral("/out/t.wav"), true, {}, {}, {}})[0].tags.title,
              QStringLiteral("t"));
}

TEST(Subtitles, OneLinePerSentenceHeardInTimeAndNeverPastTheSound)
{
    const QString text = QStringLiteral("First one here. Second one.\n\nThird.");
    // Words of the second sentence come twice (a restarted engine); the third is cut short.
    const std::vector<WordTime> words{{0, 2205}, {6, 4410}, {10, 6615}, {16, 22050}, {23, 25000},
                                      {16, 26000}, {29, 44100}};
    const std::vector<SubtitleCue> cues = subtitleCues(text, words, kRate, 33075);
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(cues[0].text, QStringLiteral("First one here."));
    EXPECT_EQ(cues[0].startMs, 100);
    EXPECT_EQ(cues[0].endMs, 1000);
    EXPECT_EQ(cues[1].text, QStringLiteral("Second one."));
    EXPECT_EQ(cues[2].startMs, 1500);
    EXPECT_EQ(cues[2].endMs, 1500);
    EXPECT_EQ(srtText(cues).section(u'\n', 0, 3),
              QStringLiteral("1\n00:00:00,100 --> 00:00:01,000\nFirst one here.\n"));
    EXPECT_EQ(lrcText(cues, QStringLiteral("Book"), 1500),
              QStringLiteral("[ti:Book]\n[length:00:01]\n[00:00.10]First one here.\n[00:01.00]Second one.\n"
                             "[00:01.50]Third.\n"));
}

// Tags are read back in each file's own format: INFO, Vorbis comments and ID3.
TEST(AudioFileWriter, TagsAreWrittenInEachTypesOwnFormat)
{
    const std::vector<qint16> second(std::size_t(kRate), qint16(1000));
    const AudioTags tags{QStringLiteral("Chapter 2: Ōsaka"), QStringLiteral("en-gb"), QStringLiteral("Old Tales"), 2};
    for (const char* name : {"s.wav", "s.flac", "s.ogg", "s.mp3"}) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QString::fromLatin1(name));
        AudioFileWriter writer(path, kRate, tags);
        ASSERT_TRUE(writer.write(second.data(), kRate));
        ASSERT_TRUE(writer.commit()) << writer.error().toStdString();
        QString title, artist, album, track;
        SF_INFO sound{};
        SNDFILE* readable = sf_open(path.toLocal8Bit().constData(), SFM_READ, &sound);
        ASSERT_TRUE(readable) << name;
        EXPECT_NEAR(double(sound.frames), kRate, kRate * 0.1) << name;
        sf_close(readable);
        if (QFileInfo(path).suffix() == u"mp3") {
            const QByteArray bytes = fileBytes(path);
            title = id3Frame(bytes, "TIT2");
            artist = id3Frame(bytes, "TPE1");
            album = id3Frame(bytes, "TALB");
            track = id3Frame(bytes, "TRCK");
        } else {
            SF_INFO info{};
            SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
            ASSERT_TRUE(file) << name;
            title = tagOf(file, SF_STR_TITLE);
            artist = tagOf(file, SF_STR_ARTIST);
            album = tagOf(file, SF_STR_ALBUM);
            track = tagOf(file, SF_STR_TRACKNUMBER);
            sf_close(file);
        }
        EXPECT_EQ(title, tags.title) << name;
        EXPECT_EQ(artist, tags.artist) << name;
        EXPECT_EQ(album, tags.album) << name;
        EXPECT_EQ(track, QStringLiteral("2")) << name;
    }
}

// Real speech: every subtitle starts where the sound of its sentence starts, after the pause
// before it, and none starts past the end of the sound.
TEST(SpeechRecordingSubtitles, StartWhereTheSpeechOfEachSentenceStarts)
{
    EspeakEngine engine(EspeakEngine::Output::Silent);
    ASSERT_GT(engine.ModeCount(), 0);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("talk.wav"));
    const QString text = QStringLiteral("The river was wide. We crossed it at dawn, slowly.\n\n"
                                        "Nobody spoke. The boat was old, and it leaked.\nThen we were over.");
    auto recording = std::make_shared<AudioFileRecording>(path, engine.sampleRate(), text.size(), std::function<void()>{},
                                                          RecordingExtras{AudioTags{QStringLiteral("Talk"), {}, {}, 0}, text});
    engine.record(text, recording);
    ASSERT_EQ(recording->wait(), AudioFileRecording::State::Written) << recording->error().toStdString();

    double seconds = 0;
    const std::vector<Silence> silences = silencesIn(path, &seconds);
    const QString srt = QString::fromUtf8(fileBytes(folder.filePath(QStringLiteral("talk.srt"))));
    static const QRegularExpression cue(QStringLiteral("(\\d\\d:\\d\\d:\\d\\d,\\d\\d\\d) --> (\\d\\d:\\d\\d:\\d\\d,\\d\\d\\d)\\n(.*)\\n"));
    QStringList lines;
    for (const QRegularExpressionMatch& match : cue.globalMatch(srt)) {
        lines << match.captured(3);
        const double start = secondsOf(match.captured(1));
        EXPECT_LE(secondsOf(match.captured(2)), seconds + 0.001);
        const auto nearest = std::min_element(silences.begin(), silences.end(), [&](const Silence& a, const Silence& b) {
            return std::abs(a.end - start) < std::abs(b.end - start);
        });
        ASSERT_NE(nearest, silences.end());
        EXPECT_NEAR(nearest->end, start, 0.05) << match.captured(3).toStdString();
    }
    EXPECT_EQ(lines, (QStringList{QStringLiteral("The river was wide."), QStringLiteral("We crossed it at dawn, slowly."),
                                  QStringLiteral("Nobody spoke."), QStringLiteral("The boat was old, and it leaked."),
                                  QStringLiteral("Then we were over.")}));
    const QString lrc = QString::fromUtf8(fileBytes(folder.filePath(QStringLiteral("talk.lrc"))));
    EXPECT_TRUE(lrc.startsWith(QStringLiteral("[ti:Talk]\n"))) << lrc.toStdString();
    EXPECT_EQ(lrc.count(QRegularExpression(QStringLiteral("^\\[\\d\\d:\\d\\d\\.\\d\\d\\]"),
                                           QRegularExpression::MultilineOption)),
              5);
}

// A cancelled recording leaves neither its audio nor its subtitles.
TEST(SpeechRecordingSubtitles, ACancelledRecordingLeavesNoFileAtAll)
{
    EspeakEngine engine(EspeakEngine::Output::Silent);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("talk.ogg"));
    const QString text = QStringLiteral("Words to be cut short. ").repeated(50);
    auto recording = std::make_shared<AudioFileRecording>(path, engine.sampleRate(), text.size(), std::function<void()>{},
                                                          RecordingExtras{{}, text});
    recording->cancel();
    engine.record(text, recording);
    EXPECT_EQ(recording->wait(), AudioFileRecording::State::Cancelled);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
