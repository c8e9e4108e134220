// The Search or Replace window, opened from the main window.
#include "app/TForm1.h"
#include "document/TForm3.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

namespace velmor {

void TForm1::connectSearch()
{
    onClick(FindButton, &TForm1::FindButtonClick);
    onAction(ActionId::Find1, &TForm1::FindButtonClick);
    onAction(ActionId::Find2, &TForm1::FindButtonClick);
}

// At most one window: while it is open, Find does nothing, not even bring it to the front.
void TForm1::FindButtonClick()
{
    if (RichEdit98->document()->isEmpty()) {
        m_dialogs.notify(this, QStringLiteral("Text was not found.   "));
        return;
    }
    if (m_searchWindow)
        return;
    m_searchWindow = new TForm3(SearchWindowLinks{*RichEdit98, m_state.fAlpha, m_dialogs},
                                TForm3::platformOffersTransparency(), this);
    m_searchWindow->show();
}

} // namespace velmor
