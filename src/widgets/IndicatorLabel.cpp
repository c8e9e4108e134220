#include "widgets/IndicatorLabel.h"

namespace velmor {

IndicatorLabel::IndicatorLabel(const QString& objectName, const QColor& color, QWidget* parent)
    : QLabel(parent)
{
    setObjectName(objectName);
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    setOpaque(false);
}

void IndicatorLabel::setOpaque(bool opaque)
{
    m_opaque = opaque;
    setAutoFillBackground(opaque);
    update();
}

} // namespace velmor
