#pragma once

#include "input/GlobalShortcuts.h"

#include <QObject>
#include <memory>

class QWidget;

namespace velmor {

// Registers system-wide hot keys for its owner window and reports their presses.
class THookHotKey : public QObject {
    Q_OBJECT
public:
    explicit THookHotKey(QWidget* owner, std::unique_ptr<GlobalShortcutService> service = platformGlobalShortcuts());
    ~THookHotKey() override;

    // Bring the owner window to the front before OnHotKey is sent.
    bool Activate = true;

    // shortcut is a menu shortcut value (HotKeyCodes.h); true when the desktop accepts it.
    bool AddHotKey(int identifier, int shortcut);
    bool RemoveHotKey(int identifier);
    // What became of the last AddHotKey.
    ShortcutOutcome lastOutcome() const { return m_lastOutcome; }

signals:
    void OnHotKey(int index);
    // The desktop answered a registration later, and did not grant the key.
    void OnHotKeyRefused(int index);

protected:
    virtual void DoHotKey(int identifier);

private:
    QWidget* m_owner;
    std::unique_ptr<GlobalShortcutService> m_service;
    ShortcutOutcome m_lastOutcome = ShortcutOutcome::Unavailable;
};

} // namespace velmor
