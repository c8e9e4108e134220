#pragma once

#include <QString>

class QWidget;

namespace velmor {

struct Dialogs;
class TRichEdit98;

// What the Search or Replace window does to the main text box. Texts are taken afresh on
// every command; the messages appear over the window.
class FindReplace {
public:
    FindReplace(TRichEdit98& editor, const Dialogs& dialogs, QWidget& window);

    // The selected text after the selection or, with nothing selected, findText from the
    // beginning: selects the occurrence and tells true, or says that there is none.
    bool NextSearch(const QString& findText);
    // The selected text (or findText) before the selection: selects the last occurrence that
    // ends at or before its start and tells true, or beeps.
    bool BackSearch(const QString& findText);
    // Replaces the first occurrence in the text, as one undoable step.
    void Replace(const QString& findText, const QString& replacement);
    // Replaces every occurrence, also those the replacements form, as one undoable step; when
    // the replacements would not settle, says so and changes nothing.
    void ReplaceAll(const QString& findText, const QString& replacement);

private:
    bool mayReplaceWithNothing(const QString& findText, const QString& replacement);

    TRichEdit98& m_editor;
    const Dialogs& m_dialogs;
    QWidget& m_window;
};

} // namespace velmor
