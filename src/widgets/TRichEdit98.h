#pragma once

#include "core/TextLimits.h"
#include "widgets/TextPieces.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace velmor {

// The main text box. A plain-text editor keeps recolouring and keystrokes cheap on texts of
// many megabytes; background highlights are kept beside the document (they are neither
// edits nor undo steps), and line operations work on display lines.
//
// Long paragraphs are held in pieces of a few thousand characters joined by soft breaks, kept
// by the document's side (TextPieces), which a box is given before use: typing never lays out
// more than one piece. Read the text through wholeText(), textBetween() or selText(), never
// through QTextDocument::toPlainText(). Positions are the document's.
// Edits made through the box's own calls and by the user keep the pieces in shape at once,
// other edits of the document on the next turn of the event loop.
class TRichEdit98 : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLength = kMaxTextLength;

    TRichEdit98(const QString& objectName, QWidget* parent);
    // Given by the document's side (document/PieceKeeper.h) before the box is used; the pieces
    // live as long as the box's document.
    void usePieces(TextPieces& pieces);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }
    // While a text is on its way (a file being read), key presses wait; they are replayed on
    // the text once holding ends.
    void holdKeys(bool hold);

    // The whole text, "\n" between paragraphs, and the text of the positions from..to. Indexes
    // into the whole text are positions up to the first soft break that stands for nothing.
    QString wholeText() const;
    QString textBetween(int from, int to) const;
    // Puts the paragraphs edited last into pieces now instead of on the next turn of the event
    // loop: their text stays, but positions after a soft break that stands for nothing move.
    void settle();

    // These replace QPlainTextEdit's own, which would hold a long paragraph in one block
    // (while word wrapping is on; without it the box holds every paragraph whole).
    // The undo history is emptied by setPlainText, and a step of undo or redo takes back the
    // reshaping of pieces along with the edit that caused it.
    void setPlainText(const QString& text);
    void insertPlainText(const QString& text);
    void undo();
    void redo();

    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    QString selText() const;

    int lineCount() const;
    int lineAt(int position) const;
    QString lineText(int row, int maxChars = 8192) const;
    int lineStart(int row) const;

    // Background colours over ranges of text; they move with edits around them. Text typed
    // inside a highlight takes its colour, text typed at either end does not, and a highlight
    // whose text is deleted goes. A highlight takes over the colour of any it covers.
    void addHighlight(int start, int length, const QColor& color);
    void clearHighlights();
    // Takes the highlights off the characters start .. start + length.
    void clearHighlights(int start, int length);
    // The highlights in their own colours, without the word being heard. With desktop colours
    // on, the marks shown keep a contrast of kMarkContrast against the background.
    QList<QTextEdit::ExtraSelection> highlights() const;
    int highlightCount() const { return int(m_highlights.size()); }

    // The word being heard, in a colour of its own over the highlights. Like them it is neither
    // an edit nor an undo step, and it moves with edits around it.
    void showSpokenWord(int start, int length, const QColor& color);
    void clearSpokenWord();
    // Start and length of the word shown; length 0 when none is.
    std::pair<int, int> spokenWord() const;
    // Scrolls, without moving the caret, so that the line holding the position is in sight.
    void bringIntoView(int position);

    bool isModified() const;
    void setModified(bool modified);

    void showSelectionBar(bool show);
    bool selectionBarShown() const { return m_selectionBarWidth > 0; }

    void setDefaultFont(const QString& family, int pointSize);
    void setTextColor(const QColor& color);
    QColor textColor() const;
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const;

signals:
    // Sent after the text box has handled the event, so the selection and the text are
    // already those the event produced.
    void mouseDown(Qt::MouseButton button, bool doubleClick);
    void mouseUp(Qt::MouseButton button);
    void characterTyped(const QString& text);
    void keyUp(int key);
    // Sent before the text box applies the event.
    void inputMethodSeen(const QInputMethodEvent& event);

protected:
    void changeEvent(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class SelectionBar;
    // A highlight is held by a cursor whose anchor is its start and whose position is its end;
    // the position stays put when text is inserted right there, so text typed at either end
    // stays outside.
    struct Highlight {
        QTextCursor range;
        QColor color;
    };
    Highlight makeHighlight(int start, int end, const QColor& color) const;
    void showHighlights();
    void retireHighlights();

    bool holdsPieces() const;
    std::vector<int> keptPositions() const;
    void placeKept(std::span<const int> kept);
    bool atEmptyBreak(int position) const;
    bool stepOverEmptyBreak(QKeyEvent* event);

    void keepCaretGlyphs();
    int roomLeft() const;
    void selectLineAt(int y);
    void placeSelectionBar();

    std::vector<Highlight> m_highlights;
    // Highlights of a text that was replaced, kept alive until the replacing is over.
    std::vector<Highlight> m_retiredHighlights;
    QTextCursor m_spokenWord;
    QColor m_spokenWordColor;
    bool m_marksContrasted = false;
    TextPieces* m_pieces = nullptr;
    // At the start of the block whose layout keeps its glyphs.
    QTextCursor m_glyphsKept;
    int m_maxLength = kMaxLength;
    bool m_holdingKeys = false;
    std::vector<std::unique_ptr<QKeyEvent>> m_heldKeys;
    int m_selectionBarWidth = 0;
    QWidget* m_selectionBar = nullptr;
};

} // namespace velmor
