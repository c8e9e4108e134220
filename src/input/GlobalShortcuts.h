#pragma once

#include <QObject>
#include <memory>

class QWidget;

namespace velmor {

enum class ShortcutOutcome {
    Registered,
    HeldByOther, // another program holds the same combination
    Unavailable, // no system-wide shortcut service, or a key it cannot grab
};

// The desktop's service for keys that reach this program whichever window has the focus.
class GlobalShortcutService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~GlobalShortcutService() override = default;

    // keyCode is a virtual-key code, modifiers are hot-key flags (see HotKeyCodes.h). A second
    // grab under the same identifier replaces the first.
    virtual ShortcutOutcome grab(int identifier, int keyCode, unsigned modifiers) = 0;
    // False when nothing is registered under the identifier.
    virtual bool release(int identifier) = 0;
    // Raises the window and gives it the keyboard, as far as the desktop lets a program do so.
    virtual void bringToFront(QWidget* window) = 0;

signals:
    void pressed(int identifier);
    // A service that answers later (the desktop may ask the user) did not grant the key.
    void refused(int identifier);
};

// The service of the running desktop: X11 key grabs, the desktop portal's global shortcuts
// (Wayland), or one that registers nothing.
std::unique_ptr<GlobalShortcutService> platformGlobalShortcuts();

} // namespace velmor
