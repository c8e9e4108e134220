#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPalette>

namespace velmor {

// Gives a role of a widget's palette a colour of the window's own. With desktop colours on,
// the role shows the desktop's colour of the same role instead, unless the widget keeps its
// own colours; the window's colour is kept for when they go off.
void setFixedColour(QWidget& widget, QPalette::ColorRole role, const QColor& color);
// The colour the window gave the role, whichever shows; the palette's own where it gave none.
QColor fixedColour(const QWidget& widget, QPalette::ColorRole role);

// Whether the desktop's palette colours every widget in place of the window's own colours.
// Switching shows the new colours on every widget at once; while on, a change of the desktop's
// palette shows at once too.
void setDesktopColours(bool on);
bool desktopColours();
// Shows the desktop's current palette on every widget that follows it.
void showDesktopColours();
// The widget and everything on it show the window's own colours even with desktop colours on:
// colours the user chose.
void keepOwnColours(QWidget& widget, bool keep);

// Gives a text box its background colour. The viewport does not always follow a palette
// set on its scroll area, so it gets the colour too.
inline void setBaseColor(QAbstractScrollArea& box, const QColor& color)
{
    setFixedColour(box, QPalette::Base, color);
    setFixedColour(*box.viewport(), QPalette::Base, color);
}

// Fills a widget with a background colour of its own, and fixes the colour of the captions on
// it too: under a dark desktop theme the captions would otherwise turn light on the light
// background. Controls that draw their own face (edit boxes, spin boxes, scroll bars) keep the
// theme's colours, which suit each other.
inline void setFixedBackground(QWidget& widget, const QColor& color)
{
    widget.setAutoFillBackground(true);
    setFixedColour(widget, QPalette::Window, color);
    setFixedColour(widget, QPalette::WindowText, Qt::black);
    setFixedColour(widget, QPalette::ButtonText, Qt::black);
}

} // namespace velmor
