#include "TextProbes.h"
#include "QtPrinters.h"

#include "document/SoftBreaks.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velmor;

using textprobes::longestBlock;
using textprobes::words;

namespace {

// Every reader agrees with the text as it was given, at every position sampled, and no piece
// holds half a character.
void expectReadWhole(const QTextDocument& document, const QString& text)
{
    ASSERT_EQ(wholeText(document), text);
    EXPECT_LE(longestBlock(document), kLongestBlock);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString piece = block.text();
        EXPECT_FALSE(!piece.isEmpty() && piece.front().isLowSurrogate()) << "piece " << block.blockNumber();
        EXPECT_FALSE(!piece.isEmpty() && piece.back().isHighSurrogate()) << "piece " << block.blockNumber();
    }
    const int end = document.characterCount() - 1;
    for (int from = 0; from <= end; from += 997) {
        const int to = std::min(end, from + 4099);
        const qsizetype first = textIndexOfPosition(document, from);
        const qsizetype last = textIndexOfPosition(document, to);
        EXPECT_EQ(textBetween(document, from, to), text.mid(first, last - first)) << from;
    }
    for (qsizetype index = 0; index <= text.size(); index += 1009)
        EXPECT_EQ(textIndexOfPosition(document, positionOfTextIndex(document, index)), index);
}

} // namespace

