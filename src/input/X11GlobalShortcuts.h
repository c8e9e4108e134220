#pragma once

#include "input/GlobalShortcuts.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace velmor {

// System-wide keys as passive key grabs on the X11 root windows; the presses arrive through
// the application's native event filter.
class X11GlobalShortcuts : public GlobalShortcutService, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Null when the application does not run on an X11 display.
    static std::unique_ptr<X11GlobalShortcuts> create();
    ~X11GlobalShortcuts() override;

    ShortcutOutcome grab(int identifier, int keyCode, unsigned modifiers) override;
    bool release(int identifier) override;
    void bringToFront(QWidget* window) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    explicit X11GlobalShortcuts(xcb_connection_t* connection);

    struct Grab {
        int identifier;
        std::uint8_t keycode;
        std::uint16_t modifiers;
    };

    std::uint16_t numLockMask() const;
    void ungrab(const Grab& grab);
    bool supportsActiveWindowRequest() const;
    std::uint32_t atom(const char* name) const;

    xcb_connection_t* m_connection;
    std::vector<std::uint32_t> m_roots;
    std::vector<Grab> m_grabs;
    // The time of the last hot-key press: the window manager weighs an activation by it.
    std::uint32_t m_pressTime = 0;
};

} // namespace velmor
