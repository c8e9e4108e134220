#include "document/TextFile.h"
#include "document/TextFileDocument.h"

#include "document/Cp932.h"
#include "document/RawByteMarks.h"

#include "../app/TestFiles.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using velmor::decodeText;
using velmor::encodeText;
using velmor::FileError;
using velmor::LineBreak;
using velmor::readTextFile;
using velmor::TextEncoding;
using velmor::TextFormat;
using velmor::writeTextFile;

namespace {

using namespace testfiles;

constexpr TextFormat kUnicode{TextEncoding::Utf16Le, LineBreak::CrLf};
constexpr TextFormat kUnicodeBe{TextEncoding::Utf16Be, LineBreak::CrLf};
constexpr TextFormat kPlain{TextEncoding::Cp932, LineBreak::CrLf};
constexpr TextFormat kUtf8Lf{TextEncoding::Utf8, LineBreak::Lf};
constexpr TextFormat kUtf8CrLf{TextEncoding::Utf8, LineBreak::CrLf};
constexpr TextFormat kUtf8BomLf{TextEncoding::Utf8Bom, LineBreak::Lf};
constexpr TextFormat kUtf8BomCrLf{TextEncoding::Utf8Bom, LineBreak::CrLf};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int v : values)
        result += char(v);
    return result;
}

const char* name(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Cp932:
        return "Cp932";
    case TextEncoding::Utf16Le:
        return "Utf16Le";
    case TextEncoding::Utf16Be:
        return "Utf16Be";
    case TextEncoding::Utf8:
        return "Utf8";
    case TextEncoding::Utf8Bom:
        return "Utf8Bom";
    }
    return "?";
}

TEST(UnicodeTextWriter, EndsEveryLineWithCrLf)
{
    const QByteArray abc = bytes({0xFF, 0xFE, 'a', 0, 'b', 0, 'c', 0, 0x0D, 0, 0x0A, 0});
    EXPECT_EQ(encodeText(u"abc", kUnicode), abc);
    EXPECT_EQ(encodeText(u"abc\n", kUnicode), abc);
    EXPECT_EQ(encodeText(u"a\n\nb", kUnicode),
              bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0, 'b', 0, 0x0D, 0, 0x0A, 0}));
    EXPECT_EQ(encodeText(u"\n", kUnicode), bytes({0xFF, 0xFE, 0x0D, 0, 0x0A, 0}));
}

TEST(UnicodeTextWriter, EmptyTextIsTheByteOrderMarkAlone)
{
    EXPECT_EQ(encodeText(u"", kUnicode), bytes({0xFF, 0xFE}));
}

TEST(UnicodeTextWriter, WritesCodeUnitsLittleEndianAsTheyAre)
{
    // 明, a surrogate pair (😀) and a lone surrogate are written unit by unit.
    const QString text = QStringLiteral("明😀") + QChar(0xDC00);
    EXPECT_EQ(encodeText(text, kUnicode),
              bytes({0xFF, 0xFE, 0x0E, 0x66, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xDC, 0x0D, 0, 0x0A, 0}));
}

TEST(UnicodeTextWriter, WritesEveryLineWholeWhateverItsLength)
{
    const QString line(100000, u'x');
    const QByteArray written = encodeText(line + u'\n' + line, kUnicode);
    ASSERT_EQ(written.size(), 2 + (2 * 100000 + 4) * 2);
    EXPECT_EQ(decodeText(written).text, line + u'\n' + line + u'\n');
}

TEST(EncodingDecision, TwoBytesOrFewerAndOtherFirstBytesArePlainText)
{
    const QByteArray files[] = {QByteArray(),           QByteArray("a"),        QByteArray("ab"),
                                bytes({0xFF}),          bytes({0xFF, 0xFE}),    bytes({0xFE, 0xFF}),
                                bytes({0xFF, 'A', 'B'}), bytes({0xFE, 'A', 'B'}), bytes({'A', 0xFE, 0xFF, 'B'})};
    for (const QByteArray& file : files) {
        EXPECT_EQ(decodeText(file).format, kPlain) << file.toHex().toStdString();
        EXPECT_EQ(decodeText(file).text, velmor::decodeCp932(file));
    }
}

