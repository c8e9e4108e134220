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

// Fills a widget with a background colour of its own, and fixes the colour of the captions on
// it too: under a dark desktop theme the captions would otherwise turn light on the light
// background. Controls that draw their own face (edit boxes, spin boxes, scroll bars) keep the
// theme's colours, which suit each other.
inline void setFixedBackground(QWidget& widget, const QColor& color)
{
    widget.setAutoFillBackground(true);
    QPalette p = widget.palette();
    p.setColor(QPalette::Window, color);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    widget.setPalette(p);
}

} // namespace velmor
