#include "help/InfoPanel.h"

#include "core/FaceNames.h"
#include "widgets/BaseColor.h"
#include "widgets/Bgr.h"
#include "widgets/InfoLine.h"
#include "widgets/UPanel.h"

#include <QLocale>

namespace velmor {

void styleInfoPanel(UPanel& panel, InfoLine& infoLine)
{
    QFont captionFont(kFacePMincho);
    captionFont.setPixelSize(15);
    panel.setFont(captionFont);
    setFixedColour(panel, QPalette::WindowText, colorFromBgr(0x00B3734D));

    QFont lineFont(kFacePMincho);
    lineFont.setPixelSize(18);
    infoLine.setFont(lineFont);
    infoLine.viewport()->setCursor(Qt::ArrowCursor);
    infoLine.setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    infoLine.setFocusPolicy(Qt::ClickFocus);
}

} // namespace velmor
