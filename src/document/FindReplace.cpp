#include "document/FindReplace.h"

#include "core/Dialogs.h"
#include "document/SoftBreaks.h"
#include "document/TextSearch.h"
#include "widgets/TRichEdit98.h"

#include <QTextCursor>

namespace velmor {

namespace {

const QString kNothingReplaced = QStringLiteral("Could not find Replace Text.  ");
const QString kDidNotSettle = QStringLiteral(
    "The replacement did not settle: the replacements keep forming new occurrences of the Find Text. "
    "Nothing was replaced.  ");

// Selects the text between two indexes into the whole text.
void selectText(TRichEdit98& editor, qsizetype from, qsizetype to)
{
    const TextPositions positions(*editor.document());
    const int start = positions.positionOf(from);
    editor.setSelection(start, positions.positionOf(to) - start);
}

// One undoable step; the caret ends after the last replacement, where the passes leave it.
// The edits are given at indexes into the whole text.
void applyEdits(TRichEdit98& editor, const std::vector<TextEdit>& edits)
{
    if (edits.empty())
        return;
    const TextPositions positions(*editor.document());
    QTextCursor cursor(editor.document());
    cursor.beginEditBlock();
    int growth = 0;
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        cursor.setPosition(positions.positionOf(edit->start));
        cursor.setPosition(positions.positionOf(edit->start + edit->length), QTextCursor::KeepAnchor);
        cursor.insertText(edit->text);
        growth += int(edit->text.size()) - edit->length;
    }
    cursor.endEditBlock();
    const TextEdit& last = edits.back();
    const int grownBeforeLast = growth - (int(last.text.size()) - last.length);
    const qsizetype caret = last.start + grownBeforeLast + int(last.text.size());
    selectText(editor, caret, caret);
}

} // namespace

FindReplace::FindReplace(TRichEdit98& editor, const Dialogs& dialogs, QWidget& window)
    : m_editor(editor), m_dialogs(dialogs), m_window(window)
{
}

bool FindReplace::NextSearch(const QString& findText)
{
    const bool selected = m_editor.selLength() > 0;
    const QString what = selected ? m_editor.selText() : findText;
    const int start = selected ? int(TextPositions(*m_editor.document()).indexOf(m_editor.selStart() + m_editor.selLength())) : 0;
    const QString text = m_editor.wholeText();
    const int found = findInRange(text, what, start, int(text.size()) - start);
    if (found < 0) {
        m_dialogs.notify(&m_window, QStringLiteral("No further occurence of Find Text found.  "));
        return false;
    }
    selectText(m_editor, found, found + what.size());
    return true;
}

bool FindReplace::BackSearch(const QString& findText)
{
    const QString what = m_editor.selLength() > 0 ? m_editor.selText() : findText;
    const int before = int(TextPositions(*m_editor.document()).indexOf(m_editor.selStart()));
    const int found = findLastBefore(m_editor.wholeText(), what, before);
    if (found < 0) {
        m_dialogs.beep();
        return false;
    }
    selectText(m_editor, found, found + what.size());
    return true;
}

bool FindReplace::mayReplaceWithNothing(const QString& findText, const QString& replacement)
{
    return findText.isEmpty() || !replacement.isEmpty()
        || m_dialogs.askQuestion(&m_window, QStringLiteral(" Text in the blank?  "));
}

void FindReplace::Replace(const QString& findText, const QString& replacement)
{
    if (!mayReplaceWithNothing(findText, replacement))
        return;
    const int found = findInRange(m_editor.wholeText(), findText, 0, 0);
    if (found < 0) {
        m_dialogs.notify(&m_window, kNothingReplaced);
        return;
    }
    applyEdits(m_editor, {{found, int(findText.size()), replacement}});
}

void FindReplace::ReplaceAll(const QString& findText, const QString& replacement)
{
    if (findText.isEmpty()) {
        m_dialogs.notify(&m_window, kNothingReplaced);
        return;
    }
    if (!mayReplaceWithNothing(findText, replacement))
        return;
    const std::optional<std::vector<TextEdit>> edits = replaceAllEdits(m_editor.wholeText(), findText, replacement);
    if (!edits) {
        m_dialogs.notify(&m_window, kDidNotSettle);
        return;
    }
    applyEdits(m_editor, *edits);
}

} // namespace velmor
