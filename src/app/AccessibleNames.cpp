#include "app/AccessibleNames.h"

#include <QAbstractScrollArea>
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
    {"RichEdit98", "Text", nullptr},
    {"ULabel98", "Last spoken text", nullptr},
    {"LIDUpDown", "Language ID", nullptr},
    {"HotKeyCheckBox", "Reset hot key on/off", "Reset hot key on/off"},
    {"ScrollBar1", "Speed", nullptr},
    {"VTrackBar1", "Main Volume", "Main Volume"},
    {"RepUpDown", "Repetition number", nullptr},
    {"HotKey1", "Hot key", nullptr},
    {"DirectSS1", "Mouth", nullptr},
};

} // namespace

void nameCaptionlessControls(QWidget* window)
{
    for (const AccessibleName& entry : kNames) {
        auto* control = window->findChild<QWidget*>(QLatin1String(entry.objectName));
        if (!control)
            continue;
        control->setAccessibleName(QString::fromLatin1(entry.name));
        if (entry.description)
            control->setAccessibleDescription(QString::fromLatin1(entry.description));
    }
    if (auto* text = window->findChild<QAbstractScrollArea*>(QStringLiteral("RichEdit98"))) {
        text->verticalScrollBar()->setAccessibleName(QStringLiteral("Text scroll bar"));
        text->horizontalScrollBar()->setAccessibleName(QStringLiteral("Text horizontal scroll bar"));
    }
}

} // namespace velmor