TEST(EncodingDecision, ByteOrderMarkWithMoreIsUnicodeTextOfThatByteOrder)
{
    const auto little = decodeText(bytes({0xFF, 0xFE, 'A', 0, 0x0E, 0x66}));
    EXPECT_EQ(little.format, kUnicode);
    EXPECT_EQ(little.text, QStringLiteral("A明"));
    const auto big = decodeText(bytes({0xFE, 0xFF, 0, 'A', 0x66, 0x0E}));
    EXPECT_EQ(big.format, kUnicodeBe);
    EXPECT_EQ(big.text, QStringLiteral("A明"));
}

TEST(EncodingDecision, Utf8NeedsItsMarkOrAMultiByteCharacter)
{
    struct Case {
        QByteArray bytes;
        TextEncoding expected;
    };
    const Case cases[] = {
        {"plain ASCII\r\n", TextEncoding::Cp932},
        {"\xEF\xBB\xBF", TextEncoding::Utf8Bom},
        {"\xEF\xBB\xBFonly ASCII", TextEncoding::Utf8Bom},
        {"\xEF\xBB\xBF\x82\xA0", TextEncoding::Utf8Bom}, // marked, though what follows is broken
        {"caf\xC3\xA9", TextEncoding::Utf8},
        {"\xE6\x98\x8E", TextEncoding::Utf8},
        {"\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", TextEncoding::Utf8}, // four-byte forms up to U+10FFFF
        {"\x82\xA0\x82\xA2", TextEncoding::Cp932},                 // Japanese in CP932
        {"caf\xC3\xA9 \x82\xA0", TextEncoding::Cp932},             // UTF-8 first, then not
        {"\xC0\xAF", TextEncoding::Cp932},                         // overlong
        {"\xE0\x80\xAF", TextEncoding::Cp932},                     // overlong
        {"\xF0\x80\x80\xAF", TextEncoding::Cp932},                 // overlong
        {"\xED\xA0\x80", TextEncoding::Cp932},                     // surrogate
        {"\xF4\x90\x80\x80", TextEncoding::Cp932},                 // above U+10FFFF
        {"\xF5\x80\x80\x80", TextEncoding::Cp932},
        {"ok \x80", TextEncoding::Cp932},                          // lone continuation byte
        {"abcdefgh\xE6\x98", TextEncoding::Cp932},                 // cut off at the end
        {"\xE6\x98 ", TextEncoding::Cp932},                        // cut off by a space
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(name(decodeText(c.bytes).format.encoding), name(c.expected)) << c.bytes.toHex(' ').toStdString();
    }
}

TEST(EncodingDecision, Utf8ByteOrderMarkIsNotPartOfTheText)
{
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xE6\x98\x8E").text, QStringLiteral("明"));
    // A second mark is text.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xEF\xBB\xBF" "a").text, QChar(0xFEFF) + QStringLiteral("a"));
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF").text, QString(2, QChar(0xFEFF)));
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xFF" "a").text, QString(QChar::ReplacementCharacter) + QStringLiteral("a"));
}

TEST(UnicodeTextReader, KeepsTheTextAfterTheMarkWithLineBreaksAsLf)
{
    const QByteArray file = bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0, 0xFF, 0xFE, 'b', 0});
    // No line break is added at the end; a second mark is a character of the text.
    EXPECT_EQ(decodeText(file).text, QStringLiteral("a\n\n") + QChar(0xFEFF) + QStringLiteral("b"));
    // Lone CR and LF are line breaks too.
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 'b', 0, 0x0A, 0, 'c', 0})).text, QStringLiteral("a\nb\nc"));
}

