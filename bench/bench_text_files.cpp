// Opening and saving a 20 MB CP932 text: read and decode, the whole open into a shown
// QPlainTextEdit with the caret on the end line, peak memory, and the two kinds of save.

#include "document/Cp932.h"
#include "document/EditorLines.h"
#include "document/LineBreakMarks.h"
#include "document/TextFile.h"
#include "document/TextFileDocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr qsizetype kFileBytes = 20 * 1024 * 1024;
constexpr qsizetype kMaxChars = 100'000'000;

long peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Paragraphs of Japanese prose with some ASCII, numbers, half-width katakana and extension
// characters, and now and then a line of English, written in chunks so that making the file
// does not raise the peak memory measured afterwards.
void writeCp932File(const QString& path)
{
    const QStringList japanese = {
        QStringLiteral("吾輩は猫である。名前はまだ無い。"), QStringLiteral("どこで生れたかとんと見当がつかぬ。"),
        QStringLiteral("何でも薄暗いじめじめした所で"), QStringLiteral("ニャーニャー泣いていた事だけは記憶している。"),
        QStringLiteral("表示ソフトの設定を変更しました。"), QStringLiteral("ｶﾀｶﾅ"), QStringLiteral("Velmor 2.0 の"),
        QStringLiteral("①②③"), QStringLiteral("、"), QStringLiteral("第"),
    };
    QList<QByteArray> pieces;
    for (const QString& piece : japanese)
        pieces.append(velmor::encodeCp932(piece));
    const QByteArray english = "The quick brown fox jumps over the lazy dog, again and again.";

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot create %s", qPrintable(path));
    QByteArray chunk;
    qsizetype written = 0;
    quint32 state = 1;
    const auto next = [&state](quint32 range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    while (written < kFileBytes) {
        chunk.clear();
        while (chunk.size() < 64 * 1024) {
            if (next(20) == 0) {
                chunk += english;
            } else {
                for (quint32 count = 3 + next(6); count > 0; --count)
                    chunk += pieces[next(quint32(pieces.size()))];
            }
            chunk += QByteArray::number(next(1000)) + "\r\n";
        }
        file.write(chunk);
        written += chunk.size();
    }
}

// User and system time of the process: wall time on an otherwise idle machine, and a
// steadier figure when other programs compete for the processor.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto toMs = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return toMs(usage.ru_utime) + toMs(usage.ru_stime);
}

