#pragma once

#include <QString>
#include <functional>

class QAbstractButton;
class QAction;
class QKeySequenceEdit;

namespace velmor {

class THookHotKey;

// The controls behind the Reset hot key: the check box, its menu twin, the key to register
// and the component that registers it.
struct HotKeyControls {
    QAbstractButton& checkBox;
    QAction& menuItem;
    QKeySequenceEdit& key;
    THookHotKey& hook;
};

// Switches the system-wide Reset key on and off and runs Reset when it is pressed.
class HotKeySwitch {
public:
    static constexpr int kResetHotKey = 1;
    static inline const QString kHeldByOtherCaption = QStringLiteral("  Ctrl+Alt+R is held by another program");
    static inline const QString kNotGrantedCaption = QStringLiteral("  The desktop did not grant Ctrl+Alt+R");

    HotKeySwitch(HotKeyControls controls, std::function<void()> reset,
                 std::function<void(const QString&)> setPanelCaption);

    // Start-up, once the check box has its saved state.
    void registerAtStart();
    void HotKeyCheckBoxClick();
    void HotKeyCheckClick();
    void HookHotKey1HotKey(int index);
    // The desktop turned the key down after it was asked for; the switch keeps the user's choice.
    void HookHotKey1Refused(int index);
    // The close goes ahead.
    void releaseAtClose();

    // The value of the key control as a menu shortcut value.
    int hotKeyValue() const;

private:
    void add();
    void remove();

    HotKeyControls m_controls;
    std::function<void()> m_reset;
    std::function<void(const QString&)> m_setPanelCaption;
    bool m_toldHeldByOther = false;
};

} // namespace velmor