TEST(UnicodeTextReader, OddLastByteIsKeptAndWrittenBack)
{
    const auto odd = decodeText(bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 0xC8}));
    EXPECT_EQ(odd.text, QStringLiteral("a\n"));
    EXPECT_EQ(odd.format.trailingByte, char(0xC8));
    EXPECT_EQ(encodeText(odd.text, odd.format), bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 0xC8}));
    const auto lone = decodeText(bytes({0xFE, 0xFF, 0x42}));
    EXPECT_EQ(lone.text, QString());
    EXPECT_EQ(encodeText(lone.text, lone.format), bytes({0xFE, 0xFF, 0x42}));
    // A new file of the same encoding starts without it.
    EXPECT_EQ(encodeText(u"a", kUnicode), bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0}));
}

TEST(UnicodeTextReader, SavesBackTheBytesOfAFileEndingInALineBreak)
{
    for (const TextFormat& format : {kUnicode, kUnicodeBe, TextFormat(TextEncoding::Utf16Be, LineBreak::Lf)}) {
        const QByteArray file = encodeText(QStringLiteral("한국어\n\nline 3 😀\n"), format);
        const auto decoded = decodeText(file);
        EXPECT_EQ(decoded.format, format);
        EXPECT_EQ(encodeText(decoded.text, decoded.format), file);
    }
    // A CR followed by a zero byte is a line break only in little-endian text.
    const QByteArray big = bytes({0xFE, 0xFF, 0, 'a', 0, 0x0D, 0, 0x0A, 0x0D, 0, 0, 0x0D, 0, 0x0A});
    EXPECT_EQ(decodeText(big).text, QStringLiteral("a\n") + QChar(0x0D00) + QStringLiteral("\n"));
    EXPECT_EQ(encodeText(decodeText(big).text, decodeText(big).format), big);
}

TEST(LineBreaks, EveryEncodingKeepsTheStyleItWasReadWith)
{
    const TextEncoding encodings[] = {TextEncoding::Cp932, TextEncoding::Utf16Le, TextEncoding::Utf16Be,
                                      TextEncoding::Utf8, TextEncoding::Utf8Bom};
    for (const TextEncoding encoding : encodings) {
        for (const LineBreak lineBreak : {LineBreak::CrLf, LineBreak::Lf, LineBreak::Cr}) {
            const TextFormat format(encoding, lineBreak);
            const QString text = encoding == TextEncoding::Cp932 ? QStringLiteral("表示\n\nlast\n") : QStringLiteral("한\n\nlast\n");
            const QByteArray file = encodeText(text, format);
            const auto decoded = decodeText(file);
            EXPECT_EQ(decoded.text, text) << name(encoding) << int(lineBreak);
            EXPECT_EQ(decoded.format, format) << name(encoding) << int(lineBreak);
            EXPECT_EQ(encodeText(decoded.text, decoded.format), file) << name(encoding) << int(lineBreak);
        }
    }
    EXPECT_EQ(encodeText(u"a\nb", TextFormat(TextEncoding::Cp932, LineBreak::Cr)), QByteArray("a\rb"));
    EXPECT_EQ(encodeText(u"a\nb", TextFormat(TextEncoding::Utf16Le, LineBreak::Lf)),
              bytes({0xFF, 0xFE, 'a', 0, 0x0A, 0, 'b', 0, 0x0A, 0}));
}