TEST(SoftBreaks, LongParagraphsAreHeldInPiecesAndReadWhole)
{
    const QString clef = QStringLiteral("\U0001D11E");
    const QString japanese = QStringLiteral("日本語の文章です。") + QChar(0x3000);
    const QString texts[] = {
        words(100'000) + QStringLiteral("\n\nshort\n") + words(5000),
        QString(10'000, u'x'),
        QString(5000, QChar(0)) + u'\n',
        clef.repeated(3000),
        u'x' + clef.repeated(3000),
        japanese.repeated(900) + u'\t' + japanese.repeated(300),
        QString(2047, u'y') + u' ' + QString(3000, u'z') + u' ',
    };
    for (const QString& text : texts) {
        QTextDocument document;
        setSplitText(document, text);
        EXPECT_GT(document.blockCount(), text.count(u'\n') + 1);
        expectReadWhole(document, text);
    }
}

TEST(SoftBreaks, EveryLineBreakStyleEndsAParagraph)
{
    QTextDocument document;
    setSplitText(document, QStringLiteral("a\r\nb\rc\nd"));
    EXPECT_EQ(wholeText(document), QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(breakBefore(document.lastBlock()), QStringLiteral("\n"));
}

// A block that Qt creates inside a piece copies the piece's mark; the copy must read, and stay,
// a paragraph break even when the piece before it is joined away.
TEST(SoftBreaks, ABreakTypedInsideAPieceStaysAParagraphBreak)
{
    QTextDocument document;
    const QString text = words(6000);
    setSplitText(document, text);
    const QTextBlock piece = document.begin().next();
    ASSERT_EQ(breakBefore(piece), QStringLiteral(" "));

    const int typedAt = piece.position() + 10;
    QTextCursor cursor(&document);
    cursor.setPosition(typedAt);
    cursor.insertText(QStringLiteral("\n\n"));
    QString expected = text;
    expected.insert(typedAt, QStringLiteral("\n\n"));
    EXPECT_EQ(wholeText(document), expected);

    int caret = typedAt + 2;
    EXPECT_TRUE(settleBlocks(document, typedAt, typedAt + 2, std::span(&caret, 1)));
    EXPECT_EQ(caret, typedAt + 2);
    // Deleting the soft break before the piece (a space) joins it to the piece before.
    const int softBreak = piece.position() - 1;
    cursor.setPosition(softBreak);
    cursor.deleteChar();
    expected.remove(softBreak, 1);
    EXPECT_EQ(wholeText(document), expected);
    settleBlocks(document, 0, softBreak);
    expectReadWhole(document, expected);
}

TEST(SoftBreaks, SettlingSplitsGrownPiecesAndJoinsShrunkOnes)
{
    QTextDocument document;
    const QString text = QString(6000, u'x');
    setSplitText(document, text);
    const int blocks = document.blockCount();

    QTextCursor cursor(&document);
    cursor.setPosition(100);
    cursor.insertText(QString(3000, u'y'));
    QString expected = text;
    expected.insert(100, QString(3000, u'y'));
    int kept[] = {50, 3500, 4000};
    const qsizetype keptIndexes[] = {50, textIndexOfPosition(document, 3500), textIndexOfPosition(document, 4000)};
    EXPECT_TRUE(settleBlocks(document, 100, 3100, kept));
    expectReadWhole(document, expected);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(textIndexOfPosition(document, kept[i]), keptIndexes[i]);

    EXPECT_GT(document.blockCount(), blocks);

    // Two neighbouring pieces shrink to a few characters each: they become one.
    const int piecesBefore = document.blockCount();
    const QTextBlock second = document.begin().next().next();
    const auto removeInside = [&](int from, int to) {
        const qsizetype first = textIndexOfPosition(document, from);
        expected.remove(first, textIndexOfPosition(document, to) - first);
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    };
    const int secondStart = second.position();
    removeInside(secondStart + 5, secondStart + second.length() - 1);
    const QTextBlock third = second.next();
    removeInside(third.position(), third.position() + third.length() - 6);
    EXPECT_TRUE(settleBlocks(document, secondStart, secondStart + 12));
    expectReadWhole(document, expected);
    EXPECT_EQ(document.blockCount(), piecesBefore - 1);

    // Keys typed one by one into a full piece without a blank cut it once, in its middle.
    QTextDocument full;
    QString typed(3 * kLongestBlock, u'z');
    setSplitText(full, typed);
    const int fullPieces = full.blockCount();
    QTextCursor caret(&full);
    int cuts = 0;
    for (int key = 0; key < 10; ++key) {
        caret.setPosition(kLongestBlock / 2);
        caret.insertText(QStringLiteral("a"));
        typed.insert(kLongestBlock / 2, u'a');
        cuts += settleBlocks(full, kLongestBlock / 2, kLongestBlock / 2 + 1) ? 1 : 0;
    }
    expectReadWhole(full, typed);
    EXPECT_EQ(cuts, 1);
    EXPECT_EQ(full.blockCount(), fullPieces + 1);
}

TEST(SoftBreaks, InsertedTextArrivesInPieces)
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("ab"));
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    const QString pasted = words(9000) + QStringLiteral("\r\n") + QString(5000, u'q');
    insertSplitText(cursor, pasted);
    EXPECT_EQ(wholeText(document), u'a' + QString(pasted).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'b');
    EXPECT_LE(longestBlock(document), kLongestBlock + 1);
    document.undo();
    EXPECT_EQ(wholeText(document), QStringLiteral("ab"));
}

// A long text of short lines is held with its lines grouped into blocks; readers see every line
// break, and the document counts every line before it is laid out.
TEST(SoftBreaks, ShortLinesOfALongTextAreGroupedAndReadOnePerLine)
{
    QString text = words(30'000) + u'\n';
    for (int i = 0; i < 20'000; ++i)
        text += QStringLiteral("line %1\n").arg(i) + (i % 7 == 0 ? QStringLiteral("\n") : QString());
    QTextDocument document;
    setSplitText(document, text, true);
    EXPECT_LT(document.blockCount(), text.count(u'\n') / 10);
    expectReadWhole(document, text);
    EXPECT_EQ(document.lineCount(), text.count(u'\n') + 1 + 30'000 / kLongestBlock);

    QTextDocument own;
    const QString separated = text + QChar(QChar::LineSeparator);
    setSplitText(own, separated, true);
    EXPECT_GT(own.blockCount(), text.count(u'\n'));
    EXPECT_EQ(wholeText(own), separated) << "a text with line separators of its own keeps them";
}
