#include "FakeGlobalShortcuts.h"

velmor::ShortcutOutcome FakeGlobalShortcuts::grab(int identifier, int keyCode, unsigned modifiers)
{
    calls << QStringLiteral("grab:%1:%2:%3").arg(identifier).arg(keyCode).arg(modifiers);
    if (answer == velmor::ShortcutOutcome::Registered && !held.contains(identifier))
        held << identifier;
    return answer;
}

bool FakeGlobalShortcuts::release(int identifier)
{
    calls << QStringLiteral("release:%1").arg(identifier);
    return held.removeOne(identifier);
}

void FakeGlobalShortcuts::bringToFront(QWidget* window) { broughtForward << window; }
