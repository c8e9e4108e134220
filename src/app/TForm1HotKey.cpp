// The main window's side of the system-wide Reset key.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "input/HotKeySwitch.h"
#include "input/THookHotKey.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QKeySequenceEdit>
#include <QMenu>

namespace velmor {

void TForm1::createHotKey(const std::function<std::unique_ptr<GlobalShortcutService>()>& makeService)
{
    HookHotKey1 = new THookHotKey(this, makeService ? makeService() : platformGlobalShortcuts());
    HookHotKey1->setObjectName(QStringLiteral("HookHotKey1"));
    m_hotKey = std::make_unique<HotKeySwitch>(
        HotKeyControls{*HotKeyCheckBox, action(ActionId::HotKeyCheck), *HotKey1, *HookHotKey1},
        [this] { ResetButtonClick(); }, [this](const QString& caption) { UPanel1->setCaption(caption); });

    onClick(HotKeyCheckBox, &TForm1::HotKeyCheckBoxClick);
    onAction(ActionId::HotKeyCheck, &TForm1::HotKeyCheckClick);
    // The menu's drawn box is taken from the check box each time the menu opens.
    connect(menus.PopupMenu1, &QMenu::aboutToShow, this, [this] {
        action(ActionId::HotKeyCheck).setChecked(HotKeyCheckBox->isChecked());
    });
    connect(HookHotKey1, &THookHotKey::OnHotKeyRefused, this,
            [this](int index) { m_hotKey->HookHotKey1Refused(index); });
    connect(HookHotKey1, &THookHotKey::OnHotKey, this,
            [this](int index) { runGuarded(m_dialogs.showError, [this, index] { HookHotKey1HotKey(index); }); });
}

void TForm1::HotKeyCheckBoxClick() { m_hotKey->HotKeyCheckBoxClick(); }
void TForm1::HotKeyCheckClick() { m_hotKey->HotKeyCheckClick(); }
void TForm1::HookHotKey1HotKey(int index) { m_hotKey->HookHotKey1HotKey(index); }

} // namespace velmor
