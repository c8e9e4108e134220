#include "widgets/BaseColor.h"

#include <QApplication>

namespace velmor {

namespace {

constexpr QPalette::ColorRole kFixedRoles[] = {QPalette::Window, QPalette::WindowText, QPalette::ButtonText,
                                               QPalette::Base, QPalette::Text};
constexpr char kOwnColoursProperty[] = "velmorOwnColours";
constexpr char kTakenRolesProperty[] = "velmorTakenRoles";

bool g_desktopColours = false;

// Shows the desktop's new palette as soon as the application has it.
class PaletteFollower : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
            showDesktopColours();
        return false;
    }
};

PaletteFollower& paletteFollower()
{
    static PaletteFollower follower;
    return follower;
}

QByteArray propertyName(QPalette::ColorRole role) { return "velmorFixedColour" + QByteArray::number(int(role)); }

bool followsDesktop(const QWidget& widget) { return g_desktopColours && !widget.property(kOwnColoursProperty).toBool(); }

void takeDesktopColour(QPalette& palette, QPalette::ColorRole role)
{
    const QPalette desktop = QApplication::palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, desktop.color(group, role));
}

// Lets the role be inherited from the parent again, as if it had never been set.
void inheritColour(QPalette& palette, QPalette::ColorRole role)
{
    QPalette::ResolveMask mask = palette.resolveMask();
    for (int group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        mask &= ~(QPalette::ResolveMask(1) << (int(role) + int(QPalette::NColorRoles) * group));
    palette.setResolveMask(mask);
}

// A widget the window colours at all takes every one of the roles from the desktop, so that no
// light text of a dark theme stays on a background that turned light; the roles it took without
// having its own colour for them are inherited again when desktop colours go off.
void showFixedColours(QWidget& widget)
{
    const bool desktop = followsDesktop(widget);
    const QVariant taken = widget.property(kTakenRolesProperty);
    if (!desktop && !taken.isValid())
        return; // already in the window's own colours
    QPalette p = widget.palette();
    bool fixed = false;
    int nowTaken = 0;
    for (QPalette::ColorRole role : kFixedRoles) {
        const QVariant own = widget.property(propertyName(role));
        fixed = fixed || own.isValid();
        const int bit = 1 << int(role);
        if (desktop) {
            takeDesktopColour(p, role);
            if (!own.isValid())
                nowTaken |= bit;
        } else if (own.isValid()) {
            p.setColor(role, own.value<QColor>());
        } else if (taken.toInt() & bit) {
            inheritColour(p, role);
        }
    }
    if (!fixed)
        return;
    widget.setProperty(kTakenRolesProperty, desktop ? QVariant(nowTaken) : QVariant());
    widget.setPalette(p);
}

} // namespace

void setFixedColour(QWidget& widget, QPalette::ColorRole role, const QColor& color)
{
    widget.setProperty(propertyName(role), color);
    if (followsDesktop(widget)) {
        showFixedColours(widget);
        return;
    }
    QPalette p = widget.palette();
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
    if (on)
        qApp->installEventFilter(&paletteFollower());
    else
        qApp->removeEventFilter(&paletteFollower());
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
