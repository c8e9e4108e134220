// Marking passages of the text box, wired to the control panel's buttons and the popup item.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "speech/TextMarking.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QAction>

namespace velmor {

void TForm1::createMarking()
{
    m_marking = std::make_unique<TextMarking>(
        m_state,
        MarkingControls{*RichEdit98, *MarkCheckButton, *MarkButton, *MarkingButton,
                        action(ActionId::Marking1)},
        [this](const QColor& initial) { return m_dialogs.chooseColor(initial); });
}

void TForm1::connectMarking()
{
    const auto guardedCall = [this](void (TextMarking::*handler)()) {
        return [this, handler] { runGuarded(m_dialogs.showError, [this, handler] { (m_marking.get()->*handler)(); }); };
    };
    connect(MarkButton, &QAbstractButton::clicked, this, guardedCall(&TextMarking::MarkButtonClick));
    connect(MarkingButton, &QAbstractButton::clicked, this, guardedCall(&TextMarking::MarkingButtonClick));
    connect(MarkCheckButton, &QAbstractButton::clicked, this, guardedCall(&TextMarking::MarkCheckButtonClick));
    connect(MResetButton, &QAbstractButton::clicked, this, guardedCall(&TextMarking::MResetButtonClick));
    connect(&action(ActionId::Marking1), &QAction::triggered, this,
            guardedCall(&TextMarking::Marking1Click));

    // The keys of the buttons say what became of the selection; without one, the colour dialog
    // opens, as from the buttons.
    const auto markByKey = [this](void (TextMarking::*handler)()) {
        return [this, handler] {
            runGuarded(m_dialogs.showError, [this, handler] {
                const bool selected = RichEdit98->textCursor().hasSelection();
                (m_marking.get()->*handler)();
                if (selected)
                    tellInPanel(m_state.fMarkCheck ? QStringLiteral("The selection is marked.")
                                                   : QStringLiteral("Marking is off (Alt+M): nothing was marked."));
            });
        };
    };
    connect(&action(ActionId::MarkFirst1), &QAction::triggered, this, markByKey(&TextMarking::MarkButtonClick));
    connect(&action(ActionId::MarkSecond1), &QAction::triggered, this, markByKey(&TextMarking::MarkingButtonClick));
    connect(&action(ActionId::ResetMarks1), &QAction::triggered, this, [this] {
        runGuarded(m_dialogs.showError, [this] {
            m_marking->MResetButtonClick();
            tellInPanel(QStringLiteral("The marks are reset."));
        });
    });
    m_marking->watchKeysAndMouse();
}

} // namespace velmor
