// The window's side of its look: the colour and font commands and the default look.
#include "app/Appearance.h"
#include "app/TForm1.h"
#include "document/DocumentCommands.h"
#include "input/InputConcerns.h"
#include "speech/SpeakingCommands.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QLabel>

namespace velmor {

void TForm1::createAppearance()
{
    AppearanceServices services;
    services.chooseColor = [this](const QColor& initial) { return m_dialogs.chooseColor(initial); };
    services.clearMarks = [this] { RichEdit98->clearHighlights(); };
    services.koreanLayout = [this] { return m_input->inputMethod->koreanLayout(); };
    services.voiceLabel = [this] { return Label1->text(); };
    services.reSetText = [this] { m_document->ReSetText(); };
    services.reSetTextM = [this] { m_document->ReSetTextM(); };
    services.caretMoved = [this] { GetColRow(); };
    services.tellTextSize = [this](const QString& sentence) {
        UPanel1->setCaption(u' ' + sentence);
        if (SICheckBox->isChecked())
            m_speaking->announce(sentence);
    };
    m_appearance = std::make_unique<AppearanceCommands>(
        m_state, AppearanceControls{*RichEdit98, *ULabel98, *UPanel1},
        FontMenuItems{action(ActionId::N10), action(ActionId::N11), action(ActionId::Nf12), action(ActionId::Mincho1),
                      action(ActionId::Gothic1), action(ActionId::MSUIGothic1),
                      action(ActionId::DesktopColours1)},
        std::move(services));

    onAction(ActionId::BGColor1, &TForm1::BGColor1Click);
    onAction(ActionId::FontColor1, &TForm1::FontColor1Click);
    onAction(ActionId::N10, &TForm1::N10Click);
    onAction(ActionId::N11, &TForm1::N11Click);
    onAction(ActionId::Nf12, &TForm1::Nf12Click);
    onAction(ActionId::LargerText1, &TForm1::LargerText1Click);
    onAction(ActionId::SmallerText1, &TForm1::SmallerText1Click);
    onAction(ActionId::TextSize1, &TForm1::TextSize1Click);
    onAction(ActionId::Mincho1, &TForm1::Mincho1Click);
    onAction(ActionId::Gothic1, &TForm1::Gothic1Click);
    onAction(ActionId::MSUIGothic1, &TForm1::MSUIGothic1Click);
    onAction(ActionId::PanelColor1, &TForm1::PanelColor1Click);
    onAction(ActionId::default1, &TForm1::default1Click);
    onAction(ActionId::DesktopColours1, &TForm1::DesktopColours1Click);
}

void TForm1::BGColor1Click() { m_appearance->BGColor1Click(); }
void TForm1::FontColor1Click() { m_appearance->FontColor1Click(); }
void TForm1::N10Click() { m_appearance->N10Click(); }
void TForm1::N11Click() { m_appearance->N11Click(); }
void TForm1::Nf12Click() { m_appearance->Nf12Click(); }
void TForm1::LargerText1Click() { m_appearance->LargerText1Click(); }
void TForm1::SmallerText1Click() { m_appearance->SmallerText1Click(); }
void TForm1::TextSize1Click() { m_appearance->TextSize1Click(); }
void TForm1::Mincho1Click() { m_appearance->Mincho1Click(); }
void TForm1::Gothic1Click() { m_appearance->Gothic1Click(); }
void TForm1::MSUIGothic1Click() { m_appearance->MSUIGothic1Click(); }
void TForm1::PanelColor1Click() { m_appearance->PanelColor1Click(); }
void TForm1::default1Click() { m_appearance->default1Click(); }
void TForm1::DesktopColours1Click() { m_appearance->DesktopColours1Click(); }
void TForm1::SetFontGM() { m_appearance->SetFontGM(); }
void TForm1::Hangul() { m_appearance->Hangul(); }

} // namespace velmor
