#include "widgets/BaseColor.h"
#include "widgets/Contrast.h"
#include "widgets/TRichEdit98.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
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
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TRichEdit98::keepCaretGlyphs);
    connect(document(), &QTextDocument::contentsChange, this, [this] {
        if (m_highlights.empty())
            return;
        // Replacing the whole text takes the highlights with it. QTextDocument::clear() reports
        // the change while it holds the document's cursor list aside, so no cursor may be
        // destroyed here: the highlights and the shown selections go once control is back.
        if (document()->isEmpty()) {
            retireHighlights();
            return;
        }
        // The shown selections share the highlights' cursors, which follow the edit by
        // themselves; only highlights whose text went need to go.
        if (std::any_of(m_highlights.begin(), m_highlights.end(), [](const Highlight& h) { return !h.range.hasSelection(); }))
            showHighlights();
    });
}

void TRichEdit98::usePieces(TextPieces& pieces)
{
    m_pieces = &pieces;
    pieces.serve({.holdsPieces = [this] { return holdsPieces(); },
                  .keptPositions = [this] { return keptPositions(); },
                  .placeKept = [this](std::span<const int> kept) { placeKept(kept); },
                  .fill = [this](const QString& text) { QPlainTextEdit::setPlainText(text); }});
}

QString TRichEdit98::wholeText() const { return m_pieces->wholeText(); }

QString TRichEdit98::textBetween(int from, int to) const { return m_pieces->textBetween(from, to); }

// Without word wrapping every paragraph is one line on screen, which pieces would cut.
bool TRichEdit98::holdsPieces() const { return lineWrapMode() != NoWrap; }

void TRichEdit98::setPlainText(const QString& text) { m_pieces->load(text); }

void TRichEdit98::insertPlainText(const QString& text)
{
    if (!holdsPieces())
        return QPlainTextEdit::insertPlainText(text);
    m_pieces->edit([&] {
        QTextCursor cursor = textCursor();
        m_pieces->insert(cursor, text);
        setTextCursor(cursor);
    });
}

void TRichEdit98::undo()
{
    m_pieces->undo([this] { QPlainTextEdit::undo(); });
}

void TRichEdit98::redo()
{
    m_pieces->redo([this] { QPlainTextEdit::redo(); });
}

void TRichEdit98::settle() { m_pieces->settle(); }

// The caret, its anchor and the highlights stay beside their characters while pieces are reshaped.
std::vector<int> TRichEdit98::keptPositions() const
{
    const QTextCursor caret = textCursor();
    std::vector<int> kept{caret.anchor(), caret.position()};
    for (const Highlight& h : m_highlights) {
        kept.push_back(h.range.anchor());
        kept.push_back(h.range.position());
    }
    return kept;
}

void TRichEdit98::placeKept(std::span<const int> kept)
{
    const QTextCursor caret = textCursor();
    if (caret.anchor() != kept[0] || caret.position() != kept[1]) {
        QTextCursor placed = caret;
        placed.setPosition(kept[0]);
        placed.setPosition(kept[1], QTextCursor::KeepAnchor);
        setTextCursor(placed);
    }
    if (!m_highlights.empty()) {
        for (std::size_t i = 0; i < m_highlights.size(); ++i) {
            QTextCursor& range = m_highlights[i].range;
            range.setPosition(kept[2 + 2 * i]);
            range.setPosition(kept[3 + 2 * i], QTextCursor::KeepAnchor);
        }
        showHighlights();
    }
}

// Unless a block's layout keeps its glyphs, Qt drops them once the block is laid out and shapes
// the text again to paint it and to place the caret: a key press in a piece without a break
// opportunity, or of characters that no font holds, shaped it three times. The caret's piece
// keeps them; any other piece holds no more than painting it leaves behind anyway.
void TRichEdit98::keepCaretGlyphs()
{
    const QTextBlock block = textCursor().block();
    // The cursor stays at the start of the kept block while text is typed, inserted there or
    // taken out after it; when the block is joined to the one before, it lands in that one.
    if (!m_glyphsKept.isNull() && m_glyphsKept.block() != block)
        m_glyphsKept.block().layout()->setCacheEnabled(false);
    m_glyphsKept = QTextCursor(block);
    m_glyphsKept.setKeepPositionOnInsert(true);
    block.layout()->setCacheEnabled(true);
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
    const QTextCursor c = textCursor();
    return textBetween(c.selectionStart(), c.selectionEnd());
}


