#pragma once

class QWidget;

namespace velmor {

// Gives the controls that show no caption of their own, or share one with another, the name a
// screen reader speaks for them (a control's hint already serves as its description), and has the
// window reported as a frame.
void nameCaptionlessControls(QWidget* window);

} // namespace velmor
