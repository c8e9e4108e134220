#include "widgets/BaseColor.h"

#include <QApplication>

namespace velmor {

namespace {

constexpr QPalette::ColorRole kFixedRoles[] = {QPalette::Window, QPalette::WindowText, QPalette::ButtonText,
                                               QPalette::Base, QPalette::Text};
constexpr char kOwnColoursProperty[] = "velmorOwnColours";

bool g_desktopColours = false;

QByteArray propertyName(QPalette::ColorRole role) { return "velmorFixedColour" + QByteArray::number(int(role)); }

bool followsDesktop(const QWidget& widget) { return g_desktopColours && !widget.property(kOwnColoursProperty).toBool(); }

void takeDesktopColour(QPalette& palette, QPalette::ColorRole role)
{
    const QPalette desktop = QApplication::palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, desktop.color(group, role));
}

void showFixedColours(QWidget& widget)
{
    const bool desktop = followsDesktop(widget);
    QPalette p = widget.palette();
    bool fixed = false;
    for (QPalette::ColorRole role : kFixedRoles) {
        const QVariant own = widget.property(propertyName(role));
        if (!own.isValid())
            continue;
        fixed = true;
        if (desktop)
            takeDesktopColour(p, role);
        else
            p.setColor(role, own.value<QColor>());
    }
    if (fixed)
        widget.setPalette(p);
}

} // namespace

void setFixedColour(QWidget& widget, QPalette::ColorRole role, const QColor& color)
{
    widget.setProperty(propertyName(role), color);
    QPalette p = widget.palette();
    if (followsDesktop(widget))
        takeDesktopColour(p, role);
    else
        p.setColor(role, color);
    widget.setPalette(p);
}

QColor fixedColour(const QWidget& widget, QPalette::ColorRole role)
{
    const QVariant own = widget.property(propertyName(role));
    return own.isValid() ? own.value<QColor>() : widget.palette().color(role);
}

void setDesktopColours(bool on)
{
    if (on == g_desktopColours)
        return;
    g_desktopColours = on;
    showDesktopColours();
}

bool desktopColours() { return g_desktopColours; }

void showDesktopColours()
{
    for (QWidget* widget : QApplication::allWidgets())
        showFixedColours(*widget);
}

void keepOwnColours(QWidget& widget, bool keep)
{
    QList<QWidget*> widgets = widget.findChildren<QWidget*>();
    widgets.prepend(&widget);
    for (QWidget* each : widgets) {
        if (each->property(kOwnColoursProperty).toBool() == keep)
            continue;
        each->setProperty(kOwnColoursProperty, keep);
        showFixedColours(*each);
    }
}

} // namespace velmor
