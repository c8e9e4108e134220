#pragma once

#include "app/ActionId.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>

class QAction;
class QTimer;

namespace velmor {
struct FormState;
class TForm1;
class TRichEdit98;
} // namespace velmor

// Reaches the main window the way a user does: controls by their objectName, menu commands by
// their item, keys typed into the text box, and what the information panel and info line show.
class WindowDriver {
public:
    explicit WindowDriver(velmor::TForm1& window)
        : m_window([&window]() -> velmor::TForm1& { return window; })
    {
    }
    // Follows the window the pointer holds at each step.
    explicit WindowDriver(const std::unique_ptr<velmor::TForm1>& window)
        : m_window([&window]() -> velmor::TForm1& { return *window; })
    {
    }

    // The control of that objectName; a test that names no such control fails there.
    template <typename Control = QWidget>
    Control& control(const char* objectName) const
    {
        auto* found = windowWidget().findChild<Control*>(QString::fromLatin1(objectName));
        if (!found)
            throw std::logic_error(std::string("the window has no control ") + objectName);
        return *found;
    }

    QAction& action(velmor::ActionId id) const;
    void trigger(velmor::ActionId id) const;
    // Clicks the button or check box of that objectName.
    void click(const char* objectName) const;

    velmor::TRichEdit98& textBox() const;
    velmor::FormState& state() const;
    QString text() const;
    // Keys typed into the text box.
    void type(const QString& keys) const;
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;

    // The window caption, which shows the caret's line and column.
    QString title() const;
    QString panelCaption() const;
    QString infoLine() const;
    // The unsaved-changes mark.
    bool unsavedMark() const;
    // The speaking indicator.
    bool speakingMark() const;

    // The one-shot delay before a repetition.
    QTimer& timer() const;

private:
    QWidget& windowWidget() const;

    std::function<velmor::TForm1&()> m_window;
};
