#include "widgets/IndicatorLabel.h"

#include "widgets/BaseColor.h"

namespace velmor {

IndicatorLabel::IndicatorLabel(const QString& objectName, const QColor& color, QWidget* parent)
    : QLabel(parent)
{
    setObjectName(objectName);
    setFixedBackground(*this, color);
    // Its colour is its message: desktop colours leave it.
    keepOwnColours(*this, true);
    setOpaque(false);
}

void IndicatorLabel::setOpaque(bool opaque)
{
    m_opaque = opaque;
    setAutoFillBackground(opaque);
    update();
}

} // namespace velmor
