#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace velmor {

// The modal dialogs the main window opens. Tests replace them; the program uses the
// standard ones from standardDialogs().
struct Dialogs {
    // Information-style question with Yes and No; true only for Yes.
    std::function<bool(const QString& text)> askYesNo;
    // Plain message box with an OK button.
    std::function<void(const QString& text)> inform;
    // The application's error box.
    std::function<void(const QString& text)> showError;
    // The colour dialog preset to a colour; nothing when cancelled.
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
};

Dialogs standardDialogs(QWidget* parent);

} // namespace velmor
