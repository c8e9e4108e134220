#include "document/DocumentCommands.h"

#include "core/FormState.h"
#include "document/DateText.h"
#include "document/YukiMarks.h"
#include "widgets/Bgr.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QScrollBar>
#include <QTextCursor>

namespace velmor {

DocumentCommands::DocumentCommands(FormState& state, DocumentControls controls, DocumentServices services)
    : m_state(state), m_controls(controls), m_services(std::move(services))
{
}

bool DocumentCommands::mayDiscardText()
{
    if (!m_controls.editor.isModified())
        return true;
    if (m_services.speechInfo())
        m_services.announce(QStringLiteral("Are you sure you want to delete the text? Y or N"));
    return m_services.askYesNo(QStringLiteral("Are you sure you want to delete the text?\n"
                                              "内容を廃棄します。よろしいですか"));
}

void DocumentCommands::NewButtonClick()
{
    if (!mayDiscardText())
        return;
    TRichEdit98& editor = m_controls.editor;
    editor.clear();
    editor.setModified(false);
    m_controls.saveLabel.setOpaque(false);
    m_controls.infoLine.clear();
    m_state.fFileName.clear();
    m_state.fImportedFrom.clear();
    m_state.fChapterStarts.clear();
    m_state.fUnicodeFile = false;
    m_state.fTextFormat = {};
    m_state.fArticleWait = false;
    m_state.fHangulMode = false;
    m_services.caretMoved();
    // A file still being read would replace the new text; keys typed meanwhile go to the new text.
    m_services.stopOpening();
}

void DocumentCommands::Undo1Click() { m_controls.editor.undo(); }
void DocumentCommands::Redo1Click() { m_controls.editor.redo(); }
void DocumentCommands::Cut1Click() { m_controls.editor.cut(); }
void DocumentCommands::Copy1Click() { m_controls.editor.copy(); }
void DocumentCommands::Paste1Click() { m_controls.editor.paste(); }
void DocumentCommands::SelectAll1Click() { m_controls.editor.selectAll(); }

void DocumentCommands::Date1Click()
{
    m_controls.editor.insertPlainText(dateStamp(QDateTime::currentDateTime()));
    m_services.caretMoved();
}

void DocumentCommands::Tab1Click()
{
    m_controls.editor.insertPlainText(QStringLiteral("\t"));
    m_services.caretMoved();
}

void DocumentCommands::Yuki1Click()
{
    TRichEdit98& editor = m_controls.editor;
    QTextCursor cursor = editor.textCursor();
    QTextCharFormat mark = cursor.charFormat();
    mark.setForeground(kYukiColor);
    cursor.insertText(kYukiMark, mark);
    editor.setTextCursor(cursor);
    // Text typed next has the normal colour again.
    QTextCharFormat normal = mark;
    normal.setForeground(colorFromBgr(m_state.fFontColor));
    editor.setCurrentCharFormat(normal);
}

void DocumentCommands::AddYuki1Click() { m_state.fAddYuki = m_controls.addYukiOption.isChecked(); }

void DocumentCommands::ReSetText() { recolourAfterFontChange(true, std::nullopt); }

void DocumentCommands::ReSetTextM() { recolourAfterFontChange(m_state.fAddYuki, m_state.fTopLine); }

void DocumentCommands::recolourAfterFontChange(bool colourMarks, std::optional<int> firstLine)
{
    TRichEdit98& editor = m_controls.editor;
    if (!editor.document()->isEmpty()) {
        const int caret = editor.selStart();
        const int topLine = firstLine.value_or(editor.verticalScrollBar()->value());
        // The typing format below would otherwise be given to the selected text.
        editor.setSelection(caret, 0);
        if (colourMarks)
            AddYukiColor(editor, kYukiMark, kYukiColor, colorFromBgr(m_state.fFontColor));
        QTextCharFormat typing = editor.currentCharFormat();
        typing.setFontFamilies({m_state.fFontName});
        editor.setCurrentCharFormat(typing);
        editor.verticalScrollBar()->setValue(topLine);
    }
    editor.setModified(true);
    m_services.caretMoved();
    editor.setFocus();
}

void DocumentCommands::RichEdit98Change()
{
    TRichEdit98& editor = m_controls.editor;
    if (editor.document()->isEmpty())
        m_controls.saveLabel.setOpaque(false);
    else if (editor.isModified())
        m_controls.saveLabel.setOpaque(true);
}

void DocumentCommands::showModified()
{
    const TRichEdit98& editor = m_controls.editor;
    m_controls.saveLabel.setOpaque(editor.isModified() && !editor.document()->isEmpty());
}

} // namespace velmor