TEST(LineBreaks, TheMostFrequentBreakIsTheFilesAndEveryOtherIsKeptByItsLine)
{
    EXPECT_EQ(decodeText("a\nb\r\nc\rd").format.lineBreak, LineBreak::Lf);
    EXPECT_EQ(decodeText("a\rb\nc").format.lineBreak, LineBreak::Cr);
    EXPECT_EQ(decodeText("a\nb\r\nc\r\n").format.lineBreak, LineBreak::CrLf);
    EXPECT_EQ(decodeText("a\r").format.lineBreak, LineBreak::Cr);
    EXPECT_EQ(decodeText("no break").format.lineBreak, LineBreak::CrLf);
    EXPECT_EQ(decodeText(bytes({0xFF, 0xFE, 'a', 0})).format.lineBreak, LineBreak::CrLf);
    const auto mixed = decodeText("a\rb\nc\r\nd");
    EXPECT_EQ(mixed.text, QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(mixed.otherLineBreaks,
              (std::vector<velmor::LineBreakException>{{1, LineBreak::Lf}, {2, LineBreak::CrLf}}));
    EXPECT_EQ(encodeText(mixed.text, mixed.format), QByteArray("a\rb\rc\rd"));
    EXPECT_TRUE(decodeText("a\r\nb\r\n").otherLineBreaks.empty());

    const QByteArray files[] = {
        "a\r\nb\nc\rd\r\n\n\r",
        "\xC3\xA9\r\nb\nc\rd\n\n",
        "\xEF\xBB\xBF\r\r\n\n",
        QByteArray::fromHex("fffe" "61000d000a00" "62000a00" "63000d00" "64000d000a00"),
        QByteArray::fromHex("feff" "0061000a" "0062000d000a" "0063000a"),
    };
    for (const QByteArray& file : files) {
        const auto decoded = decodeText(file);
        EXPECT_FALSE(decoded.otherLineBreaks.empty()) << file.toHex(' ').toStdString();
        EXPECT_EQ(encodeText(decoded.text, decoded.format, nullptr, {}, decoded.otherLineBreaks), file)
            << file.toHex(' ').toStdString();
    }
}

TEST(Utf8RoundTrip, UneditedFilesSaveByteForByte)
{
    const QByteArray files[] = {
        "caf\xC3\xA9\nsecond\n",
        "caf\xC3\xA9\nno final break",
        "caf\xC3\xA9\r\nsecond\r\n",
        "caf\xC3\xA9\r\n\r\n\r\nno final break",
        "\xEF\xBB\xBF" "caf\xC3\xA9\nsecond\n",
        "\xEF\xBB\xBF" "caf\xC3\xA9\r\nsecond\r\n",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBF\xEF\xBB\xBF\xE6\x98\x8E\r\n",
        "\xE6\x98\x8E\xEF\xBF\xBF\xF0\x9F\x98\x80 no line break at all",
        "\n\n\xE2\x80\xA8\xE2\x80\xA9\n",
    };
    for (const QByteArray& file : files) {
        const auto decoded = decodeText(file);
        int replaced = -1;
        EXPECT_EQ(encodeText(decoded.text, decoded.format, &replaced), file) << file.toHex(' ').toStdString();
        EXPECT_EQ(replaced, 0);
    }
}

TEST(Utf8RoundTrip, TheFirstLineBreakSetsTheStyle)
{
    EXPECT_EQ(decodeText("\xC3\xA9\r\nb\nc").format, kUtf8CrLf);
    EXPECT_EQ(decodeText("\xC3\xA9\nb\r\nc").format, kUtf8Lf);
    EXPECT_EQ(decodeText("\xC3\xA9 no break").format, kUtf8Lf);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\r\n").format, kUtf8BomCrLf);
    EXPECT_EQ(decodeText("\xEF\xBB\xBFx").format, kUtf8BomLf);
    // A mixed file reads fine and is written with the one style.
    const auto mixed = decodeText("\xC3\xA9\r\nb\nc\rd");
    EXPECT_EQ(mixed.text, QStringLiteral("é\nb\nc\nd"));
    EXPECT_EQ(encodeText(mixed.text, mixed.format), QByteArray("\xC3\xA9\r\nb\r\nc\r\nd"));
}

TEST(Utf8Writer, WritesTheMarkAndLineBreaksAsAsked)
{
    EXPECT_EQ(encodeText(u"a\nb\n", kUtf8Lf), QByteArray("a\nb\n"));
    EXPECT_EQ(encodeText(u"a\nb", kUtf8CrLf), QByteArray("a\r\nb"));
    EXPECT_EQ(encodeText(u"明\n", kUtf8BomLf), QByteArray("\xEF\xBB\xBF\xE6\x98\x8E\n"));
    EXPECT_EQ(encodeText(u"明\n", kUtf8BomCrLf), QByteArray("\xEF\xBB\xBF\xE6\x98\x8E\r\n"));
    EXPECT_EQ(encodeText(u"", kUtf8BomCrLf), QByteArray("\xEF\xBB\xBF"));
    EXPECT_EQ(encodeText(u"", kUtf8Lf), QByteArray());
}

TEST(PlainTextReadWrite, CrLfFileOfCp932CharactersKeepsItsBytes)
{
    // 表 and ソ end in 0x5C, half-width katakana are single bytes, ① and ⅰ are extensions.
    const QByteArray file =
        "\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67\r\n\xB1\xB2\xB3\r\n\r\n\x87\x40\xFA\x40 C:\\dir~\r\nlast";
    const auto decoded = decodeText(file);
    EXPECT_EQ(decoded.format, kPlain);
    EXPECT_EQ(decoded.text, QStringLiteral("表示ソフト\nｱｲｳ\n\n①ⅰ C:\\dir~\nlast"));
    int replaced = -1;
    EXPECT_EQ(encodeText(decoded.text, decoded.format, &replaced), file);
    EXPECT_EQ(replaced, 0);
}

TEST(PlainTextReadWrite, EveryCp932CharacterOnItsOwnLineSurvives)
{
    QByteArray file;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const QByteArray pair = QByteArray(1, char(lead)) + char(trail);
            const QString c = velmor::decodeCp932(pair);
            if (c.size() == 1 && velmor::encodeCp932(c) == pair)
                file += pair + "\r\n";
        }
    }
    const auto decoded = decodeText(file);
    ASSERT_EQ(decoded.format, kPlain);
    EXPECT_EQ(encodeText(decoded.text, decoded.format), file);
}

