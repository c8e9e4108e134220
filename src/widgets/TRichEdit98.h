#pragma once

#include <QPlainTextEdit>
#include <vector>

namespace velmor {

// The main text box. A plain-text editor keeps recolouring and keystrokes cheap on texts of
// many megabytes; background highlights are kept beside the document (they are neither
// edits nor undo steps), and line operations work on display lines.
class TRichEdit98 : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 100'000'000;

    TRichEdit98(const QString& objectName, QWidget* parent);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }

    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    QString selText() const;
    // The whole text, one '\n' per paragraph break, so that its positions are the selection's.
    QString wholeText() const;

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
    QList<QTextEdit::ExtraSelection> highlights() const { return extraSelections(); }
    int highlightCount() const { return int(m_highlights.size()); }

    bool isModified() const;
    void setModified(bool modified);

    void showSelectionBar(bool show);
    bool selectionBarShown() const { return m_selectionBarWidth > 0; }

    void setDefaultFont(const QString& family, int pointSize);
    void setTextColor(const QColor& color);
    QColor textColor() const;
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const;

protected:
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
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

    int roomLeft() const;
    void selectLineAt(int y);
    void placeSelectionBar();

    std::vector<Highlight> m_highlights;
    // Highlights of a text that was replaced, kept alive until the replacing is over.
    std::vector<Highlight> m_retiredHighlights;
    int m_maxLength = kMaxLength;
    int m_selectionBarWidth = 0;
    QWidget* m_selectionBar = nullptr;
};

} // namespace velmor
