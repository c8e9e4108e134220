#include "input/HotKeyCodes.h"

namespace velmor {

namespace {

constexpr int kVirtualKeyF1 = 0x70;
constexpr std::uint32_t kKeysymF1 = 0xFFBE;
constexpr std::uint16_t kX11Shift = 1;
constexpr std::uint16_t kX11Lock = 2;
constexpr std::uint16_t kX11Control = 4;
constexpr std::uint16_t kX11Mod1 = 8;

int virtualKeyOf(Qt::Key key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return int(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return kVirtualKeyF1 + int(key - Qt::Key_F1);
    return 0;
}

} // namespace

int shortcutValue(QKeyCombination combination)
{
    const int keyCode = virtualKeyOf(combination.key());
    if (keyCode == 0)
        return 0;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    int value = keyCode;
    if (modifiers & Qt::ShiftModifier)
        value += kShortcutShift;
    if (modifiers & Qt::ControlModifier)
        value += kShortcutCtrl;
    if (modifiers & Qt::AltModifier)
        value += kShortcutAlt;
    return value;
}

bool isAcceptableHotKey(int shortcut)
{
    return (shortcut & 0xFF) != 0 && (shortcut & (kShortcutCtrl | kShortcutAlt)) != 0;
}

HotKeyParts splitShortcut(int shortcut)
{
    HotKeyParts parts;
    parts.keyCode = shortcut & 0xFF;
    if (shortcut & kShortcutAlt)
        parts.modifiers |= kHotKeyAlt;
    if (shortcut & kShortcutCtrl)
        parts.modifiers |= kHotKeyCtrl;
    if (shortcut & kShortcutShift)
        parts.modifiers |= kHotKeyShift;
    return parts;
}

std::uint32_t keysymOfVirtualKey(int keyCode)
{
    if (keyCode >= 'A' && keyCode <= 'Z')
        return std::uint32_t(keyCode - 'A' + 'a');
    if (keyCode >= '0' && keyCode <= '9')
        return std::uint32_t(keyCode);
    if (keyCode >= kVirtualKeyF1 && keyCode < kVirtualKeyF1 + 24)
        return kKeysymF1 + std::uint32_t(keyCode - kVirtualKeyF1);
    return 0;
}

std::uint16_t x11ModifierMask(unsigned hotKeyModifiers)
{
    std::uint16_t mask = 0;
    if (hotKeyModifiers & kHotKeyShift)
        mask |= kX11Shift;
    if (hotKeyModifiers & kHotKeyCtrl)
        mask |= kX11Control;
    if (hotKeyModifiers & kHotKeyAlt)
        mask |= kX11Mod1;
    return mask;
}

std::optional<std::uint8_t> keycodeOf(std::uint32_t keysym, const KeyboardMapping& mapping)
{
    if (keysym == 0 || mapping.keysymsPerKeycode == 0)
        return std::nullopt;
    for (std::size_t i = 0; i < mapping.keysyms.size(); ++i) {
        const std::size_t keycode = mapping.minKeycode + i / mapping.keysymsPerKeycode;
        if (keycode > 255)
            break;
        if (mapping.keysyms[i] == keysym)
            return std::uint8_t(keycode);
    }
    return std::nullopt;
}

std::vector<std::uint16_t> lockVariants(std::uint16_t numLockMask)
{
    if (numLockMask == 0 || numLockMask == kX11Lock)
        return {0, kX11Lock};
    return {0, kX11Lock, numLockMask, std::uint16_t(kX11Lock | numLockMask)};
}

} // namespace velmor
