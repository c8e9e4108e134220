// Speech written to audio files: WAV export speed against real time, the same text by chapters
// with subtitles against it, how far the subtitles are from the sound they announce, and a 1 MB
// English text written as Ogg Vorbis with the peak memory it takes (it must not grow with the text).

#include "speech/EspeakEngine.h"
#include "speech/SpeechExport.h"
#include "speech/SpeechRecording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <vector>
#include <memory>
#include <sys/resource.h>

namespace {

long peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Varied English prose: sentences of different lengths, numbers and a paragraph break now and then.
QString englishText(qsizetype characters)
{
    const QStringList sentences = {
        QStringLiteral("The quick brown fox jumps over the lazy dog."),
        QStringLiteral("It was the best of times, it was the worst of times, it was the age of wisdom."),
        QStringLiteral("On the 3rd of March 1921, some 250 people gathered by the river to watch the boats."),
        QStringLiteral("Would you like another cup of tea?"),
        QStringLiteral("Nobody expected the weather to change so suddenly, yet by noon the sky was dark and the wind had risen."),
        QStringLiteral("Reading aloud helps the ear catch what the eye misses!"),
    };
    QString text;
    text.reserve(characters + 200);
    quint32 state = 7;
    while (text.size() < characters) {
        state = state * 1103515245u + 12345u;
        text += sentences[(state >> 16) % sentences.size()];
        text += (state >> 8) % 9 == 0 ? QStringLiteral("\n\n") : QStringLiteral(" ");
    }
    return text;
}

struct Export {
    double wallSeconds;
    double speechSeconds;
    qint64 fileBytes;
};

Export exportText(velmor::EspeakEngine& engine, const QString& text, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    auto recording = std::make_shared<velmor::AudioFileRecording>(path, engine.sampleRate(), text.size());
    engine.record(text, recording);
    if (recording->wait() != velmor::AudioFileRecording::State::Written)
        qFatal("the export failed: %s", qPrintable(recording->error()));
    return {timer.nsecsElapsed() / 1e9, recording->seconds(), QFileInfo(path).size()};
}

// The same text with a heading every ~5,000 characters, at a paragraph break.
QString withChapters(const QString& text)
{
    QString book;
    int chapter = 0;
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype cut = text.indexOf(QStringLiteral("\n\n"), from + 5000);
        cut = cut < 0 ? text.size() : cut + 2;
        book += QStringLiteral("Chapter %1\n\n").arg(++chapter) + text.mid(from, cut - from);
        from = cut;
    }
    return book;
}

// Where the sound starts again after each pause of 80 ms or more (10 ms frames under an RMS of
// 200), in seconds.
std::vector<double> soundStarts(const QString& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    std::vector<qint16> samples(std::size_t(info.frames));
    sf_read_short(file, samples.data(), info.frames);
    sf_close(file);
    const std::size_t frame = std::size_t(info.samplerate / 100);
    std::vector<double> starts;
    double quietSince = 0;
    bool quiet = true;
    for (std::size_t at = 0; at + frame <= samples.size(); at += frame) {
        double energy = 0;
        for (std::size_t i = 0; i < frame; ++i)
            energy += double(samples[at + i]) * samples[at + i];
        const bool nowQuiet = std::sqrt(energy / double(frame)) < 200;
        const double time = double(at) / info.samplerate;
        if (nowQuiet && !quiet)
            quietSince = time;
        if (!nowQuiet && quiet && (time - quietSince >= 0.08 || quietSince == 0))
            starts.push_back(time);
        quiet = nowQuiet;
    }
    return starts;
}

// The largest distance from a subtitle's start to the nearest start of sound, in ms.
double worstSubtitleOffsetMs(const QString& audioPath)
{
    const std::vector<double> starts = soundStarts(audioPath);
    QFile srt(velmor::subRipPathFor(audioPath));
    srt.open(QIODevice::ReadOnly);
    static const QRegularExpression cue(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d),(\\d\\d\\d) -->"),
                                        QRegularExpression::MultilineOption);
    double worst = 0;
    for (const QRegularExpressionMatch& match : cue.globalMatch(QString::fromUtf8(srt.readAll()))) {
        const double start = match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60
            + match.captured(3).toInt() + match.captured(4).toInt() / 1000.0;
        double nearest = 1e9;
        for (double sound : starts)
            nearest = std::min(nearest, std::abs(sound - start));
        worst = std::max(worst, nearest * 1000);
    }
    return worst;
}

// Every chapter with its subtitles, one after another, as the export does.
Export exportChapters(velmor::EspeakEngine& engine, const QString& text, const QString& path, double* worstOffsetMs)
{
    QElapsedTimer timer;
    timer.start();
    Export total{0, 0, 0};
    const std::vector<velmor::SpeechExportPiece> pieces = velmor::speechExportPieces({text, path, true, {}, {}, {}});
    for (const velmor::SpeechExportPiece& piece : pieces) {
        auto recording = std::make_shared<velmor::AudioFileRecording>(
            piece.path, engine.sampleRate(), piece.text.size(), std::function<void()>{},
            velmor::RecordingExtras{piece.tags, piece.text});
        engine.record(piece.text, recording);
        if (recording->wait() != velmor::AudioFileRecording::State::Written)
            qFatal("the export failed: %s", qPrintable(recording->error()));
        total.speechSeconds += recording->seconds();
        total.fileBytes += QFileInfo(piece.path).size();
    }
    total.wallSeconds = timer.nsecsElapsed() / 1e9;
    *worstOffsetMs = 0;
    for (const velmor::SpeechExportPiece& piece : pieces)
        *worstOffsetMs = std::max(*worstOffsetMs, worstSubtitleOffsetMs(piece.path));
    return total;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    velmor::EspeakEngine engine(velmor::EspeakEngine::Output::Silent);
    engine.SelectMode(1);
    engine.setSpeed(150);

    const Export wav = exportText(engine, englishText(50'000), folder.filePath(QStringLiteral("speech.wav")));
    std::printf("WAV export, 50 kB English text: %.0f s of speech in %.2f s: %.0fx real time (goal >= 300x)\n",
                wav.speechSeconds, wav.wallSeconds, wav.speechSeconds / wav.wallSeconds);
    std::printf("  peak RSS so far: %ld MB\n", peakRssMegabytes());

    QTemporaryDir chapters;
    double worstOffsetMs = 0;
    const Export book = exportChapters(engine, withChapters(englishText(50'000)),
                                       chapters.filePath(QStringLiteral("book.wav")), &worstOffsetMs);
    std::printf("WAV export by chapters with subtitles, same text: %.0f s of speech in %.2f s: %.0fx real time, "
                "%.2fx the single file's speed (goal >= 0.9x)\n",
                book.speechSeconds, book.wallSeconds, book.speechSeconds / book.wallSeconds,
                (book.speechSeconds / book.wallSeconds) / (wav.speechSeconds / wav.wallSeconds));
    std::printf("  subtitles: at most %.0f ms from the sound they announce (goal <= 50 ms)\n", worstOffsetMs);

    const QString megabyte = englishText(1024 * 1024);
    const Export ogg = exportText(engine, megabyte, folder.filePath(QStringLiteral("speech.ogg")));
    std::printf("Ogg Vorbis export, 1 MB English text: %.1f h of speech in %.0f s (%.0fx real time), %.0f MB file\n",
                ogg.speechSeconds / 3600, ogg.wallSeconds, ogg.speechSeconds / ogg.wallSeconds, ogg.fileBytes / 1e6);
    std::printf("  peak RSS: %ld MB (goal < 150 MB)\n", peakRssMegabytes());
    return 0;
}
