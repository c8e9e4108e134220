#include "document/DroppedFiles.h"

#include "core/FormState.h"
#include "document/DocumentKinds.h"
#include "document/Paths.h"
#include "document/ProgramLauncher.h"
#include "document/ShellLink.h"
#include "widgets/TRichEdit98.h"

#include <QAbstractButton>
#include <QFileInfo>

namespace velmor {

namespace {

void showProgramHint(QAbstractButton& button, const QString& program, const QStringList& arguments)
{
    const QString command = commandText({program, arguments});
    button.setToolTip(command);
    button.setStatusTip(command);
}

} // namespace

DropCommands::DropCommands(FormState& state, DropControls controls, DropServices services)
    : m_state(state), m_controls(controls), m_services(std::move(services))
{
}

void DropCommands::DropDst1FileDrop(const QStringList& files)
{
    // The file named on the command line is still being opened.
    if (m_state.fParamOpen || files.isEmpty())
        return;
    const QString& dropped = files.front();
    const QString target = IsLinkExt(dropped) ? GetLinkPath(dropped).path : dropped;
    // Only a file that will really replace the text makes unsaved text worth asking about.
    if (mayBeReadable(target) && m_services.mayDiscardText()) {
        m_state.fOpenName = target;
        m_state.fDropOpen = true;
        m_services.openNamedFile();
        m_state.fParamOpen = false;
        m_state.fDropOpen = false;
    }
    m_controls.editor.setFocus();
}

void DropCommands::DropDst2FileDrop(const QStringList& files)
{
    rememberProgram(files, m_state.fExeName, m_state.fExeArgs, m_controls.dicButton);
}

void DropCommands::DropDst3FileDrop(const QStringList& files)
{
    rememberProgram(files, m_state.fDicName, m_state.fDicArgs, m_controls.dicButton2);
}

bool DropCommands::rememberProgram(const QStringList& files, QString& program, QStringList& arguments,
                                   QAbstractButton& button)
{
    if (files.isEmpty())
        return false;
    const ProgramDrop dropped = droppedProgram(files.front());
    if (dropped.command) {
        program = dropped.command->program;
        arguments = dropped.command->arguments;
        showProgramHint(button, program, arguments);
        return true;
    }
    if (!dropped.refusal.isEmpty() && m_services.refuse)
        m_services.refuse(dropped.refusal);
    return false;
}

bool DropCommands::ChooseDic1Click()
{
    return chooseProgram(m_state.fExeName, m_state.fExeArgs, m_controls.dicButton);
}

bool DropCommands::ChooseDic2Click()
{
    return chooseProgram(m_state.fDicName, m_state.fDicArgs, m_controls.dicButton2);
}

bool DropCommands::chooseProgram(QString& program, QStringList& arguments, QAbstractButton& button)
{
    // The dialog starts beside the program the button has, if any.
    const QString folder = program.isEmpty() ? QString() : QFileInfo(program).absolutePath();
    const std::optional<QString> chosen = m_services.chooseFile(
        {FileChoice::Kind::Open, QStringLiteral("Programs and desktop entries|*"), program, folder});
    return chosen && rememberProgram({*chosen}, program, arguments, button);
}

// A missing program or one that does not start is passed over without a word.
void DropCommands::DicButtonClick() { startProgram({m_state.fExeName, m_state.fExeArgs}); }
void DropCommands::DicButton2Click() { startProgram({m_state.fDicName, m_state.fDicArgs}); }

void DropCommands::showProgramHints()
{
    if (!m_state.fExeName.isEmpty())
        showProgramHint(m_controls.dicButton, m_state.fExeName, m_state.fExeArgs);
    if (!m_state.fDicName.isEmpty())
        showProgramHint(m_controls.dicButton2, m_state.fDicName, m_state.fDicArgs);
}

} // namespace velmor
