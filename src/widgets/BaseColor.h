#pragma once

#include <QAbstractScrollArea>
#include <QColor>

namespace velmor {

// Gives a text box its background colour. The viewport does not always follow a palette
// set on its scroll area, so it gets the colour too.
inline void setBaseColor(QAbstractScrollArea& box, const QColor& color)
{
    for (QWidget* widget : {static_cast<QWidget*>(&box), box.viewport()}) {
        QPalette p = widget->palette();
        p.setColor(QPalette::Base, color);
        widget->setPalette(p);
    }
}

} // namespace velmor
