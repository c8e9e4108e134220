#include "app/AccessibleNames.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QScrollBar>
#include <QWidget>

namespace velmor {

namespace {

struct AccessibleName {
    const char* objectName;
    const char* name;
    const char* description;
};

// Names say what a control is, as its hint does; a description only where there is no hint.
constexpr AccessibleName kNames[] = {
    {"RichEdit98", "Text", "The text to hear: type, paste, open or drop it here"},
    {"ULabel98", "Last spoken text", "The text spoken last, or the reading of typed Japanese"},
    {"LIDButton", nullptr, "Lists the voices again and shows them in the text"},
    {"DSpeedButton", nullptr, "Sets the speed back to 150"},
    {"LIDUpDown", "Language ID", nullptr},
    {"HotKeyCheckBox", "Reset hot key on/off", "Reset hot key on/off"},
    {"ScrollBar1", "Speed", nullptr},
    {"VTrackBar1", "Main Volume", "Main Volume"},
    {"RepUpDown", "Repetition number", nullptr},
    {"HotKey1", "Hot key", nullptr},
    {"DirectSS1", "Mouth", nullptr},
    // Two controls of the same caption get names that tell them apart.
    {"DicButton", "dic (Alt+D)", nullptr},
    {"DicButton2", "dic 2 (Alt+I)", nullptr},
    {"MarkButton", "Mark in the first colour", nullptr},
    {"MarkingButton", "Mark in the second colour", nullptr},
    {"MResetButton", "Reset marks", nullptr},
};

const char* const kFrameProperty = "velmorFrame";

// A top-level QWidget is reported as a plain client area ("filler"); the main window is a frame,
// as screen readers expect of an application's window.
QAccessibleInterface* frameInterface(const QString&, QObject* object)
{
    if (object && object->isWidgetType() && object->property(kFrameProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void nameCaptionlessControls(QWidget* window)
{
    static const bool installed = [] {
        QAccessible::installFactory(frameInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kFrameProperty, true);
    for (const AccessibleName& entry : kNames) {
        auto* control = window->findChild<QWidget*>(QLatin1String(entry.objectName));
        if (!control)
            continue;
        if (entry.name)
            control->setAccessibleName(QString::fromLatin1(entry.name));
        if (entry.description)
            control->setAccessibleDescription(QString::fromLatin1(entry.description));
    }
    if (auto* text = window->findChild<QAbstractScrollArea*>(QStringLiteral("RichEdit98"))) {
        text->verticalScrollBar()->setAccessibleName(QStringLiteral("Text scroll bar"));
        text->verticalScrollBar()->setAccessibleDescription(QStringLiteral("Scrolls the text up and down"));
        text->horizontalScrollBar()->setAccessibleName(QStringLiteral("Text horizontal scroll bar"));
        text->horizontalScrollBar()->setAccessibleDescription(QStringLiteral("Scrolls the text sideways"));
    }
}

} // namespace velmor
