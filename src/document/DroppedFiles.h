#pragma once

#include "core/Dialogs.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QAbstractButton;

namespace velmor {

struct FormState;
class TRichEdit98;

struct DropControls {
    TRichEdit98& editor;
    QAbstractButton& dicButton;
    QAbstractButton& dicButton2;
};

// What the drop handlers need from the rest of the window.
struct DropServices {
    std::function<bool()> mayDiscardText; // the unsaved-text question
    std::function<void()> openNamedFile;  // opens fOpenName as the start-up opens do
    std::function<void(const QString&)> refuse; // says why a dropped program was not taken
    std::function<std::optional<QString>(const FileChoice&)> chooseFile; // the open dialog
};

// Files dropped on the text box open there; a program dropped on a dictionary button is
// remembered, and a click on the button starts it.
class DropCommands {
public:
    DropCommands(FormState& state, DropControls controls, DropServices services);

    void DropDst1FileDrop(const QStringList& files);
    void DropDst2FileDrop(const QStringList& files);
    void DropDst3FileDrop(const QStringList& files);
    void DicButtonClick();
    void DicButton2Click();
    // The keyboard's way to a drop: the open dialog chooses the file, which is then taken as if
    // dropped on the button. True when the button took a program.
    bool ChooseDic1Click();
    bool ChooseDic2Click();

    // Each button that has a program shows the program's file name as its hint.
    void showProgramHints();

private:
    bool rememberProgram(const QStringList& files, QString& program, QStringList& arguments, QAbstractButton& button);
    bool chooseProgram(QString& program, QStringList& arguments, QAbstractButton& button);

    FormState& m_state;
    DropControls m_controls;
    DropServices m_services;
};

} // namespace velmor