double ms(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.txt"));
    writeCp932File(source);

    QPlainTextEdit editor;
    editor.resize(800, 600);
    editor.show();
    QApplication::processEvents();
    std::printf("peak RSS before opening: %ld MB\n", peakRssMegabytes());

    // The open as the user waits for it: read, decode, fill the text box, caret to the end line, paint.
    const double cpuBefore = cpuMs();
    QElapsedTimer total;
    total.start();
    QElapsedTimer step;
    step.start();
    {
        velmor::DecodedText decoded = velmor::readTextFile(source, kMaxChars);
        const double readMs = ms(step);
        std::printf("open: %lld bytes, %lld characters, %lld lines\n",
                    static_cast<long long>(QFileInfo(source).size()), static_cast<long long>(decoded.text.size()),
                    static_cast<long long>(decoded.text.count(u'\n')));
        step.restart();
        editor.setPlainText(decoded.text);
        const double fillMs = ms(step);
        step.restart();
        QTextCursor cursor(editor.document());
        cursor.setPosition(velmor::endLineCaretPosition(*editor.document()));
        editor.setTextCursor(cursor);
        editor.ensureCursorVisible();
        const double caretMs = ms(step);
        step.restart();
        QApplication::processEvents();
        std::printf("open: read+decode %.1f ms, setPlainText %.1f ms, caret %.1f ms, paint %.1f ms\n", readMs,
                    fillMs, caretMs, ms(step));
    }
    std::printf("open: total until shown %.1f ms (target < 800 ms), processor time %.1f ms\n", ms(total),
                cpuMs() - cpuBefore);
    std::printf("open: peak RSS %ld MB (target < 250 MB)\n", peakRssMegabytes());

    for (int run = 0; run < 3; ++run) {
        step.restart();
        const velmor::DecodedText decoded = velmor::readTextFile(source, kMaxChars);
        std::printf("read+decode CP932, run %d: %.1f ms\n", run + 1, ms(step));
    }

    step.restart();
    const QString text = velmor::documentText(*editor.document());
    std::printf("text taken from the text box (documentText): %.1f ms\n", ms(step));

    const QString unicodePath = dir.filePath(QStringLiteral("unicode.txt"));
    for (int run = 0; run < 3; ++run) {
        step.restart();
        velmor::writeTextFile(unicodePath, text, {velmor::TextEncoding::Utf16Le, velmor::LineBreak::CrLf});
        std::printf("save as Unicode (encode + atomic write), run %d: %.1f ms (target < 500 ms)\n", run + 1, ms(step));
    }
    step.restart();
    const QByteArray unicodeBytes = velmor::encodeText(text, {velmor::TextEncoding::Utf16Le, velmor::LineBreak::CrLf});
    std::printf("  of which encoding: %.1f ms (%lld bytes)\n", ms(step), static_cast<long long>(unicodeBytes.size()));

    const QString plainPath = dir.filePath(QStringLiteral("plain.txt"));
    for (int run = 0; run < 3; ++run) {
        step.restart();
        const int replaced =
            velmor::writeTextFile(plainPath, text, {velmor::TextEncoding::Cp932, velmor::LineBreak::CrLf});
        std::printf("save as CP932 (encode + atomic write), run %d: %.1f ms, %d replaced\n", run + 1, ms(step),
                    replaced);
    }

    step.restart();
    const velmor::DecodedText unicode = velmor::readTextFile(unicodePath, kMaxChars);
    std::printf("read+decode Unicode: %.1f ms\n", ms(step));

    const QString utf8Path = dir.filePath(QStringLiteral("utf8.txt"));
    velmor::writeTextFile(utf8Path, text, {velmor::TextEncoding::Utf8, velmor::LineBreak::Lf});
    step.restart();
    const velmor::DecodedText utf8 = velmor::readTextFile(utf8Path, kMaxChars);
    std::printf("read+decode UTF-8: %.1f ms\n", ms(step));

    // Mixed line breaks at their worst: every other line ends in LF instead of CR LF, and each
    // such line is remembered as an exception.
    {
        QByteArray mixedBytes = velmor::encodeText(text, {velmor::TextEncoding::Cp932, velmor::LineBreak::CrLf});
        qsizetype breaks = 0;
        for (qsizetype at = mixedBytes.indexOf("\r\n"); at >= 0; at = mixedBytes.indexOf("\r\n", at + 1)) {
            if (breaks++ % 2)
                mixedBytes.remove(at, 1);
        }
        step.restart();
        const velmor::DecodedText mixed = velmor::decodeText(mixedBytes);
        std::printf("mixed line breaks: decode %.1f ms, %zu exceptions\n", ms(step), mixed.otherLineBreaks.size());
        QPlainTextEdit mixedEditor;
        mixedEditor.setPlainText(mixed.text);
        step.restart();
        velmor::LineBreakMarks::mark(*mixedEditor.document(), mixed.otherLineBreaks);
        std::printf("mixed line breaks: marking the document %.1f ms\n", ms(step));
        QTextCursor typing(mixedEditor.document());
        typing.setPosition(1);
        step.restart();
        typing.insertText(QStringLiteral("x"));
        std::printf("mixed line breaks: one keystroke at the start %.2f ms\n", ms(step));
        typing.deletePreviousChar();
        step.restart();
        const QString mixedText = velmor::documentText(*mixedEditor.document());
        const auto exceptions = velmor::LineBreakMarks::exceptionsOf(*mixedEditor.document(), mixedText);
        const QByteArray saved = velmor::encodeText(mixedText, mixed.format, nullptr, {}, exceptions);
        std::printf("mixed line breaks: gather + encode %.1f ms, saved back unchanged: %s\n", ms(step),
                    saved == mixedBytes ? "yes" : "NO");
    }

    QFile original(source);
    QFile plain(plainPath);
    const bool same = original.open(QIODevice::ReadOnly) && plain.open(QIODevice::ReadOnly)
        && original.readAll() == plain.readAll();
    std::printf("CP932 file saved back unchanged: %s; Unicode and UTF-8 read back unchanged: %s\n",
                same ? "yes" : "NO", unicode.text == text && utf8.text == text ? "yes" : "NO");
    return same ? 0 : 1;
}
