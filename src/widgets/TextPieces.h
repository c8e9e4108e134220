#pragma once

#include <QString>

#include <functional>
#include <span>
#include <vector>

class QTextCursor;

namespace velmor {

// How a text box's document holds its text. A long paragraph is held in pieces joined by soft
// breaks, so that typing never lays out more than one piece; the document's side keeps the
// pieces in shape, reads the text whole and counts its display lines. The box calls these at its
// loading, edits, undo and redo, and tells the pieces about itself through Box.
class TextPieces {
public:
    struct Box {
        // Whether the box holds pieces at all (it does while word wrapping is on).
        std::function<bool()> holdsPieces;
        // The positions that reshaping keeps beside their characters (caret, anchor, highlight
        // ends), and the placing of them once reshaping has moved the text under them.
        std::function<std::vector<int>()> keptPositions;
        std::function<void(std::span<const int>)> placeKept;
        // Replaces the box's text with one whose block boundaries are "\n".
        std::function<void(const QString&)> fill;
    };

    virtual ~TextPieces() = default;
    virtual void serve(Box box) = 0;

    // The whole text, "\n" between paragraphs, and the text of the positions from..to.
    virtual QString wholeText() const = 0;
    virtual QString textBetween(int from, int to) const = 0;
    // Whether the position starts a piece whose soft break stands for nothing.
    virtual bool emptyBreakAt(int position) const = 0;

    // Display lines: a wrapped paragraph counts one line per row on screen.
    virtual int lineCount() const = 0;
    virtual int lineAt(int position) const = 0;
    virtual QString lineText(int row, int maxChars) const = 0;
    virtual int lineStart(int row) const = 0;

    // Replaces the whole text, split into pieces; the undo history is emptied.
    virtual void load(const QString& text) = 0;
    // Inserts text at the cursor in place of its selection, as one undoable step.
    virtual void insert(QTextCursor& cursor, const QString& text) = 0;
    // Runs an edit of the user's or of the box's own; the pieces are put in shape once it is over.
    virtual void edit(const std::function<void()>& edit) = 0;
    // Runs one step of the box's undo or redo, and a second one when the first took back or
    // brought back only a reshaping.
    virtual void undo(const std::function<void()>& step) = 0;
    virtual void redo(const std::function<void()>& step) = 0;
    // Puts the paragraphs edited last into pieces now instead of on the next turn of the event loop.
    virtual void settle() = 0;
};

} // namespace velmor
