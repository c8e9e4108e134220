#include "input/PortalGlobalShortcuts.h"

#include "input/HotKeyCodes.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QWidget>

namespace velmor {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString kIdPrefix = QStringLiteral("velmor-");
// Asking whether the portal is there must not hold up the start when it hangs.
constexpr int kProbeTimeoutMs = 500;

// One shortcut as the portal passes them: an id and its properties, a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

void registerTypes()
{
    [[maybe_unused]] static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
}

// Portals differ in whether they send an object path as a path or as a string.
QString pathText(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

} // namespace velmor

Q_DECLARE_METATYPE(velmor::PortalShortcut)

namespace velmor {

QString portalTrigger(int keyCode, unsigned modifiers)
{
    const std::uint32_t keysym = keysymOfVirtualKey(keyCode);
    if (keysym == 0)
        return {};
    // Letters and digits are named by themselves, function keys by their X11 names.
    constexpr std::uint32_t keysymF1 = 0xFFBE;
    const QString key = keysym < 0x100 ? QString(QChar(char16_t(keysym))) : QStringLiteral("F%1").arg(keysym - keysymF1 + 1);
    QString trigger;
    if (modifiers & kHotKeyCtrl)
        trigger += QStringLiteral("CTRL+");
    if (modifiers & kHotKeyAlt)
        trigger += QStringLiteral("ALT+");
    if (modifiers & kHotKeyShift)
        trigger += QStringLiteral("SHIFT+");
    return trigger + key;
}

std::unique_ptr<PortalGlobalShortcuts> PortalGlobalShortcuts::create(const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return nullptr;
    QDBusMessage probe = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                        QStringLiteral("Get"));
    probe.setArguments({kInterface, QStringLiteral("version")});
    if (bus.call(probe, QDBus::Block, kProbeTimeoutMs).type() != QDBusMessage::ReplyMessage)
        return nullptr;
    return std::unique_ptr<PortalGlobalShortcuts>(new PortalGlobalShortcuts(bus));
}

PortalGlobalShortcuts::PortalGlobalShortcuts(const QDBusConnection& bus)
    : m_bus(bus)
{
    registerTypes();
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusMessage)));
}

PortalGlobalShortcuts::~PortalGlobalShortcuts()
{
    closeSession();
    m_bus.disconnect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                     SLOT(onActivated(QDBusMessage)));
}

ShortcutOutcome PortalGlobalShortcuts::grab(int identifier, int keyCode, unsigned modifiers)
{
    const QString trigger = portalTrigger(keyCode, modifiers);
    if (trigger.isEmpty())
        return ShortcutOutcome::Unavailable;
    m_triggers[identifier] = trigger;
    restartSession();
    return ShortcutOutcome::Registered;
}

bool PortalGlobalShortcuts::release(int identifier)
{
    if (m_triggers.erase(identifier) == 0)
        return false;
    restartSession();
    return true;
}

void PortalGlobalShortcuts::bringToFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// A session's shortcuts are bound once, so every change of the set starts a new session.
void PortalGlobalShortcuts::restartSession()
{
    closeSession();
    if (m_triggers.empty())
        return;
    const QString token = QStringLiteral("velmor%1").arg(++m_tokenCount);
    request(Stage::CreatingSession, QStringLiteral("CreateSession"),
            {QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), token}}},
            token);
}

void PortalGlobalShortcuts::closeSession()
{
    stopListening();
    m_stage = Stage::Idle;
    if (m_session.isEmpty())
        return;
    m_bus.asyncCall(QDBusMessage::createMethodCall(kService, m_session, kSessionInterface, QStringLiteral("Close")));
    m_session.clear();
}

// The answer to a request comes as a Response signal on a path the portal derives from our bus
// name and the token; listening there before asking means no answer can slip past.
void PortalGlobalShortcuts::request(Stage stage, const QString& method, const QList<QVariant>& arguments,
                                    const QString& token)
{
    stopListening();
    m_stage = stage;
    QString sender = m_bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    m_requestPath = kPath + QStringLiteral("/request/") + sender + u'/' + token;
    m_bus.connect(kService, m_requestPath, kRequestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap)));

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    const QString expected = m_requestPath;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, expected](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (m_requestPath != expected)
            return; // a newer request took its place
        const QDBusMessage reply = finished->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            refuseAll();
            return;
        }
        // Older portals choose the path themselves.
        const QString path = pathText(reply.arguments().constFirst());
        if (path != m_requestPath) {
            stopListening();
            m_requestPath = path;
            m_bus.connect(kService, m_requestPath, kRequestInterface, QStringLiteral("Response"), this,
                          SLOT(onResponse(uint, QVariantMap)));
        }
    });
}

void PortalGlobalShortcuts::stopListening()
{
    if (m_requestPath.isEmpty())
        return;
    m_bus.disconnect(kService, m_requestPath, kRequestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(uint, QVariantMap)));
    m_requestPath.clear();
}

void PortalGlobalShortcuts::bindShortcuts()
{
    QList<PortalShortcut> shortcuts;
    for (const auto& [identifier, trigger] : m_triggers)
        shortcuts.push_back({kIdPrefix + QString::number(identifier),
                             {{QStringLiteral("description"), QStringLiteral("Velmor hot key %1").arg(identifier)},
                              {QStringLiteral("preferred_trigger"), trigger}}});
    const QString token = QStringLiteral("velmor%1").arg(++m_tokenCount);
    request(Stage::Binding, QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString(),
             QVariantMap{{QStringLiteral("handle_token"), token}}},
            token);
}

void PortalGlobalShortcuts::refuseAll()
{
    stopListening();
    m_stage = Stage::Idle;
    for (const auto& entry : m_triggers)
        emit refused(entry.first);
}

void PortalGlobalShortcuts::onResponse(uint response, const QVariantMap& results)
{
    const Stage stage = m_stage;
    stopListening();
    m_stage = Stage::Idle;
    if (response != 0) {
        refuseAll();
        return;
    }
    if (stage == Stage::CreatingSession) {
        m_session = pathText(results.value(QStringLiteral("session_handle")));
        if (m_session.isEmpty())
            refuseAll();
        else
            bindShortcuts();
        return;
    }
    if (stage != Stage::Binding || !results.contains(QStringLiteral("shortcuts")))
        return;
    // The desktop lists what it bound; a shortcut left out was not granted.
    QList<PortalShortcut> bound;
    results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> bound;
    for (const auto& entry : m_triggers) {
        const QString id = kIdPrefix + QString::number(entry.first);
        if (std::none_of(bound.cbegin(), bound.cend(), [&id](const PortalShortcut& s) { return s.id == id; }))
            emit refused(entry.first);
    }
}

// Activated(o session, s shortcut, t timestamp, a{sv} options)
void PortalGlobalShortcuts::onActivated(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2)
        return;
    const QString shortcutId = arguments.at(1).toString();
    if (m_session.isEmpty() || pathText(arguments.at(0)) != m_session || !shortcutId.startsWith(kIdPrefix))
        return;
    bool ok = false;
    const int identifier = shortcutId.mid(kIdPrefix.size()).toInt(&ok);
    if (ok && m_triggers.count(identifier))
        emit pressed(identifier);
}

} // namespace velmor
