#include "TextProbes.h"
#include "QtPrinters.h"

#include "document/PieceKeeper.h"
#include "document/SoftBreaks.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velmor;

using textprobes::longestBlock;
using textprobes::words;

// Without any text box: loading splits, an edit run through the keeper is reshaped at once and
// undone and redone with its reshaping in one step, an edit from outside is reshaped on the next
// turn of the event loop, and reshaping never marks the document modified.
TEST(PieceKeeper, KeepsABareDocumentInPiecesThroughEditsUndoAndRedo)
{
    QTextDocument document;
    auto* keeper = new PieceKeeper(document);
    ASSERT_EQ(PieceKeeper::of(document), keeper);
    const QString first = words(3000);
    keeper->load(first);
    EXPECT_GT(document.blockCount(), 1);
    EXPECT_LE(longestBlock(document), kLongestBlock);
    EXPECT_EQ(keeper->wholeText(), first);
    EXPECT_EQ(document.availableUndoSteps(), 0);

    const QString added = words(3000);
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    keeper->edit([&] { end.insertText(added); });
    EXPECT_LE(longestBlock(document), kLongestBlock);
    EXPECT_EQ(keeper->wholeText(), first + added);
    keeper->undo([&] { document.undo(); });
    EXPECT_EQ(keeper->wholeText(), first);
    EXPECT_EQ(document.availableUndoSteps(), 0);
    keeper->redo([&] { document.redo(); });
    EXPECT_EQ(keeper->wholeText(), first + added);
    EXPECT_LE(longestBlock(document), kLongestBlock);

    document.setModified(false);
    const QString front = words(2500);
    QTextCursor(&document).insertText(front);
    document.setModified(false);
    EXPECT_GT(longestBlock(document), kLongestBlock);
    QCoreApplication::processEvents();
    EXPECT_LE(longestBlock(document), kLongestBlock);
    EXPECT_EQ(keeper->wholeText(), front + first + added);
    EXPECT_FALSE(document.isModified());
}
