#include "input/Fcitx5InputMethod.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace velmor {

namespace {

const QString kService = QStringLiteral("org.fcitx.Fcitx5");
const QString kPath = QStringLiteral("/controller");
const QString kInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
constexpr int kActive = 2;
// A question must not hold the window up when Fcitx hangs.
constexpr int kTimeoutMs = 300;

} // namespace

InputMethodStatus fcitxStatus(int state, const QString& language, int japaneseMode)
{
    if (state != kActive)
        return {};
    if (language.startsWith(QLatin1String("ko")))
        return {true, kImeModeHangul};
    if (language.startsWith(QLatin1String("ja")))
        return {true, japaneseMode};
    return {true, kImeModeHiragana};
}

std::unique_ptr<Fcitx5InputMethod> Fcitx5InputMethod::connectToSession()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kService).value())
        return nullptr;
    return std::unique_ptr<Fcitx5InputMethod>(new Fcitx5InputMethod(bus));
}

Fcitx5InputMethod::Fcitx5InputMethod(const QDBusConnection& bus)
    : m_bus(bus)
{
    // AvailableInputMethods: (unique name, name, native name, icon, label, language, configurable).
    const QDBusMessage reply = call(QStringLiteral("AvailableInputMethods"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    const auto list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString uniqueName, name, nativeName, icon, label, language;
        bool configurable = false;
        list.beginStructure();
        list >> uniqueName >> name >> nativeName >> icon >> label >> language >> configurable;
        list.endStructure();
        m_languages.insert(uniqueName, language);
    }
    list.endArray();
}

QDBusMessage Fcitx5InputMethod::call(const QString& method)
{
    return m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface, method), QDBus::Block, kTimeoutMs);
}

QString Fcitx5InputMethod::language()
{
    const QDBusMessage reply = call(QStringLiteral("CurrentInputMethod"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return m_languages.value(reply.arguments().constFirst().toString()).section(u'_', 0, 0);
}

InputMethodStatus Fcitx5InputMethod::status()
{
    const QDBusMessage reply = call(QStringLiteral("State"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const int state = reply.arguments().constFirst().toInt();
    return fcitxStatus(state, state == kActive ? language() : QString(), m_japaneseMode);
}

void Fcitx5InputMethod::setOpen(bool open) { call(open ? QStringLiteral("Activate") : QStringLiteral("Deactivate")); }

void Fcitx5InputMethod::setConversionMode(int mode)
{
    m_japaneseMode = mode;
    setOpen(mode != kImeModeAlphanumeric);
}

} // namespace velmor
