// The window's side of dropped files, the dictionary buttons and printing.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "document/DocumentCommands.h"
#include "document/DroppedFiles.h"
#include "document/TDropDst.h"
#include "document/TextPrinting.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

namespace velmor {

void TForm1::createDropsAndPrinting()
{
    m_drops = std::make_unique<DropCommands>(
        m_state, DropControls{*RichEdit98, *DicButton, *DicButton2},
        DropServices{[this] { return m_document->mayDiscardText(); }, [this] { MyTextFileOpen(); },
                     [this](const QString& reason) { m_dialogs.inform(reason); },
                     [this](const FileChoice& choice) { return m_dialogs.chooseFile(choice); }});

    const auto dropTarget = [this](const char* name, QWidget* control,
                                   void (TForm1::*handler)(const QStringList&)) {
        auto* target = new TDropDst(QString::fromLatin1(name), this);
        target->setControl(control);
        target->setOnFileDrop([this, handler](const QStringList& files, QPoint) {
            runGuarded(m_dialogs.showError, [this, handler, &files] { (this->*handler)(files); });
        });
        return target;
    };
    DropDst1 = dropTarget("DropDst1", RichEdit98, &TForm1::DropDst1FileDrop);
    DropDst2 = dropTarget("DropDst2", DicButton, &TForm1::DropDst2FileDrop);
    DropDst3 = dropTarget("DropDst3", DicButton2, &TForm1::DropDst3FileDrop);

    onClick(DicButton, &TForm1::DicButtonClick);
    onClick(DicButton2, &TForm1::DicButton2Click);
    onAction(ActionId::Print1, &TForm1::Print1Click);
    onAction(ActionId::ChooseDic1, &TForm1::ChooseDic1Click);
    onAction(ActionId::ChooseDic2, &TForm1::ChooseDic2Click);
}

void TForm1::DropDst1FileDrop(const QStringList& files) { m_drops->DropDst1FileDrop(files); }
void TForm1::DropDst2FileDrop(const QStringList& files) { m_drops->DropDst2FileDrop(files); }
void TForm1::DropDst3FileDrop(const QStringList& files) { m_drops->DropDst3FileDrop(files); }
void TForm1::DicButtonClick() { m_drops->DicButtonClick(); }
void TForm1::DicButton2Click() { m_drops->DicButton2Click(); }

void TForm1::ChooseDic1Click()
{
    if (m_drops->ChooseDic1Click())
        tellInPanel(QStringLiteral("dic: ") + DicButton->toolTip());
}

void TForm1::ChooseDic2Click()
{
    if (m_drops->ChooseDic2Click())
        tellInPanel(QStringLiteral("dic 2: ") + DicButton2->toolTip());
}

void TForm1::Print1Click() { printText(*RichEdit98, m_state.fFileName, m_dialogs.choosePrinter); }

} // namespace velmor
