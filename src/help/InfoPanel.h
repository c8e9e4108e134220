#pragma once

namespace velmor {

class InfoLine;
class UPanel;

// The information panel's caption face and colour, and its info line's look: a pointer
// cursor, Japanese text and no place in the tab order.
void styleInfoPanel(UPanel& panel, InfoLine& infoLine);

} // namespace velmor
