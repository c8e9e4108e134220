#pragma once

#include "app/ActionId.h"

#include <array>

class QAction;
class QMenu;
class QWidget;

namespace velmor {

// The window's four pop-up menus and every item's QAction, reached by its id. The context
// menu's actions are also added to the window so that their shortcuts work while it is active.
struct MainMenus {
    QMenu* PopupMenu1 = nullptr;
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* HelpMenu = nullptr;

    QAction& action(ActionId id) const { return *actions[std::size_t(id)]; }

    std::array<QAction*, kActionCount> actions{};
};

MainMenus buildMenus(QWidget* window);

// The objectName of the item's QAction.
const char* actionName(ActionId id);

} // namespace velmor
