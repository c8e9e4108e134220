#pragma once

#include <QKeyCombination>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmor {

// A key combination as a menu shortcut value: the virtual-key code in the low byte, plus
// these flags for the modifiers held with it. Ctrl+Alt+R is 0xC052.
inline constexpr int kShortcutShift = 0x2000;
inline constexpr int kShortcutCtrl = 0x4000;
inline constexpr int kShortcutAlt = 0x8000;

// The modifier flags a system-wide hot key is registered with.
inline constexpr unsigned kHotKeyAlt = 1;
inline constexpr unsigned kHotKeyCtrl = 2;
inline constexpr unsigned kHotKeyShift = 4;

// 0 when the key has no virtual-key code (only letters, digits and F1..F24 have one here).
int shortcutValue(QKeyCombination combination);

// A hot key needs a modifier other than Shift alone.
bool isAcceptableHotKey(int shortcut);

struct HotKeyParts {
    int keyCode = 0;
    unsigned modifiers = 0; // kHotKeyAlt | kHotKeyCtrl | kHotKeyShift
};

HotKeyParts splitShortcut(int shortcut);

// The X11 key symbol of a virtual-key code; 0 when there is none.
std::uint32_t keysymOfVirtualKey(int keyCode);

// The X11 modifier mask (Shift, Control, Mod1 for Alt) of hot-key modifier flags.
std::uint16_t x11ModifierMask(unsigned hotKeyModifiers);

// An X server's keyboard mapping: keysymsPerKeycode symbols for each keycode from minKeycode on.
struct KeyboardMapping {
    std::uint8_t minKeycode = 8;
    std::uint8_t keysymsPerKeycode = 1;
    std::vector<std::uint32_t> keysyms;
};

// The first keycode that produces the key symbol, in any column of the mapping.
std::optional<std::uint8_t> keycodeOf(std::uint32_t keysym, const KeyboardMapping& mapping);

// The modifier states under which a grab must also be made so that Caps Lock and Num Lock
// do not hide the key: none, Lock, Num Lock, both.
std::vector<std::uint16_t> lockVariants(std::uint16_t numLockMask);

} // namespace velmor
