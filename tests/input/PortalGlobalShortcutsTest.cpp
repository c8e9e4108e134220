// The desktop portal's global shortcuts, against a portal played by the test on a bus of its own.
#include "input/HotKeyCodes.h"
#include "input/PortalGlobalShortcuts.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <atomic>
#include <memory>

#ifdef __SANITIZE_ADDRESS__
// Qt D-Bus keeps the nodes it makes for the fake portal's registration until the program ends;
// full stacks let the suppression find Qt's frames. The sanitizer's runtime looks these up by name,
// so they stay visible although the build hides symbols by default.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:QDBusConnection::registerObject\n";
}
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
#endif

using velmor::PortalGlobalShortcuts;
using velmor::ShortcutOutcome;

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers CreateSession and BindShortcuts as a desktop does, granting every key unless told
// to refuse, and records what it was asked. It runs in a thread of its own, as a portal runs in
// a process of its own, so that a blocking call of the client finds it answering.
class FakePortal : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    std::atomic<bool> refuse = false;

    QStringList calls() const { QMutexLocker lock(&m_mutex); return m_calls; }
    QString session() const { QMutexLocker lock(&m_mutex); return m_session; }
    QStringList triggers() const { QMutexLocker lock(&m_mutex); return m_triggers; }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override
    {
        QMutexLocker lock(&m_mutex);
        const QString member = message.member();
        m_calls << member;
        if (member == QLatin1String("Get")) {
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            return true;
        }
        if (member == QLatin1String("Close")) {
            m_calls.last() = QStringLiteral("Close ") + message.path();
            m_bus.send(message.createReply());
            return true;
        }
        const QList<QVariant> arguments = message.arguments();
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.constLast());
        QString sender = message.service().mid(1);
        sender.replace(u'.', u'_');
        const QString request = kPath + QStringLiteral("/request/") + sender + u'/' +
                                options.value(QStringLiteral("handle_token")).toString();
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));

        QVariantMap results;
        if (member == QLatin1String("CreateSession")) {
            m_session = kPath + QStringLiteral("/session/") + sender + u'/' +
                      options.value(QStringLiteral("session_handle_token")).toString();
            results[QStringLiteral("session_handle")] = m_session;
        } else {
            m_triggers.clear();
            const auto shortcuts = arguments.at(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                QString id;
                QVariantMap properties;
                shortcuts.beginStructure();
                shortcuts >> id >> properties;
                shortcuts.endStructure();
                m_triggers << id + u'=' + properties.value(QStringLiteral("preferred_trigger")).toString();
            }
            shortcuts.endArray();
        }
        QDBusMessage response = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                           QStringLiteral("Response"));
        response << (refuse ? 1u : 0u) << results;
        m_bus.send(response);
        return true;
    }

    void activate(const QString& onSession, const QString& id)
    {
        QDBusMessage activated = QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                            QStringLiteral("Activated"));
        activated << QVariant::fromValue(QDBusObjectPath(onSession)) << id << qulonglong(0) << QVariantMap();
        m_bus.send(activated);
    }

private:
    QDBusConnection m_bus;
    mutable QMutex m_mutex;
    QStringList m_calls;
    QString m_session;
    QStringList m_triggers;
};

class PortalShortcuts : public ::testing::Test {
protected:
    QTemporaryDir dataHome;
    QProcess daemon;
    QString address;
    QThread portalThread;
    std::unique_ptr<FakePortal> portal;

    void startPortal()
    {
        QDBusConnection bus = connection(QStringLiteral("portal"));
        portal = std::make_unique<FakePortal>(bus);
        portal->moveToThread(&portalThread);
        portalThread.start();
        ASSERT_TRUE(bus.registerService(kService));
        ASSERT_TRUE(bus.registerVirtualObject(kPath, portal.get(), QDBusConnection::SubPath));
    }

