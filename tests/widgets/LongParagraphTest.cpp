#include "TextProbes.h"
#include "QtPrinters.h"

#include "document/SoftBreaks.h"
#include "document/PieceKeeper.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using velmor::TRichEdit98;

using textprobes::longestBlock;

namespace {

// Sentences of English words.
QString words(qsizetype size)
{
    return textprobes::words(size, QStringLiteral("The quick brown fox jumps over the lazy dog. "));
}

// Drives the box through its keys at places given as indexes into the text, and keeps a
// model of what the text must be.
struct Session {
    explicit Session(const QString& text)
        : model(text)
    {
        velmor::PieceKeeper::attach(editor);
        editor.resize(500, 300);
        editor.setPlainText(text);
        editor.show();
        QApplication::processEvents();
    }

    int positionOf(qsizetype index) const { return velmor::positionOfTextIndex(*editor.document(), index); }
    qsizetype caretIndex() const { return velmor::textIndexOfPosition(*editor.document(), editor.selStart()); }

    void placeCaret(qsizetype index) { editor.setSelection(positionOf(index), 0); }
    // Where a soft break stands for nothing, one place in the text has two positions: the end of
    // one piece and the start of the next. The key is pressed at either.
    void key(qsizetype index, Qt::Key key, bool atPieceStart)
    {
        int position = positionOf(index);
        if (atPieceStart && velmor::textIndexOfPosition(*editor.document(), position + 1) == index)
            ++position;
        editor.setSelection(position, 0);
        QTest::keyClick(&editor, key);
    }

    void check(const char* step)
    {
        const QString text = editor.wholeText();
        const auto differ = std::mismatch(text.begin(), text.end(), model.begin(), model.end());
        const qsizetype at = differ.first - text.begin();
        ASSERT_EQ(text.size(), model.size()) << step << " first difference at " << at;
        ASSERT_EQ(text.mid(at - 10, 30), model.mid(at - 10, 30)) << step << " at " << at;
        EXPECT_LE(longestBlock(*editor.document()), velmor::kLongestBlock + 1) << step;
        // The caret's piece alone keeps its glyphs between layouts.
        int keeping = 0;
        for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
            keeping += block.layout()->cacheEnabled() ? 1 : 0;
        EXPECT_EQ(keeping, 1) << step;
        EXPECT_TRUE(editor.textCursor().block().layout()->cacheEnabled()) << step;
    }

    TRichEdit98 editor{QStringLiteral("RichEdit98"), nullptr};
    QString model;
};

// Random edits through the keyboard and the clipboard, with undo and redo, on a text of long
// paragraphs: the box must read back exactly what a plain string would hold.
void editAtRandom(const QString& start, const QString& pasted, unsigned seed)
{
    Session s(start);
    std::mt19937 random(seed);
    const auto anywhere = [&] { return qsizetype(random() % (s.model.size() + 1)); };
    for (int step = 0; step < 160; ++step) {
        const qsizetype at = anywhere();
        const bool atPieceStart = random() % 2 == 0;
        QString before = s.model;
        bool undoable = false;
        const unsigned action = random() % 7;
        SCOPED_TRACE(testing::Message() << "step " << step << " action " << action << " at " << at);
        switch (action) {
        case 0:
            s.placeCaret(at);
            QTest::keyClicks(&s.editor, QStringLiteral("ab"));
            s.model.insert(at, QStringLiteral("ab"));
            break;
        case 1:
            s.key(at, Qt::Key_Return, atPieceStart);
            s.model.insert(at, u'\n');
            undoable = true;
            break;
        case 2:
            s.key(at, Qt::Key_Backspace, atPieceStart);
            if (at > 0)
                s.model.remove(at - 1, 1);
            break;
        case 3:
            s.key(at, Qt::Key_Delete, atPieceStart);
            s.model.remove(at, 1);
            break;
        case 4: {
            s.placeCaret(at);
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(&s.editor, Qt::Key_V, Qt::ControlModifier);
            s.model.insert(at, pasted);
            undoable = true;
            break;
        }
        case 5: {
            const qsizetype to = std::min(s.model.size(), at + qsizetype(random() % 5000));
            s.editor.setSelection(s.positionOf(at), s.positionOf(to) - s.positionOf(at));
            ASSERT_TRUE(s.editor.selText() == s.model.mid(at, to - at)) << at << ".." << to;
            QTest::keyClick(&s.editor, Qt::Key_C, Qt::ControlModifier);
            ASSERT_TRUE(QApplication::clipboard()->text() == s.model.mid(at, to - at)) << at << ".." << to;
            QTest::keyClick(&s.editor, Qt::Key_Delete);
            s.model.remove(at, to - at);
            undoable = to > at;
            break;
        }
        case 6: {
            s.key(at, Qt::Key_Right, atPieceStart);
            EXPECT_EQ(s.caretIndex(), std::min(at + 1, s.model.size()));
            s.key(at, Qt::Key_Left, atPieceStart);
            EXPECT_EQ(s.caretIndex(), std::max(at - 1, qsizetype(0)));
            break;
        }
        }
        s.check("edit");
        if (testing::Test::HasFailure())
            return;
        if (undoable && random() % 2 == 0) {
            const QString after = s.model;
            QTest::keyClick(&s.editor, Qt::Key_Z, Qt::ControlModifier);
            s.model = before;
            s.check("undo");
            QTest::keyClick(&s.editor, Qt::Key_Y, Qt::ControlModifier);
            s.model = after;
            s.check("redo");
        }
    }
}

} // namespace

