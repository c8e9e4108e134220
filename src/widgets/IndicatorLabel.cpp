#include "widgets/IndicatorLabel.h"

#include "widgets/BaseColor.h"

namespace velmor {

IndicatorLabel::IndicatorLabel(const QString& objectName, const QColor& color, QWidget* parent, QString onName,
                               QString offName)
    : QLabel(parent)
    , m_onName(std::move(onName))
    , m_offName(std::move(offName))
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
    setAccessibleName(opaque ? m_onName : m_offName);
    setAutoFillBackground(opaque);
    update();
}

} // namespace velmor
