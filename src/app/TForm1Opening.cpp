// Opening a file at start-up while the window is already up.

#include "app/CommandLine.h"
#include "app/TForm1.h"
#include "document/FileCommands.h"
#include "speech/ListeningResume.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QFileInfo>
#include <QScrollBar>

namespace velmor {

// At start-up: the top of the text on the first start, else the end line when that option is on.
void TForm1::placeCaretInOpenedText()
{
    if (!m_state.ffirst && resumeListening())
        return;
    if (m_state.ffirst) {
        GetColRow();
        RichEdit98->setSelection(0, 0);
        RichEdit98->verticalScrollBar()->setValue(0);
        RichEdit98->setModified(false);
        return;
    }
    placeCaretAtEndLine();
}

void TForm1::keepListeningPlace()
{
    if (m_resume)
        m_resume->keepPlace(m_state.fFileName);
}

bool TForm1::resumeListening()
{
    if (!m_resume || !action(ActionId::ResumeWhereStopped1).isChecked() || !m_resume->resume(m_state.fFileName))
        return false;
    GetColRow();
    tellInPanel(QStringLiteral("Resume from here: Alt+Down"));
    return true;
}

void TForm1::openAtStart(const QString& fileName)
{
    // Stored as the last file, the name must still lead to it from another folder.
    m_state.fOpenName = QFileInfo(fileName).absoluteFilePath();
    m_state.fParamOpen = true;
    m_files->MyTextFileOpen([this] {
        placeCaretInOpenedText();
        GetColRow();
    });
}

void TForm1::openCommandLineFiles(const CommandLineRequest& request)
{
    if (request.file)
        openAtStart(*request.file);
    if (const QString report = unopenedFilesText(request); !report.isEmpty())
        UPanel1->setCaption(report);
}

} // namespace velmor
