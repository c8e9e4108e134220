#pragma once

#include "input/GlobalShortcuts.h"

#include <QStringList>

// Records grabs and releases as "grab:ID:KEY:MODIFIERS" and "release:ID"; a test presses keys.
class FakeGlobalShortcuts : public velmor::GlobalShortcutService {
    Q_OBJECT
public:
    velmor::ShortcutOutcome grab(int identifier, int keyCode, unsigned modifiers) override;
    bool release(int identifier) override;
    void bringToFront(QWidget* window) override;

    void press(int identifier) { emit pressed(identifier); }

    QStringList calls;
    QList<int> held;
    // The answer every grab gets.
    velmor::ShortcutOutcome answer = velmor::ShortcutOutcome::Registered;
    QList<QWidget*> broughtForward;
};
