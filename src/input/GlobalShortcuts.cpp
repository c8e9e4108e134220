#include "input/GlobalShortcuts.h"

#include "input/PortalGlobalShortcuts.h"
#include "input/X11GlobalShortcuts.h"

#include <QWidget>

namespace velmor {

namespace {

// Where no desktop service exists the switch still keeps the user's choice; nothing fires.
class NoGlobalShortcuts : public GlobalShortcutService {
public:
    ShortcutOutcome grab(int, int, unsigned) override { return ShortcutOutcome::Unavailable; }
    bool release(int) override { return false; }
    void bringToFront(QWidget* window) override
    {
        window->raise();
        window->activateWindow();
    }
};

} // namespace

std::unique_ptr<GlobalShortcutService> platformGlobalShortcuts()
{
    if (auto x11 = X11GlobalShortcuts::create())
        return x11;
    if (auto portal = PortalGlobalShortcuts::create())
        return portal;
    return std::make_unique<NoGlobalShortcuts>();
}

} // namespace velmor
