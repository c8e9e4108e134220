// Speech written to audio files: WAV export speed against real time, and a 1 MB English text
// written as Ogg Vorbis with the peak memory it takes (it must not grow with the text).

#include "speech/EspeakEngine.h"
#include "speech/SpeechRecording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
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

    const QString megabyte = englishText(1024 * 1024);
    const Export ogg = exportText(engine, megabyte, folder.filePath(QStringLiteral("speech.ogg")));
    std::printf("Ogg Vorbis export, 1 MB English text: %.1f h of speech in %.0f s (%.0fx real time), %.0f MB file\n",
                ogg.speechSeconds / 3600, ogg.wallSeconds, ogg.speechSeconds / ogg.wallSeconds, ogg.fileBytes / 1e6);
    std::printf("  peak RSS: %ld MB (goal < 150 MB)\n", peakRssMegabytes());
    return 0;
}
