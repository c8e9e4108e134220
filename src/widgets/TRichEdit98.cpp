#include "widgets/BaseColor.h"
#include "widgets/TRichEdit98.h"

#include "document/EditorLines.h"
#include "document/TextFile.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>

#include <iterator>

namespace velmor {

// The strip left of the text in which a click selects the whole line.
class TRichEdit98::SelectionBar : public QWidget {
public:
    explicit SelectionBar(TRichEdit98* editor)
        : QWidget(editor), m_editor(editor)
    {
        setCursor(QCursor(Qt::ArrowCursor));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_editor->selectLineAt(int(event->position().y()));
    }

private:
    TRichEdit98* m_editor;
};

TRichEdit98::TRichEdit98(const QString& objectName, QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(objectName);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    // The selection stays visible while another control has the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
        if (m_highlights.empty())
            return;
        // Replacing the whole text takes the highlights with it. QTextDocument::clear() reports
        // the change while it holds the document's cursor list aside, so no cursor may be
        // destroyed here: the highlights and the shown selections go once control is back.
        if (document()->isEmpty()) {
            retireHighlights();
            return;
        }
        showHighlights();
    });
}

int TRichEdit98::selStart() const { return textCursor().selectionStart(); }

int TRichEdit98::selLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichEdit98::setSelection(int start, int length)
{
    const int end = document()->characterCount() - 1;
    QTextCursor c(document());
    c.setPosition(std::clamp(start, 0, end));
    if (length > 0)
        c.setPosition(std::clamp(start + length, 0, end), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString TRichEdit98::selText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString TRichEdit98::wholeText() const { return documentText(*document()); }

int TRichEdit98::lineCount() const { return displayLineCount(*document()); }
int TRichEdit98::lineAt(int position) const { return caretPlace(*document(), position).row; }
QString TRichEdit98::lineText(int row, int maxChars) const { return displayLineText(*document(), row, maxChars); }
int TRichEdit98::lineStart(int row) const { return displayLineStart(*document(), row); }

void TRichEdit98::addHighlight(int start, int length, const QColor& color)
{
    if (length <= 0)
        return;
    QTextCursor first(document());
    first.setPosition(start);
    QTextCursor last(document());
    last.setPosition(start + length - 1);
    m_highlights.push_back({first, last, color});
    showHighlights();
}

void TRichEdit98::retireHighlights()
{
    std::move(m_highlights.begin(), m_highlights.end(), std::back_inserter(m_retiredHighlights));
    m_highlights.clear();
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_retiredHighlights.clear();
            if (m_highlights.empty())
                setExtraSelections({});
        },
        Qt::QueuedConnection);
}

void TRichEdit98::clearHighlights()
{
    m_highlights.clear();
    setExtraSelections({});
}

void TRichEdit98::showHighlights()
{
    std::erase_if(m_highlights, [](const Highlight& h) { return h.last.position() < h.first.position(); });
    QList<QTextEdit::ExtraSelection> selections;
    selections.reserve(qsizetype(m_highlights.size()));
    for (const Highlight& h : m_highlights) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(document());
        selection.cursor.setPosition(h.first.position());
        selection.cursor.setPosition(h.last.position() + 1, QTextCursor::KeepAnchor);
        selection.format.setBackground(h.color);
        selections.append(selection);
    }
    setExtraSelections(selections);
}

bool TRichEdit98::isModified() const { return document()->isModified(); }
void TRichEdit98::setModified(bool modified) { document()->setModified(modified); }

void TRichEdit98::showSelectionBar(bool show)
{
    m_selectionBarWidth = show ? 8 : 0;
    if (show && !m_selectionBar)
        m_selectionBar = new SelectionBar(this);
    if (m_selectionBar)
        m_selectionBar->setVisible(show);
    setViewportMargins(m_selectionBarWidth, 0, 0, 0);
    placeSelectionBar();
}

void TRichEdit98::selectLineAt(int y)
{
    QTextCursor c = cursorForPosition(QPoint(0, y));
    c.movePosition(QTextCursor::StartOfLine);
    c.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    setTextCursor(c);
    setFocus();
}

void TRichEdit98::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    placeSelectionBar();
}

void TRichEdit98::placeSelectionBar()
{
    if (!m_selectionBar)
        return;
    const QRect area = contentsRect();
    m_selectionBar->setGeometry(area.left(), area.top(), m_selectionBarWidth, viewport()->height());
}

void TRichEdit98::setDefaultFont(const QString& family, int pointSize)
{
    QFont f = font();
    f.setFamily(family);
    f.setPointSize(pointSize);
    setFont(f);
}

void TRichEdit98::setTextColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QColor TRichEdit98::textColor() const { return palette().color(QPalette::Text); }

void TRichEdit98::setBackgroundColor(const QColor& color) { setBaseColor(*this, color); }

QColor TRichEdit98::backgroundColor() const { return palette().color(QPalette::Base); }

int TRichEdit98::roomLeft() const
{
    return m_maxLength - (document()->characterCount() - 1) + selLength();
}

void TRichEdit98::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return QPlainTextEdit::insertFromMimeData(source);
    const QString text = source->text();
    const int room = roomLeft();
    if (text.size() <= room)
        return QPlainTextEdit::insertFromMimeData(source);
    if (room > 0)
        insertPlainText(text.left(room));
}

void TRichEdit98::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty() && event->text().at(0).isPrint() && roomLeft() < event->text().size()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    if (!event->text().isEmpty())
        emit characterTyped(event->text());
}

void TRichEdit98::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyUp(event->key());
}

void TRichEdit98::mousePressEvent(QMouseEvent* event)
{
    QPlainTextEdit::mousePressEvent(event);
    emit mouseDown(event->button(), false);
}

void TRichEdit98::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit mouseDown(event->button(), true);
}

void TRichEdit98::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseUp(event->button());
}

void TRichEdit98::inputMethodEvent(QInputMethodEvent* event)
{
    emit inputMethodSeen(*event);
    QPlainTextEdit::inputMethodEvent(event);
}

} // namespace velmor