int TRichEdit98::lineCount() const { return m_pieces->lineCount(); }
int TRichEdit98::lineAt(int position) const { return m_pieces->lineAt(position); }
QString TRichEdit98::lineText(int row, int maxChars) const { return m_pieces->lineText(row, maxChars); }
int TRichEdit98::lineStart(int row) const { return m_pieces->lineStart(row); }

TRichEdit98::Highlight TRichEdit98::makeHighlight(int start, int end, const QColor& color) const
{
    QTextCursor range(document());
    range.setPosition(start);
    range.setPosition(end, QTextCursor::KeepAnchor);
    range.setKeepPositionOnInsert(true);
    return {range, color};
}

void TRichEdit98::addHighlight(int start, int length, const QColor& color)
{
    if (length <= 0)
        return;
    clearHighlights(start, length);
    m_highlights.push_back(makeHighlight(start, start + length, color));
    showHighlights();
}

void TRichEdit98::clearHighlights(int start, int length)
{
    const int end = start + length;
    if (length <= 0 || std::none_of(m_highlights.begin(), m_highlights.end(), [&](const Highlight& h) {
            return h.range.selectionStart() < end && start < h.range.selectionEnd();
        }))
        return;
    std::vector<Highlight> kept;
    kept.reserve(m_highlights.size() + 1);
    for (Highlight& h : m_highlights) {
        const int from = h.range.selectionStart();
        const int to = h.range.selectionEnd();
        if (to <= start || end <= from) {
            kept.push_back(std::move(h));
            continue;
        }
        if (from < start)
            kept.push_back(makeHighlight(from, start, h.color));
        if (end < to)
            kept.push_back(makeHighlight(end, to, h.color));
    }
    m_highlights = std::move(kept);
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
                showHighlights();
        },
        Qt::QueuedConnection);
}

void TRichEdit98::clearHighlights()
{
    m_highlights.clear();
    showHighlights();
}

QList<QTextEdit::ExtraSelection> TRichEdit98::highlights() const
{
    QList<QTextEdit::ExtraSelection> selections;
    selections.reserve(qsizetype(m_highlights.size()) + 1);
    for (const Highlight& h : m_highlights) {
        if (!h.range.hasSelection())
            continue;
        QTextEdit::ExtraSelection selection;
        selection.cursor = h.range;
        selection.format.setBackground(h.color);
        selections.append(selection);
    }
    return selections;
}

void TRichEdit98::showHighlights()
{
    std::erase_if(m_highlights, [](const Highlight& h) { return !h.range.hasSelection(); });
    QList<QTextEdit::ExtraSelection> selections = highlights();
    if (m_spokenWord.hasSelection()) {
        QTextEdit::ExtraSelection word;
        word.cursor = m_spokenWord;
        word.format.setBackground(m_spokenWordColor);
        selections.append(word);
    }
    m_marksContrasted = desktopColours();
    if (m_marksContrasted) {
        // Any desktop background may swallow a pale mark: each stands out from the background
        // shown, with its text in black or white on it.
        const QColor background = palette().color(QPalette::Base);
        for (QTextEdit::ExtraSelection& selection : selections) {
            const QColor shown = withContrast(selection.format.background().color(), background, kMarkContrast);
            selection.format.setBackground(shown);
            selection.format.setForeground(readableOn(shown));
        }
    }
    setExtraSelections(selections);
}

void TRichEdit98::showSpokenWord(int start, int length, const QColor& color)
{
    const int end = document()->characterCount() - 1;
    m_spokenWord = QTextCursor(document());
    m_spokenWord.setPosition(std::clamp(start, 0, end));
    m_spokenWord.setPosition(std::clamp(start + length, 0, end), QTextCursor::KeepAnchor);
    m_spokenWordColor = color;
    showHighlights();
}

void TRichEdit98::clearSpokenWord()
{
    if (m_spokenWord.isNull())
        return;
    m_spokenWord = QTextCursor();
    showHighlights();
}

std::pair<int, int> TRichEdit98::spokenWord() const
{
    if (!m_spokenWord.hasSelection())
        return {0, 0};
    return {m_spokenWord.selectionStart(), m_spokenWord.selectionEnd() - m_spokenWord.selectionStart()};
}

