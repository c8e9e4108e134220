#pragma once

#include <QColor>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QObject;

namespace velmor {

struct FormState;
class FlatButton;
class TRichEdit98;

struct MarkingControls {
    TRichEdit98& editor;
    FlatButton& markCheckButton; // the switch
    FlatButton& markButton;      // marks in fMarkColor
    FlatButton& markingButton;   // marks in ffMarkColor
    QAction& markingItem;        // the popup menu's switch, Marking1
};

// Passages of the text box marked with background colours. Marks are the text box's
// highlights: they move with the text, but they are no edits, so they neither mark the
// document modified nor take undo steps, and they are never saved.
class TextMarking {
public:
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial)>;

    TextMarking(FormState& state, MarkingControls controls, ColorChooser chooseColor);
    ~TextMarking();

    void MarkButtonClick();
    void MarkingButtonClick();
    // Turning marking off with the button also removes every mark; the popup item keeps them.
    void MarkCheckButtonClick();
    void Marking1Click();
    void MResetButtonClick();

    // The switch's caption, colour and check mark as fMarkCheck says.
    void showSwitch();
    // Gives the selection the plain background, so marks inside it go.
    void plainSelection();
    // From now on a selection that the text box holds when a navigation or editing key (or
    // Ctrl) is released, or right after a mouse press, loses its marks: one made with Shift
    // and an arrow, by Ctrl+A, by a double click or extended by Shift+click. One dragged with
    // the mouse keeps them, as it grows only after the press.
    void watchKeysAndMouse();

private:
    void mark(std::uint32_t& color, FlatButton& button);

    FormState& m_state;
    MarkingControls m_controls;
    ColorChooser m_chooseColor;
    std::unique_ptr<QObject> m_watcher;
};

} // namespace velmor
