#pragma once

#include "input/GlobalShortcuts.h"

#include <QDBusConnection>
#include <QString>
#include <QVariantMap>
#include <map>
#include <memory>

class QDBusMessage;

namespace velmor {

// The portal's name of a key combination, as the shortcuts of the desktop portal write it:
// "CTRL+ALT+r". Empty when the key has no name there.
QString portalTrigger(int keyCode, unsigned modifiers);

// System-wide keys through the desktop portal (org.freedesktop.portal.GlobalShortcuts), for
// Wayland sessions, where no program may grab keys itself. The desktop may ask the user before
// it binds a key, so a grab is answered later: refused() says when the key was not granted.
class PortalGlobalShortcuts : public GlobalShortcutService {
    Q_OBJECT
public:
    // Null when the bus offers no portal with global shortcuts.
    static std::unique_ptr<PortalGlobalShortcuts> create(const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~PortalGlobalShortcuts() override;

    // Registered means asked for: the desktop's answer comes later.
    ShortcutOutcome grab(int identifier, int keyCode, unsigned modifiers) override;
    bool release(int identifier) override;
    void bringToFront(QWidget* window) override;

private slots:
    void onResponse(uint response, const QVariantMap& results);
    void onActivated(const QDBusMessage& message);

private:
    explicit PortalGlobalShortcuts(const QDBusConnection& bus);

    enum class Stage { Idle, CreatingSession, Binding };

    void restartSession();
    void closeSession();
    void request(Stage stage, const QString& method, const QList<QVariant>& arguments, const QString& token);
    void stopListening();
    void bindShortcuts();
    void refuseAll();

    QDBusConnection m_bus;
    std::map<int, QString> m_triggers; // identifier -> trigger
    Stage m_stage = Stage::Idle;
    QString m_requestPath;
    QString m_session;
    int m_tokenCount = 0;
};

} // namespace velmor
