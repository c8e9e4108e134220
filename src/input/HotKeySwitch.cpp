#include "input/HotKeySwitch.h"

#include "input/HotKeyCodes.h"
#include "input/THookHotKey.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequenceEdit>

namespace velmor {

HotKeySwitch::HotKeySwitch(HotKeyControls controls, std::function<void()> reset,
                           std::function<void(const QString&)> setPanelCaption)
    : m_controls(controls)
    , m_reset(std::move(reset))
    , m_setPanelCaption(std::move(setPanelCaption))
{
}

int HotKeySwitch::hotKeyValue() const
{
    const QKeySequence sequence = m_controls.key.keySequence();
    return sequence.isEmpty() ? 0 : shortcutValue(sequence[0]);
}

// The switch shows the user's choice whatever the desktop answers; that the key cannot work
// is said once in the information panel rather than not at all.
void HotKeySwitch::add()
{
    if (m_controls.hook.AddHotKey(kResetHotKey, hotKeyValue()))
        return;
    if (m_controls.hook.lastOutcome() == ShortcutOutcome::HeldByOther && !m_toldHeldByOther) {
        m_toldHeldByOther = true;
        m_setPanelCaption(kHeldByOtherCaption);
    }
}

void HotKeySwitch::remove() { m_controls.hook.RemoveHotKey(kResetHotKey); }

void HotKeySwitch::registerAtStart()
{
    m_controls.menuItem.setChecked(m_controls.checkBox.isChecked());
    if (m_controls.checkBox.isChecked())
        add();
}

void HotKeySwitch::HotKeyCheckBoxClick()
{
    if (m_controls.checkBox.isChecked()) {
        add();
        m_controls.menuItem.setChecked(true);
    } else {
        remove();
        m_controls.menuItem.setChecked(false);
    }
}

void HotKeySwitch::HotKeyCheckClick()
{
    if (m_controls.checkBox.isChecked()) {
        m_controls.menuItem.setChecked(false);
        m_controls.checkBox.setChecked(false);
        remove();
    } else {
        m_controls.menuItem.setChecked(true);
        m_controls.checkBox.setChecked(true);
        add();
    }
}

void HotKeySwitch::HookHotKey1HotKey(int index)
{
    if (index == kResetHotKey)
        m_reset();
}

void HotKeySwitch::HookHotKey1Refused(int index)
{
    if (index == kResetHotKey && m_controls.checkBox.isChecked())
        m_setPanelCaption(kNotGrantedCaption);
}

void HotKeySwitch::releaseAtClose()
{
    if (m_controls.checkBox.isChecked())
        remove();
}

} // namespace velmor