TEST(PlainTextReadWrite, BadBytesSurviveAtTheirPositionsOnly)
{
    const QByteArray file = "ok\x80\r\n\x82\x20\xFF\r\n\x85\x40 end\x82";
    const auto decoded = decodeText(file);
    EXPECT_EQ(decoded.format, kPlain);
    EXPECT_EQ(decoded.text.count(u'\n'), 2);
    EXPECT_EQ(decoded.rawBytes, (std::vector<qsizetype>{2, 4, 6, 8, 14}));
    int replaced = -1;
    EXPECT_EQ(encodeText(decoded.text, decoded.format, &replaced, decoded.rawBytes), file);
    EXPECT_EQ(replaced, 0);
    // The same characters anywhere else are characters like any other.
    EXPECT_EQ(encodeText(decoded.text, decoded.format, &replaced), QByteArray("ok?\r\n? ?\r\n?@ end?"));
    EXPECT_EQ(replaced, 5);
    const std::vector<qsizetype> onlyTheLast{14};
    EXPECT_EQ(encodeText(decoded.text, decoded.format, &replaced, onlyTheLast), QByteArray("ok?\r\n? ?\r\n?@ end\x82"));
    EXPECT_EQ(replaced, 4);
}

TEST(PlainTextReadWrite, PrivateUseCharactersReadFromUnicodeTextAreNoBytes)
{
    for (const QByteArray& file : {bytes({0xFF, 0xFE, 0x81, 0xF7, 'a', 0}), QByteArray("\xEF\x9E\x81" "a")}) {
        const auto decoded = decodeText(file);
        EXPECT_EQ(decoded.text, QChar(0xF781) + QStringLiteral("a"));
        EXPECT_TRUE(decoded.rawBytes.empty());
        int replaced = -1;
        EXPECT_EQ(encodeText(decoded.text, kPlain, &replaced, decoded.rawBytes), QByteArray("?a"));
        EXPECT_EQ(replaced, 1);
    }
}

