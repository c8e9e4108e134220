#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace velmor {

// The text shown for an error: "." is appended when the last character sorts after ".".
QString errorBoxText(const QString& message);

// Shows an error in the application's error box: stop icon, title "Velmor", OK.
void showErrorBox(QWidget* parent, const QString& message);

// Runs one handler; an error it does not catch ends it and is shown through showError,
// so that nothing escapes into the event loop.
void runGuarded(const std::function<void(const QString&)>& showError, const std::function<void()>& handler);

} // namespace velmor
