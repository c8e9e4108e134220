#include "input/IBusInputMethod.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace velmor {

namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kInterface = QStringLiteral("org.freedesktop.IBus");
const QString kEngineInterface = QStringLiteral("org.freedesktop.IBus.Engine");
const QString kEnginesPath = QStringLiteral("/org/freedesktop/IBus/Engine");
// A question to the daemon must not hold the window up when the daemon hangs.
constexpr int kTimeoutMs = 300;

bool isKeyboardLayout(const IBusEngine& engine) { return engine.name.startsWith(QLatin1String("xkb:")); }

// An engine description as the daemon serialises it: ("IBusEngineDesc", attachments, name,
// long name, description, language, licence, author, icon, layout, ...).
std::optional<IBusEngine> engineFrom(const QVariant& value)
{
    QVariant inner = value;
    while (inner.canConvert<QDBusVariant>() && inner.userType() == qMetaTypeId<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    if (inner.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const auto argument = inner.value<QDBusArgument>();
    QString typeName;
    QVariantMap attachments;
    IBusEngine engine;
    QString longName, description, licence, author, icon;
    argument.beginStructure();
    argument >> typeName >> attachments >> engine.name >> longName >> description >> engine.language >> licence
        >> author >> icon >> engine.layout;
    if (typeName != QLatin1String("IBusEngineDesc") || engine.name.isEmpty())
        return std::nullopt;
    return engine;
}

QString displayNumber()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return {};
    return display.mid(colon + 1).section(u'.', 0, 0);
}

QString displayHost()
{
    const QString host = qEnvironmentVariable("DISPLAY").section(u':', 0, 0);
    return host.isEmpty() ? QStringLiteral("unix") : host;
}

QString machineId()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly))
            return QString::fromLatin1(file.readAll()).trimmed();
    }
    return {};
}

QDBusArgument argumentIn(const QVariant& value)
{
    QVariant inner = value;
    while (inner.userType() == qMetaTypeId<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    return inner.value<QDBusArgument>();
}

enum class SubProperties { Read, Skip };
void collectCheckedModes(const QDBusArgument& property, SubProperties subProperties, std::optional<int>& mode);

// An IBusPropList: ("IBusPropList", attachments, properties).
void collectCheckedModesOfList(const QDBusArgument& list, std::optional<int>& mode)
{
    QString typeName;
    QVariantMap attachments;
    list.beginStructure();
    list >> typeName >> attachments;
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant item;
        list >> item;
        collectCheckedModes(argumentIn(item.variant()), SubProperties::Read, mode);
    }
    list.endArray();
    list.endStructure();
}

// An IBusProperty: ("IBusProperty", attachments, key, type, label, icon, tooltip, sensitive,
// visible, state, sub-properties, ...). State 1 is checked.
void collectCheckedModes(const QDBusArgument& property, SubProperties subProperties, std::optional<int>& mode)
{
    QString typeName, key, icon;
    QVariantMap attachments;
    uint type = 0, state = 0;
    QDBusVariant label, tooltip, subItems;
    bool sensitive = false, visible = false;
    property.beginStructure();
    property >> typeName >> attachments >> key >> type >> label >> icon >> tooltip >> sensitive >> visible >> state
        >> subItems;
    if (typeName != QLatin1String("IBusProperty"))
        return;
    if (state == 1 && ibusModeOfProperty(key))
        mode = ibusModeOfProperty(key);
    if (subProperties == SubProperties::Read)
        collectCheckedModesOfList(argumentIn(subItems.variant()), mode);
}

} // namespace

InputMethodStatus ibusStatus(const std::optional<IBusEngine>& engine, int japaneseMode)
{
    if (!engine || isKeyboardLayout(*engine))
        return {};
    const QString language = ibusLanguage(*engine);
    if (language == QLatin1String("ko"))
        return {true, kImeModeHangul};
    if (language == QLatin1String("ja"))
        return {true, japaneseMode};
    // Chinese and other engines compose as a Japanese one does.
    return {true, kImeModeHiragana};
}

QString ibusLanguage(const IBusEngine& engine)
{
    if (engine.language.startsWith(QLatin1String("ja")) || engine.layout == QLatin1String("jp"))
        return QStringLiteral("ja");
    if (engine.language.startsWith(QLatin1String("ko")) || engine.layout == QLatin1String("kr"))
        return QStringLiteral("ko");
    return engine.language;
}

QString ibusModeProperty(int conversionMode)
{
    return conversionMode == kImeModeAlphanumeric ? QStringLiteral("InputMode.Latin")
                                                  : QStringLiteral("InputMode.Hiragana");
}

IntrospectedNode parseIntrospection(const QString& xml)
{
    IntrospectedNode node;
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QString name = reader.attributes().value(QLatin1String("name")).toString();
        if (depth == 2 && reader.name() == QLatin1String("interface"))
            node.interfaces << name;
        else if (depth == 2 && reader.name() == QLatin1String("node") && !name.isEmpty())
            node.children << name;
    }
    return node;
}

std::optional<int> ibusModeOfProperty(const QString& key)
{
    if (key == QLatin1String("InputMode.Latin") || key == QLatin1String("InputMode.Direct"))
        return kImeModeAlphanumeric;
    if (key.startsWith(QLatin1String("InputMode.")))
        return kImeModeHiragana;
    return std::nullopt;
}