    // The bus starts no installed service: a portal installed on the machine would take the
    // portal's name before the fake. One is planted where a session bus looks for services, and
    // the bus must not offer it.
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(QDir(dataHome.path()).mkpath(QStringLiteral("dbus-1/services")));
        QFile planted(dataHome.filePath(QStringLiteral("dbus-1/services/%1.service").arg(kService)));
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.write("[D-BUS Service]\nName=" + kService.toLatin1() + "\nExec=/bin/sleep 60\n");
        planted.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
        daemon.setProcessEnvironment(environment);
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=" VELMOR_TEST_SESSION_BUS_CONFIG), "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon.waitForReadyRead(5000));
        address = QString::fromLatin1(daemon.readLine()).trimmed();
        const QDBusMessage names = connection(QStringLiteral("setup")).call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")));
        ASSERT_EQ(names.type(), QDBusMessage::ReplyMessage) << names.errorMessage().toStdString();
        ASSERT_EQ(names.arguments().value(0).toStringList(), QStringList{QStringLiteral("org.freedesktop.DBus")});
    }
    void TearDown() override
    {
        portalThread.quit();
        portalThread.wait();
        for (const QString& name : {QStringLiteral("portal"), QStringLiteral("client"), QStringLiteral("setup")})
            QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connection(const QString& name) { return QDBusConnection::connectToBus(address, name); }

    static bool waitFor(const std::function<bool()>& done)
    {
        QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
};

TEST(PortalTrigger, NamesKeysAsTheDesktopPortalDoes)
{
    using namespace velmor;
    EXPECT_EQ(velmor::portalTrigger('R', kHotKeyCtrl | kHotKeyAlt), QStringLiteral("CTRL+ALT+r"));
    EXPECT_EQ(velmor::portalTrigger('7', kHotKeyShift | kHotKeyAlt), QStringLiteral("ALT+SHIFT+7"));
    EXPECT_EQ(velmor::portalTrigger(0x7B, kHotKeyCtrl), QStringLiteral("CTRL+F12"));
    EXPECT_TRUE(velmor::portalTrigger(0x20, kHotKeyCtrl).isEmpty());
}

TEST_F(PortalShortcuts, KeyIsBoundInASessionItsPressesArriveAndReleaseClosesTheSession)
{
    QDBusConnection client = connection(QStringLiteral("client"));
    ASSERT_TRUE(client.isConnected());
    EXPECT_EQ(PortalGlobalShortcuts::create(client), nullptr) << "no portal on the bus yet";

    startPortal();
    auto shortcuts = PortalGlobalShortcuts::create(client);
    ASSERT_NE(shortcuts, nullptr);
    QSignalSpy pressed(shortcuts.get(), &velmor::GlobalShortcutService::pressed);
    QSignalSpy refused(shortcuts.get(), &velmor::GlobalShortcutService::refused);

    EXPECT_EQ(shortcuts->grab(1, 'R', velmor::kHotKeyCtrl | velmor::kHotKeyAlt), ShortcutOutcome::Registered);
    ASSERT_TRUE(waitFor([&] { return portal->calls().contains(QStringLiteral("BindShortcuts")); }));
    EXPECT_EQ(portal->triggers(), QStringList{"velmor-1=CTRL+ALT+r"});
    const QString session = portal->session();

    portal->activate(QStringLiteral("/some/other/session"), QStringLiteral("velmor-1"));
    portal->activate(session, QStringLiteral("velmor-1"));
    ASSERT_TRUE(waitFor([&] { return !pressed.isEmpty(); }));
    EXPECT_EQ(pressed.size(), 1);
    EXPECT_EQ(pressed.first().first().toInt(), 1);
    EXPECT_TRUE(refused.isEmpty());

    EXPECT_TRUE(shortcuts->release(1));
    EXPECT_FALSE(shortcuts->release(1));
    ASSERT_TRUE(waitFor([&] { return portal->calls().contains(QStringLiteral("Close ") + session); }));
    portal->activate(session, QStringLiteral("velmor-1"));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(pressed.size(), 1) << "a released key no longer arrives";
}

TEST_F(PortalShortcuts, KeyTheDesktopTurnsDownIsReportedRefused)
{
    startPortal();
    auto shortcuts = PortalGlobalShortcuts::create(connection(QStringLiteral("client")));
    ASSERT_NE(shortcuts, nullptr);
    QSignalSpy refused(shortcuts.get(), &velmor::GlobalShortcutService::refused);

    portal->refuse = true;
    shortcuts->grab(1, 'R', velmor::kHotKeyCtrl | velmor::kHotKeyAlt);
    ASSERT_TRUE(waitFor([&] { return !refused.isEmpty(); }));
    EXPECT_EQ(refused.first().first().toInt(), 1);
}

} // namespace