void TRichEdit98::bringIntoView(int position)
{
    QTextCursor at(document());
    at.setPosition(std::clamp(position, 0, document()->characterCount() - 1));
    const QRect line = cursorRect(at);
    if (line.top() >= 0 && line.bottom() <= viewport()->height())
        return;
    // The scroll bar counts display lines; the line comes to a third of the way down.
    const int rowsInView = viewport()->height() / std::max(1, line.height());
    verticalScrollBar()->setValue(lineAt(at.position()) - rowsInView / 3);
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

void TRichEdit98::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    // Marks shown for the desktop's background are shown again for the new one, or in their own
    // colours when desktop colours went off.
    if (event->type() == QEvent::PaletteChange && (desktopColours() || m_marksContrasted))
        showHighlights();
}

void TRichEdit98::setTextColor(const QColor& color) { setFixedColour(*this, QPalette::Text, color); }

QColor TRichEdit98::textColor() const { return fixedColour(*this, QPalette::Text); }

void TRichEdit98::setBackgroundColor(const QColor& color) { setBaseColor(*this, color); }

QColor TRichEdit98::backgroundColor() const { return fixedColour(*this, QPalette::Base); }

int TRichEdit98::roomLeft() const
{
    return m_maxLength - (document()->characterCount() - 1) + selLength();
}

QMimeData* TRichEdit98::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selText());
    return data;
}

void TRichEdit98::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText())
        return QPlainTextEdit::insertFromMimeData(source);
    const QString text = source->text();
    const int room = roomLeft();
    if (room <= 0)
        return;
    insertPlainText(text.size() <= room ? text : text.left(room));
    ensureCursorVisible();
}

void TRichEdit98::inputMethodEvent(QInputMethodEvent* event)
{
    emit inputMethodSeen(*event);
    m_pieces->edit([&] { QPlainTextEdit::inputMethodEvent(event); });
}

// Whether the position is the start of a piece whose soft break stands for nothing: the
// position just before it is the same place in the text.
bool TRichEdit98::atEmptyBreak(int position) const
{
    return m_pieces->emptyBreakAt(position);
}

// A soft break that stands for nothing is no character: Backspace, Delete and the arrow keys
// go across it to the character beyond. Returns whether the key has been handled.
bool TRichEdit98::stepOverEmptyBreak(QKeyEvent* event)
{
    QTextCursor caret = textCursor();
    const int position = caret.position();
    if (!caret.hasSelection() && event->key() == Qt::Key_Backspace && atEmptyBreak(position)) {
        caret.setPosition(position - 1);
        setTextCursor(caret);
        return false;
    }
    if (!caret.hasSelection() && event->key() == Qt::Key_Delete && atEmptyBreak(position + 1)) {
        caret.setPosition(position + 1);
        setTextCursor(caret);
        return false;
    }
    const bool back = event->matches(QKeySequence::MoveToPreviousChar) || event->matches(QKeySequence::SelectPreviousChar);
    const bool forward = event->matches(QKeySequence::MoveToNextChar) || event->matches(QKeySequence::SelectNextChar);
    if (!(back && atEmptyBreak(position)) && !(forward && atEmptyBreak(position + 1)))
        return false;
    const auto mode = event->modifiers() & Qt::ShiftModifier ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    caret.setPosition(back ? position - 2 : position + 2, mode);
    setTextCursor(caret);
    return true;
}

void TRichEdit98::holdKeys(bool hold)
{
    m_holdingKeys = hold;
    if (hold)
        return;
    const std::vector<std::unique_ptr<QKeyEvent>> held = std::move(m_heldKeys);
    m_heldKeys.clear();
    for (const std::unique_ptr<QKeyEvent>& key : held)
        keyPressEvent(key.get());
}

void TRichEdit98::keyPressEvent(QKeyEvent* event)
{
    if (m_holdingKeys) {
        m_heldKeys.push_back(std::make_unique<QKeyEvent>(event->type(), event->key(), event->modifiers(),
                                                         event->nativeScanCode(), event->nativeVirtualKey(),
                                                         event->nativeModifiers(), event->text(),
                                                         event->isAutoRepeat(), event->count()));
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        event->matches(QKeySequence::Undo) ? undo() : redo();
        event->accept();
        return;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint() && roomLeft() < event->text().size()) {
        event->accept();
        return;
    }
    // Shift+Enter's line separator goes in as pasted text does, so that a document of grouped
    // lines keeps it a character of its own.
    if (holdsPieces() && event->matches(QKeySequence::InsertLineSeparator)) {
        insertPlainText(QString(QChar::LineSeparator));
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (stepOverEmptyBreak(event)) {
        event->accept();
        return;
    }
    m_pieces->edit([&] { QPlainTextEdit::keyPressEvent(event); });
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

} // namespace velmor