QString ibusAddress()
{
    const QString fromEnvironment = qEnvironmentVariable("IBUS_ADDRESS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString number = displayNumber();
    if (number.isEmpty())
        return {};
    const QString name = machineId() + u'-' + displayHost() + u'-' + number;
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
               + QStringLiteral("/ibus/bus/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("IBUS_ADDRESS="))
            return QString::fromUtf8(line.mid(13)).trimmed();
    }
    return {};
}

std::unique_ptr<IBusInputMethod> IBusInputMethod::connectToDaemon()
{
    const QString address = ibusAddress();
    if (address.isEmpty())
        return nullptr;
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("velmor-ibus"));
    if (!bus.isConnected()) {
        QDBusConnection::disconnectFromBus(QStringLiteral("velmor-ibus"));
        return nullptr;
    }
    return std::unique_ptr<IBusInputMethod>(new IBusInputMethod(bus));
}

IBusInputMethod::IBusInputMethod(const QDBusConnection& bus)
    : m_bus(bus)
{
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("GlobalEngineChanged"), this,
                  SLOT(globalEngineChanged()));
    for (const char* signal : {"RegisterProperties", "UpdateProperty"})
        m_bus.connect(QString(), QString(), kEngineInterface, QString::fromLatin1(signal), this,
                      SLOT(engineProperties(QDBusMessage)));
    m_engine = readGlobalEngine();
}

IBusInputMethod::~IBusInputMethod() { QDBusConnection::disconnectFromBus(m_bus.name()); }

void IBusInputMethod::globalEngineChanged() { m_engine = readGlobalEngine(); }

std::optional<IBusEngine> IBusInputMethod::readGlobalEngine()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kInterface << QStringLiteral("GlobalEngine");
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return engineFrom(reply.arguments().constFirst());
}

QList<IBusEngine> IBusInputMethod::activeEngines()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kInterface << QStringLiteral("ActiveEngines");
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, kTimeoutMs);
    QList<IBusEngine> engines;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return engines;
    const auto list = reply.arguments().constFirst().value<QDBusVariant>().variant().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant item;
        list >> item;
        if (const std::optional<IBusEngine> engine = engineFrom(item.variant()))
            engines << *engine;
    }
    list.endArray();
    return engines;
}

void IBusInputMethod::setGlobalEngine(const QString& name)
{
    m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("SetGlobalEngine")) << name,
               QDBus::Block, kTimeoutMs);
    m_engine = readGlobalEngine();
}

void IBusInputMethod::engineProperties(const QDBusMessage& message)
{
    if (message.arguments().isEmpty())
        return;
    std::optional<int> mode;
    const QDBusArgument argument = argumentIn(message.arguments().constFirst());
    // All properties come at once when the engine takes the focus. An update of a menu can
    // carry its items as they were, so only the updated property itself counts.
    if (message.member() == QLatin1String("RegisterProperties"))
        collectCheckedModesOfList(argument, mode);
    else
        collectCheckedModes(argument, SubProperties::Skip, mode);
    if (mode)
        m_japaneseMode = *mode;
}

InputMethodStatus IBusInputMethod::status() { return ibusStatus(m_engine, m_japaneseMode); }

QString IBusInputMethod::language() { return m_engine ? ibusLanguage(*m_engine) : QString(); }

// Opening chooses the first input-method engine of the user's list for the keyboard's
// language; closing goes back to the first plain keyboard layout of the list.
void IBusInputMethod::setOpen(bool open)
{
    if (status().open == open)
        return;
    const QString wanted = language();
    for (const IBusEngine& engine : activeEngines()) {
        if (isKeyboardLayout(engine) != open && (!open || ibusLanguage(engine) == wanted)) {
            setGlobalEngine(engine.name);
            return;
        }
    }
}

// The daemon takes mode changes only from the input context's own client, so they go to the
// engines themselves, each running engine process getting the property of the mode; an
// engine ignores a property it does not have.
void IBusInputMethod::setConversionMode(int mode)
{
    m_japaneseMode = mode;
    const QDBusReply<QStringList> names = m_bus.interface()->registeredServiceNames();
    if (!names.isValid())
        return;
    for (const QString& name : names.value()) {
        if (name.startsWith(u':') || name == kService || name.startsWith(kService + QStringLiteral(".Config"))
            || name.startsWith(kService + QStringLiteral(".Panel")) || name == QLatin1String("org.freedesktop.DBus"))
            continue;
        for (const QString& engine : enginePaths(name, QStringLiteral("/"), 0)) {
            QDBusMessage activate =
                QDBusMessage::createMethodCall(name, engine, kEngineInterface, QStringLiteral("PropertyActivate"));
            activate << ibusModeProperty(mode) << 1u;
            m_bus.asyncCall(activate, kTimeoutMs);
        }
    }
}

// Engine processes put their engines where they like (/org/freedesktop/IBus/Engine/1 for
// ibus-hangul, /com/redhat/IBus/engines/Anthy/Engine/1 for Anthy), so the object tree is
// searched for them; a few levels are enough.
QStringList IBusInputMethod::enginePaths(const QString& service, const QString& path, int depth)
{
    constexpr int kDeepest = 8;
    const QDBusMessage listing = m_bus.call(
        QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                       QStringLiteral("Introspect")),
        QDBus::Block, kTimeoutMs);
    if (listing.type() != QDBusMessage::ReplyMessage || listing.arguments().isEmpty())
        return {};
    const IntrospectedNode node = parseIntrospection(listing.arguments().constFirst().toString());
    QStringList engines;
    if (node.interfaces.contains(kEngineInterface))
        engines << path;
    if (depth < kDeepest) {
        for (const QString& child : node.children)
            engines << enginePaths(service, path.endsWith(u'/') ? path + child : path + u'/' + child, depth + 1);
    }
    return engines;
}

} // namespace velmor
