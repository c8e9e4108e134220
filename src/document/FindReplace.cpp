#include "document/FindReplace.h"

#include "app/Dialogs.h"
#include "document/TextSearch.h"
#include "widgets/TRichEdit98.h"

#include <QTextCursor>

namespace velmor {

namespace {

const QString kNothingReplaced = QStringLiteral("Could not find Replace Text.  ");

// One undoable step; the caret ends after the last replacement, where the passes leave it.
void applyEdits(TRichEdit98& editor, const std::vector<TextEdit>& edits)
{
    if (edits.empty())
        return;
    QTextCursor cursor(editor.document());
    cursor.beginEditBlock();
    int growth = 0;
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
        cursor.setPosition(edit->start);
        cursor.setPosition(edit->start + edit->length, QTextCursor::KeepAnchor);
        cursor.insertText(edit->text);
        growth += int(edit->text.size()) - edit->length;
    }
    cursor.endEditBlock();
    const TextEdit& last = edits.back();
    const int grownBeforeLast = growth - (int(last.text.size()) - last.length);
    editor.setSelection(last.start + grownBeforeLast + int(last.text.size()), 0);
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
    const int start = selected ? m_editor.selStart() + m_editor.selLength() : 0;
    const QString text = m_editor.wholeText();
    const int found = findInRange(text, what, start, int(text.size()) - start);
    if (found < 0) {
        m_dialogs.notify(&m_window, QStringLiteral("No further occurence of Find Text found.  "));
        return false;
    }
    m_editor.setSelection(found, int(what.size()));
    return true;
}

bool FindReplace::BackSearch(const QString& findText)
{
    const QString what = m_editor.selLength() > 0 ? m_editor.selText() : findText;
    const int found = findLastBefore(m_editor.wholeText(), what, m_editor.selStart());
    if (found < 0) {
        m_dialogs.beep();
        return false;
    }
    m_editor.setSelection(found, int(what.size()));
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
    applyEdits(m_editor, replaceAllEdits(m_editor.wholeText(), findText, replacement));
}

} // namespace velmor