TEST(PlainTextReadWrite, CharactersOutsideCp932AreReplacedAndCounted)
{
    int replaced = -1;
    EXPECT_EQ(encodeText(QStringLiteral("a한b😀\n明"), kPlain, &replaced), QByteArray("a?b?\r\n\x96\xBE"));
    EXPECT_EQ(replaced, 2);
    for (const TextFormat format : {kUnicode, kUtf8Lf, kUtf8BomCrLf}) {
        encodeText(QStringLiteral("a한b😀"), format, &replaced);
        EXPECT_EQ(replaced, 0);
    }
}

TEST(DocumentText, UneditedFilesPassThroughTheEditorUnchanged)
{
    const QByteArray files[] = {
        "non\xC2\xA0" "breaking\xE2\x80\xA8soft break\nnext\n\n",
        "\xEF\xBB\xBF\xC3\xA9\r\n\t tab\r\n",
        "\x95\x5C\x83\x5C\r\n\xB1\r\n\x80\xFF\r\n",
        bytes({0xFF, 0xFE, 0xA0, 0, 0x28, 0x20, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0}),
    };
    for (const QByteArray& file : files) {
        const auto decoded = decodeText(file);
        QTextDocument document;
        document.setPlainText(decoded.text);
        velmor::markRawBytes(document, decoded.rawBytes);
        EXPECT_EQ(velmor::documentText(document), decoded.text);
        EXPECT_EQ(encodeText(velmor::documentText(document), decoded.format, nullptr, velmor::rawBytePositions(document)),
                  file)
            << file.toHex(' ').toStdString();
    }
}

TEST(DocumentText, RawBytesAreFoundWhereEditsMovedThemAndTypedCharactersAreNot)
{
    const QString raw(QChar(0xF781));
    QTextDocument document;
    document.setPlainText(QStringLiteral("a") + raw + QStringLiteral("\nb") + raw);
    velmor::markRawBytes(document, std::vector<qsizetype>{1, 4});
    EXPECT_FALSE(document.isUndoAvailable());
    QTextCursor cursor(&document);
    {
        const velmor::RawByteMarks::Edit typing(document, velmor::RawByteMarks::Edit::Typing);
        cursor.insertText(raw + QStringLiteral("xy\n"));
        cursor.setPosition(6);
        cursor.insertText(QStringLiteral("c") + QChar(0xF782));
        cursor.setPosition(document.characterCount() - 1);
        cursor.insertText(QChar(0xF783));
    }
    EXPECT_EQ(velmor::documentText(document), raw + QStringLiteral("xy\na") + raw + QStringLiteral("c") + QChar(0xF782)
                                                  + QStringLiteral("\nb") + raw + QChar(0xF783));
    EXPECT_EQ(velmor::rawBytePositions(document), (std::vector<qsizetype>{5, 10}));
    cursor.setPosition(5);
    cursor.deleteChar();
    EXPECT_EQ(velmor::rawBytePositions(document), (std::vector<qsizetype>{9}));
    document.undo();
    EXPECT_EQ(velmor::rawBytePositions(document), (std::vector<qsizetype>{5, 10}));
}

TEST(DocumentText, GivesLfBetweenParagraphsAndNothingAfterTheLast)
{
    QTextDocument document;
    EXPECT_EQ(velmor::documentText(document), QString());
    document.setPlainText(QStringLiteral("a\n\nb\n"));
    EXPECT_EQ(velmor::documentText(document), QStringLiteral("a\n\nb\n"));
}

TEST(FileErrors, NameTheFileInUtf8)
{
    const QString path = QStringLiteral("/tmp/日本語.txt");
    EXPECT_STREQ(FileError::cannotOpen(path).what(), "ファイル /tmp/日本語.txt は開けません");
    EXPECT_STREQ(FileError::cannotCreate(path).what(), "ファイル /tmp/日本語.txt を作成できません");
    EXPECT_EQ(FileError::cannotCreate(path).path(), path);
    const FileError tooLarge = FileError::tooLarge(QStringLiteral("/a/%2.txt"), 100000000);
    EXPECT_EQ(tooLarge.message(),
              QStringLiteral("ファイル /a/%2.txt は大きすぎます\nThe text is longer than 100000000 characters."));
}

