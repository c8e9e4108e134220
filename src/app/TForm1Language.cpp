// The main window's side of "Auto language": the Edit menu's check item tells the engine.
#include "app/TForm1.h"
#include "speech/SpeechEngine.h"

#include <QAction>

namespace velmor {

void TForm1::connectAutoLanguage()
{
    connect(&action(ActionId::AutoLanguage1), &QAction::toggled, this, [this](bool on) {
        if (m_engine)
            m_engine->setAutoLanguage(on);
    });
}

} // namespace velmor
