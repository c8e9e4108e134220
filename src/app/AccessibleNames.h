#pragma once

class QWidget;

namespace velmor {

// Gives the controls that show no caption of their own the name a screen reader speaks for them;
// a control's hint already serves as its description.
void nameCaptionlessControls(QWidget* window);

} // namespace velmor