class TextFileAccess : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("テキスト.txt"));

    static QString messageOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const FileError& error) {
            return error.message();
        }
        return QStringLiteral("no error");
    }
};

TEST_F(TextFileAccess, ReadsWhatWasWritten)
{
    EXPECT_EQ(writeTextFile(path, u"一行目\n二行目", kUnicode), 0);
    const auto decoded = readTextFile(path, 100);
    EXPECT_EQ(decoded.text, QStringLiteral("一行目\n二行目\n"));
    EXPECT_EQ(decoded.format, kUnicode);

    EXPECT_EQ(writeTextFile(path, u"一行目\n한", kPlain), 1);
    EXPECT_EQ(fileBytes(path), QByteArray("\x88\xEA\x8D\x73\x96\xDA\r\n?"));
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("テキスト.txt")});
}

TEST_F(TextFileAccess, WritingAnEmptyPlainTextGivesAnEmptyFile)
{
    ASSERT_TRUE(writeFileBytes(path, "old"));
    writeTextFile(path, u"", kPlain);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(fileBytes(path), QByteArray());
}

TEST_F(TextFileAccess, MissingFileFolderOrPipeCannotBeOpened)
{
    EXPECT_EQ(messageOf([&] { readTextFile(path, 100); }), QStringLiteral("ファイル %1 は開けません").arg(path));
    EXPECT_EQ(messageOf([&] { readTextFile(dir.path(), 100); }),
              QStringLiteral("ファイル %1 は開けません").arg(dir.path()));
    const QString pipe = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(messageOf([&] { readTextFile(pipe, 100); }), QStringLiteral("ファイル %1 は開けません").arg(pipe));
}

TEST_F(TextFileAccess, UnreadableFileCannotBeOpened)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(path, "text"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    EXPECT_THROW(readTextFile(path, 100), FileError);
}

TEST_F(TextFileAccess, TextLongerThanTheLimitIsRefused)
{
    // Five characters: the CR LF counts once.
    ASSERT_TRUE(writeFileBytes(path, "\x96\xBE" "abc\r\n"));
    EXPECT_EQ(readTextFile(path, 5).text, QStringLiteral("明abc\n"));
    EXPECT_EQ(messageOf([&] { readTextFile(path, 4); }), FileError::tooLarge(path, 4).message());
    // Far beyond the limit in bytes: refused before decoding.
    ASSERT_TRUE(writeFileBytes(path, QByteArray(4000, 'x')));
    EXPECT_EQ(messageOf([&] { readTextFile(path, 10); }), FileError::tooLarge(path, 10).message());
}

TEST_F(TextFileAccess, MissingFolderCannotBeCreated)
{
    const QString inMissing = dir.filePath(QStringLiteral("missing/a.txt"));
    EXPECT_EQ(messageOf([&] { writeTextFile(inMissing, u"x", kUnicode); }),
              QStringLiteral("ファイル %1 を作成できません").arg(inMissing));
    EXPECT_TRUE(folderEntries(dir.path()).isEmpty());
}

TEST_F(TextFileAccess, FolderInPlaceOfTheFileCannotBeCreated)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("テキスト.txt")));
    EXPECT_THROW(writeTextFile(path, u"x", kPlain), FileError);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(TextFileAccess, WriteFailingMidwayLeavesTheOldFileWhole)
{
    const QByteArray old = "old text\r\nthat must survive\r\n";
    ASSERT_TRUE(writeFileBytes(path, old));
    {
        const FileSizeLimit limit(16);
        EXPECT_EQ(messageOf([&] { writeTextFile(path, QString(1000, u'明'), kUnicode); }),
                  QStringLiteral("ファイル %1 を作成できません").arg(path));
    }
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("テキスト.txt")});
}

TEST_F(TextFileAccess, WriteProtectedFileIsKept)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    ASSERT_TRUE(writeFileBytes(path, "old"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_THROW(writeTextFile(path, u"new", kPlain), FileError);
    EXPECT_EQ(fileBytes(path), QByteArray("old"));
}

} // namespace
