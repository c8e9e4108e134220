#pragma once

class QMenu;

namespace velmor {

// Draws the menu's items in the light blue style of the context menu: every item on the same
// fill, a small box in front of the checked ones and a two-tone line for separators. The
// shortcuts still work; only the captions are drawn. Call it once the items are in.
void drawAsOwnerMenu(QMenu& menu);

} // namespace velmor
