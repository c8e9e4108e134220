#pragma once

class QMenu;
class QWidget;

namespace velmor {

// The window's four pop-up menus. Every item is a QAction named after its item; the context
// menu's actions are also added to the window so that their shortcuts work while it is active.
struct MainMenus {
    QMenu* PopupMenu1 = nullptr;
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* HelpMenu = nullptr;
};

MainMenus buildMenus(QWidget* window);

} // namespace velmor
