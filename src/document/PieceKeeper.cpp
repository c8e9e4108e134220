#include "document/PieceKeeper.h"

#include "document/EditorLines.h"
#include "document/RawByteMarks.h"
#include "document/SoftBreaks.h"
#include "widgets/TRichEdit98.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace velmor {

PieceKeeper::PieceKeeper(QTextDocument& document)
    : QObject(&document), m_document(document)
{
    serve({});
    // A document reports its changes only once it has a layout.
    document.documentLayout();
    connect(&document, &QTextDocument::contentsChange, this, &PieceKeeper::noteChange);
}

PieceKeeper& PieceKeeper::attach(TRichEdit98& box)
{
    PieceKeeper* keeper = of(*box.document());
    if (!keeper)
        keeper = new PieceKeeper(*box.document());
    box.usePieces(*keeper);
    return *keeper;
}

PieceKeeper* PieceKeeper::of(const QTextDocument& document)
{
    return document.findChild<PieceKeeper*>(QString(), Qt::FindDirectChildrenOnly);
}

void PieceKeeper::serve(Box box)
{
    if (!box.holdsPieces)
        box.holdsPieces = [] { return true; };
    if (!box.keptPositions)
        box.keptPositions = [] { return std::vector<int>(); };
    if (!box.placeKept)
        box.placeKept = [](std::span<const int>) {};
    if (!box.fill)
        box.fill = [this](const QString& text) { m_document.setPlainText(text); };
    m_box = std::move(box);
}

QString PieceKeeper::wholeText() const { return velmor::wholeText(m_document); }

QString PieceKeeper::textBetween(int from, int to) const { return velmor::textBetween(m_document, from, to); }

bool PieceKeeper::emptyBreakAt(int position) const
{
    const QTextBlock block = m_document.findBlock(position);
    return block.isValid() && block.position() == position && block.position() > 0 && breakBefore(block).isEmpty();
}

int PieceKeeper::lineCount() const { return displayLineCount(m_document); }
int PieceKeeper::lineAt(int position) const { return caretPlace(m_document, position).row; }
QString PieceKeeper::lineText(int row, int maxChars) const { return displayLineText(m_document, row, maxChars); }
int PieceKeeper::lineStart(int row) const { return displayLineStart(m_document, row); }

void PieceKeeper::load(const QString& text)
{
    loadSplitText(m_box.holdsPieces() ? splitForLoading(text) : SplitText{text, {}, {}});
}

void PieceKeeper::loadSplitText(const SplitText& split)
{
    Q_ASSERT(m_box.holdsPieces() || (split.softBreaks.empty() && split.groupedLines.empty()));
    ++m_quietDepth;
    m_box.fill(split.text);
    const bool modified = m_document.isModified();
    markSoftBreaks(m_document, split);
    m_document.setModified(modified);
    --m_quietDepth;
    m_dirtyFrom = m_dirtyTo = -1;
    m_reshapeSteps.clear();
}

void PieceKeeper::insert(QTextCursor& cursor, const QString& text) { insertSplitText(cursor, text); }

void PieceKeeper::edit(const std::function<void()>& edit)
{
    ++m_editDepth;
    {
        // What the user types, pastes or drops is no raw byte of a file, whatever its characters.
        const RawByteMarks::Edit typing(m_document, RawByteMarks::Edit::Typing);
        edit();
    }
    if (--m_editDepth == 0)
        settle();
}

void PieceKeeper::undo(const std::function<void()>& step)
{
    const int steps = m_document.availableUndoSteps();
    const RawByteMarks::Edit undoing(m_document, RawByteMarks::Edit::UndoOrRedo);
    ++m_quietDepth;
    step();
    // Reshaping alone changes nothing a user sees: take back the edit behind it too.
    if (std::ranges::any_of(m_reshapeSteps, [steps](const auto& reshaping) { return reshaping.second == steps; }))
        step();
    --m_quietDepth;
}

void PieceKeeper::redo(const std::function<void()>& step)
{
    const RawByteMarks::Edit redoing(m_document, RawByteMarks::Edit::UndoOrRedo);
    ++m_quietDepth;
    step();
    const int steps = m_document.availableUndoSteps();
    if (std::ranges::any_of(m_reshapeSteps, [steps](const auto& reshaping) { return reshaping.first == steps; }))
        step();
    --m_quietDepth;
}

void PieceKeeper::noteChange(int from, int removed, int added)
{
    if (m_dirtyFrom >= 0) {
        // Keep the span already noted on the same characters.
        if (m_dirtyFrom > from)
            m_dirtyFrom = m_dirtyFrom >= from + removed ? m_dirtyFrom + added - removed : from;
        if (m_dirtyTo >= from)
            m_dirtyTo = m_dirtyTo >= from + removed ? m_dirtyTo + added - removed : from + added;
    }
    if (m_quietDepth > 0)
        return;
    m_dirtyFrom = m_dirtyFrom < 0 ? from : std::min(m_dirtyFrom, from);
    m_dirtyTo = std::max(m_dirtyTo, from + added);
    if (m_editDepth == 0 && !m_settlePosted) {
        m_settlePosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_settlePosted = false;
                settle();
            },
            Qt::QueuedConnection);
    }
}

void PieceKeeper::settle()
{
    if (m_dirtyFrom < 0 || !m_box.holdsPieces())
        return;
    const int from = m_dirtyFrom;
    const int to = m_dirtyTo;
    m_dirtyFrom = m_dirtyTo = -1;

    std::vector<int> kept = m_box.keptPositions();
    const int stepsBefore = m_document.availableUndoSteps();
    const bool modified = m_document.isModified();
    ++m_quietDepth;
    const bool changed = settleBlocks(m_document, from, to, kept);
    --m_quietDepth;
    if (!changed)
        return;
    // Reshaping is no change of the text.
    m_document.setModified(modified);
    std::erase_if(m_reshapeSteps, [stepsBefore](const auto& step) { return step.second > stepsBefore; });
    m_reshapeSteps.emplace_back(stepsBefore, m_document.availableUndoSteps());
    m_box.placeKept(kept);
}

} // namespace velmor
