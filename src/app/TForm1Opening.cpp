// Opening the file named at start-up while the window is already up.

#include "app/ErrorBox.h"
#include "app/TForm1.h"
#include "document/FileCommands.h"
#include "document/YukiMarks.h"
#include "widgets/Bgr.h"
#include "widgets/TRichEdit98.h"

#include <QFileInfo>
#include <QScrollBar>

namespace velmor {

// At start-up: the top of the text on the first start, else the end line when that option is on.
void TForm1::placeCaretInOpenedText()
{
    FormState& s = m_state;
    if (s.ffirst) {
        GetColRow();
        RichEdit98->setSelection(0, 0);
        RichEdit98->verticalScrollBar()->setValue(0);
        RichEdit98->setModified(false);
        return;
    }
    if (!s.fDropOpen && s.fAddYuki) {
        AddYukiColor(*RichEdit98, kYukiMark, kYukiColor, colorFromBgr(s.fFontColor));
        RichEdit98->document()->clearUndoRedoStacks();
        RichEdit98->setModified(false);
    }
    placeCaretAtEndLine();
}

void TForm1::openCommandLineFileInBackground(const QString& fileName)
{
    // Stored as the last file, the name must still lead to it from another folder.
    m_state.fOpenName = QFileInfo(fileName).absoluteFilePath();
    m_files->openNamedInBackground([this](std::exception_ptr error) {
        runGuarded(m_dialogs.showError, [&] {
            if (error)
                std::rethrow_exception(error);
            placeCaretInOpenedText();
            GetColRow();
        });
    });
}

} // namespace velmor
