#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace velmor {

// The modal dialogs the main window and the document's windows open. Tests replace them; the
// program uses the standard ones (app/Dialogs.h).
// A file to be chosen in the open or the save dialog.
struct FileChoice {
    enum class Kind { Open, Save } kind = Kind::Open;
    QString filter;     // "Description|*.ext|..." pairs
    QString presetName; // what the name box shows at first
    QString directory;  // where the dialog starts; empty keeps its last folder
};

struct Dialogs {
    // Information-style question with Yes and No; true only for Yes. No is the default
    // button, so that a stray Enter never discards anything.
    std::function<bool(const QString& text)> askYesNo;
    // A question with buttons of its own; the index of the button chosen. Enter chooses
    // defaultButton; Escape and closing the box choose escapeButton.
    std::function<int(const QString& text, const QStringList& buttons, int defaultButton, int escapeButton)>
        askChoice;
    // Plain message box with an OK button.
    std::function<void(const QString& text)> inform;
    // The application's error box.
    std::function<void(const QString& text)> showError;
    // The colour dialog preset to a colour; nothing when cancelled.
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
    // The open or save dialog; nothing when cancelled.
    std::function<std::optional<QString>(const FileChoice& choice)> chooseFile;
    // The print dialog, which sets up the printer; true when confirmed.
    std::function<bool(QPrinter& printer)> choosePrinter;
    // A note captioned "Information" with an information icon and an OK button, over a window.
    std::function<void(QWidget* over, const QString& text)> notify;
    // The same caption with a question icon, Yes and No; true only for Yes.
    std::function<bool(QWidget* over, const QString& text)> askQuestion;
    // One item of a list, chosen with the arrow keys (or the first letters) and Enter, or the
    // mouse; label says what the list holds, and names it for screen readers. `current` is
    // chosen at first. The index chosen; nothing when cancelled.
    std::function<std::optional<int>(const QString& title, const QString& label, const QStringList& items,
                                     int current)>
        chooseItem;
    // The system's default beep.
    std::function<void()> beep;
};

} // namespace velmor
