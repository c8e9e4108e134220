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

    // Background colours over ranges of text; they move with edits around them.
    void addHighlight(int start, int length, const QColor& color);
    void clearHighlights();
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
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class SelectionBar;
    // A highlight is held by its first and its last character, so that text typed right
    // after it or right before it stays outside.
    struct Highlight {
        QTextCursor first;
        QTextCursor last;
        QColor color;
    };
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