TEST(LongParagraphs, EditsUndoAndRedoReadBackExactlyInWords)
{
    editAtRandom(words(30'000) + QStringLiteral("\n\n") + words(9000), words(5000), 11);
}

TEST(LongParagraphs, EditsUndoAndRedoReadBackExactlyWithoutBlanks)
{
    editAtRandom(QString(20'000, u'x') + u'\n' + QString(3000, QChar(0)), QString(4500, u'y'), 12);
}

// At a soft break that stands for nothing, from either of its two positions, each key acts on
// the character beyond as if no break were there.
TEST(LongParagraphs, KeysGoAcrossABreakThatStandsForNothing)
{
    const QString digits = QStringLiteral("0123456789").repeated(500);
    const qsizetype at = velmor::kLongestBlock;
    const std::pair<Qt::Key, qsizetype> keys[] = {
        {Qt::Key_Backspace, at - 1}, {Qt::Key_Delete, at}, {Qt::Key_Left, at - 1}, {Qt::Key_Right, at + 1}};
    for (const bool atPieceStart : {false, true}) {
        for (const auto& [key, expected] : keys) {
            Session s(digits);
            ASSERT_EQ(velmor::textIndexOfPosition(*s.editor.document(), int(at) + 1), at);
            s.key(at, key, atPieceStart);
            if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
                s.model.remove(expected, 1);
                s.check("deleted");
            } else {
                EXPECT_EQ(s.caretIndex(), expected) << key << " " << atPieceStart;
            }
        }
    }
}

// Edits straight on the document (as the voice listing makes) are put in shape on the next turn
// of the event loop, which leaves the modified flag as the edit left it.
TEST(LongParagraphs, EditsOfTheDocumentItselfAreReshapedLater)
{
    Session s(words(5000));
    QTextCursor end(s.editor.document());
    end.movePosition(QTextCursor::End);
    end.insertBlock();
    end.insertText(words(6000));
    s.editor.setModified(false);
    s.model += u'\n' + words(6000);
    ASSERT_EQ(s.editor.wholeText(), s.model);
    QApplication::processEvents();
    s.check("reshaped");
    EXPECT_FALSE(s.editor.isModified());
}

// Typing at the end of a piece that is full splits it; one undo takes back the typing and the split.
TEST(LongParagraphs, UndoTakesBackTypingThatSplitAPiece)
{
    Session s(words(velmor::kLongestBlock - 1));
    s.placeCaret(s.model.size());
    QTest::keyClicks(&s.editor, QStringLiteral("xy"));
    EXPECT_GT(s.editor.document()->blockCount(), 1);
    EXPECT_EQ(s.editor.wholeText(), s.model + QStringLiteral("xy"));
    QTest::keyClick(&s.editor, Qt::Key_Z, Qt::ControlModifier);
    s.check("undo");
    EXPECT_EQ(s.caretIndex(), s.model.size());
}
