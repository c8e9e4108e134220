#pragma once

class QApplication;

namespace velmor {

// Balloon-style hints: light green fill, dark outline and text, Times New Roman 15 px,
// shown after the pointer rests 500 ms.
void installHintStyle(QApplication& app);

} // namespace velmor
