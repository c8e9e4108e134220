// Random text through the synthesis helper, reporting every death of the helper with the input
// that caused it. Mixed scripts, unassigned code points, jamo, control characters and
// punctuation, in the voices that read them and in voices that do not.
//
//   fuzz_synthesis [--seconds N] [--seed N] [--raw] [--valgrind] [--out FILE] [--replay FILE]
//
// By default each input goes the way speech goes (text preparation, the unsafe-input filter,
// the helper): a death there is a fault that reaches listeners. --raw hands inputs to the helper
// as they are, to find new inputs for the filter's list. --valgrind runs the helper under
// valgrind, which ends it at the first read of freed memory, so that faults that do not crash
// every time are found too. Deaths are printed (and appended to FILE) as lines of the regression
// list: the voice, a tab, the input with \x{...} for every character outside printable ASCII.
// --replay runs the inputs of such a list instead of random ones. Exit status 1 when the helper died.

#include "speech/EspeakWorker.h"
#include "speech/SynthesisHelper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

using namespace velmor;

namespace {

struct Voice {
    QByteArray name;
    QByteArray language;
    bool autoLanguage;
};

const Voice kVoices[] = {
    {"en-us", "en", false}, {"en-us", "en", true}, {"ja", "ja", false}, {"ja", "ja", true}, {"ko", "ko", false},
    {"cmn", "cmn", false},  {"ka", "ka", false},   {"ru", "ru", true},  {"ru", "ru", false}, {"el", "el", false},
    {"hi", "hi", false},    {"ar", "ar", false},   {"th", "th", false}, {"fr", "fr", false}, {"de", "de", false},
};

// Ranges of code points drawn from: scripts the voices read, scripts they do not, unassigned
// and control code points.
const std::pair<char32_t, char32_t> kRanges[] = {
    {0x20, 0x7E},     {0xA0, 0x24F},    {0x370, 0x3FF},   {0x400, 0x4FF},   {0x590, 0x6FF},
    {0x900, 0x97F},   {0xE00, 0xE7F},   {0x10A0, 0x10FF}, {0x1100, 0x11FF}, {0x3000, 0x30FF},
    {0x3130, 0x318F}, {0x4E00, 0x4FFF}, {0xAC00, 0xD7A3}, {0xFF00, 0xFFEF}, {0x1F300, 0x1F6FF},
    {0x2000, 0x206F}, {0x0, 0x1F},      {0x2E80, 0x2FDF}, {0xA960, 0xA97F}, {0xD7B0, 0xD7FF},
    {0x20000, 0x2A6DF}, {0xE000, 0xE0FF}, {0x0378, 0x0379}, {0x05C8, 0x05CF},
};
const char16_t kPunctuation[] = u"?!.,;:-\"'() \r\n、。？！「」…・〜";

QString randomText(std::mt19937& random)
{
    const int length = std::uniform_int_distribution(1, 16)(random);
    QString text;
    for (int i = 0; i < length; ++i) {
        if (std::uniform_int_distribution(0, 3)(random) == 0) {
            text += QChar(kPunctuation[std::uniform_int_distribution<std::size_t>(0, std::size(kPunctuation) - 2)(random)]);
            continue;
        }
        const auto& [first, last] = kRanges[std::uniform_int_distribution<std::size_t>(0, std::size(kRanges) - 1)(random)];
        const char32_t c = std::uniform_int_distribution<char32_t>(first, last)(random);
        if (c == 0 || (c >= 0xD800 && c <= 0xDFFF))
            continue;
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

QString escaped(const QString& text)
{
    QString result;
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x20 && c < 0x7F && c != u'\\')
            result += QChar(c);
        else
            result += QStringLiteral("\\x{%1}").arg(quint32(c), 0, 16);
    }
    return result;
}

// The inputs of a list as fuzz_synthesis writes it; each voice reads as its own language.
std::vector<std::pair<Voice, QString>> replayList(const QString& path)
{
    std::vector<std::pair<Voice, QString>> inputs;
    QFile list(path);
    if (path.isEmpty() || !list.open(QIODevice::ReadOnly))
        return inputs;
    const QRegularExpression escape(QStringLiteral("\\\\x\\{([0-9a-fA-F]+)\\}"));
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (line.startsWith('#') || fields.size() != 2)
            continue;
        QString text = QString::fromUtf8(fields[1]);
        for (QRegularExpressionMatch m = escape.match(text); m.hasMatch(); m = escape.match(text)) {
            const char32_t c = m.captured(1).toUInt(nullptr, 16);
            text.replace(m.capturedStart(), m.capturedLength(), QString::fromUcs4(&c, 1));
        }
        inputs.push_back({Voice{fields[0], fields[0].mid(fields[0].indexOf('/') + 1), false}, text});
    }
    return inputs;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    double seconds = 20;
    unsigned seed = std::random_device{}();
    bool raw = false;
    bool underValgrind = false;
    QString out;
    QString replay;
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--seconds" && i + 1 < arguments.size())
            seconds = arguments[++i].toDouble();
        else if (a == u"--seed" && i + 1 < arguments.size())
            seed = arguments[++i].toUInt();
        else if (a == u"--out" && i + 1 < arguments.size())
            out = arguments[++i];
        else if (a == u"--replay" && i + 1 < arguments.size())
            replay = arguments[++i];
        else if (a == u"--raw")
            raw = true;
        else if (a == u"--valgrind")
            underValgrind = true;
        else {
            std::fprintf(stderr, "usage: fuzz_synthesis [--seconds N] [--seed N] [--raw] [--valgrind] [--out FILE] [--replay FILE]\n");
            return 2;
        }
    }

    QString program = SynthesisHelper::defaultProgram();
    QTemporaryDir scratch;
    if (underValgrind) {
        QFile wrapper(scratch.filePath(QStringLiteral("helper")));
        wrapper.open(QIODevice::WriteOnly);
        wrapper.write("#!/bin/sh\nexec valgrind -q --exit-on-first-error=yes --error-exitcode=99 --undef-value-errors=no '" + QFile::encodeName(program)
                      + "' \"$@\"\n");
        wrapper.close();
        wrapper.setPermissions(wrapper.permissions() | QFile::ExeOwner);
        program = wrapper.fileName();
    }

    PcmQueue pcm(1 << 24);
    int deaths = 0;
    EspeakWorker worker(pcm, [] {}, [&] { ++deaths; }, program);
    SynthesisHelper helper(program);
    if (raw && !helper.start(false)) {
        std::fprintf(stderr, "the synthesis helper does not start\n");
        return 2;
    }

    std::mt19937 random(seed);
    std::printf("seed %u, %s, %s, %.0f s\n", seed, raw ? "raw input" : "prepared and filtered input",
                underValgrind ? "helper under valgrind" : "helper as built", seconds);
    QFile found(out);
    if (!out.isEmpty())
        found.open(QIODevice::Append);
    QElapsedTimer clock;
    clock.start();
    qint64 inputs = 0;
    int died = 0;
    std::vector<std::pair<Voice, QString>> replayed = replayList(replay);
    while (replay.isEmpty() ? clock.elapsed() < qint64(seconds * 1000) : inputs < qint64(replayed.size())) {
        const Voice voice = replay.isEmpty()
            ? kVoices[std::uniform_int_distribution<std::size_t>(0, std::size(kVoices) - 1)(random)]
            : replayed[std::size_t(inputs)].first;
        const QString text = replay.isEmpty() ? randomText(random) : replayed[std::size_t(inputs)].second;
        ++inputs;
        bool death = false;
        if (raw) {
            death = helper.synthesize(voice.name, 175, text.toUtf8(), [](const short*, int, const auto&) { return true; })
                == SynthesisHelper::Outcome::Died;
            if (death)
                helper.start(false);
        } else {
            SynthesisJob job;
            job.text = text;
            job.voice = voice.name;
            job.preparation.voiceLanguage = voice.language;
            job.preparation.autoLanguage = voice.autoLanguage;
            const int before = deaths;
            worker.sample(job);
            death = deaths != before;
        }
        if (death) {
            ++died;
            const QByteArray line = voice.name + '\t' + escaped(text).toUtf8() + '\n';
            std::printf("helper died on: %s", line.constData());
            if (found.isOpen()) {
                found.write(line);
                found.flush();
            }
        }
    }
    std::printf("%lld inputs in %.1f s (%.0f a second), the helper died %d times\n", static_cast<long long>(inputs), clock.elapsed() / 1000.0,
                inputs / (clock.elapsed() / 1000.0), died);
    return died > 0 ? 1 : 0;
}
