#include "input/THookHotKey.h"

#include "input/HotKeyCodes.h"

#include <QMetaMethod>
#include <QWidget>

namespace velmor {

THookHotKey::THookHotKey(QWidget* owner, std::unique_ptr<GlobalShortcutService> service)
    : QObject(owner)
    , m_owner(owner)
    , m_service(std::move(service))
{
    connect(m_service.get(), &GlobalShortcutService::pressed, this, &THookHotKey::DoHotKey);
    connect(m_service.get(), &GlobalShortcutService::refused, this, &THookHotKey::OnHotKeyRefused);
}

THookHotKey::~THookHotKey() = default;

bool THookHotKey::AddHotKey(int identifier, int shortcut)
{
    const HotKeyParts parts = splitShortcut(shortcut);
    m_lastOutcome = m_service->grab(identifier, parts.keyCode, parts.modifiers);
    return m_lastOutcome == ShortcutOutcome::Registered;
}

bool THookHotKey::RemoveHotKey(int identifier) { return m_service->release(identifier); }

void THookHotKey::DoHotKey(int identifier)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&THookHotKey::OnHotKey)))
        return;
    if (Activate)
        m_service->bringToFront(m_owner->window());
    emit OnHotKey(identifier);
}

} // namespace velmor
