#pragma once

#include "input/InputMethod.h"

#include <QDBusConnection>
#include <QHash>

namespace velmor {

// The status Fcitx 5 reports: its state (2 = active) and the language of the current input
// method. Korean input methods input Hangul; Japanese ones are in the mode last chosen here;
// other active ones compose.
InputMethodStatus fcitxStatus(int state, const QString& language, int japaneseMode);

// Fcitx 5 over the session bus (org.fcitx.Fcitx5, Controller1).
class Fcitx5InputMethod final : public InputMethodFramework {
public:
    // Nothing when Fcitx 5 does not run.
    static std::unique_ptr<Fcitx5InputMethod> connectToSession();

    InputMethodStatus status() override;
    // Activates the current group's input method, or deactivates it for direct input.
    void setOpen(bool open) override;
    // Fcitx 5 keeps an engine's inner modes to itself: half-width alphanumeric is direct input.
    void setConversionMode(int mode) override;
    QString language() override;

private:
    explicit Fcitx5InputMethod(const QDBusConnection& bus);
    QDBusMessage call(const QString& method);

    QDBusConnection m_bus;
    QHash<QString, QString> m_languages; // input method -> language, read once
    int m_japaneseMode = kImeModeHiragana;
};

} // namespace velmor
