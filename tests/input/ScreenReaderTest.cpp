#include "input/ScreenReader.h"

#include <QCheckBox>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The desktop's accessibility bus as a screen reader sets it: org.a11y.Status on /org/a11y/bus.
class FakeStatus : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool ScreenReaderEnabled READ screenReaderEnabled)
public:
    FakeStatus(QObject* owner, bool enabled) : QDBusAbstractAdaptor(owner), m_enabled(enabled) { }
    bool screenReaderEnabled() const { return m_enabled; }
    void set(const QDBusConnection& bus, bool enabled)
    {
        m_enabled = enabled;
        QDBusMessage changed = QDBusMessage::createSignal(QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        changed << QStringLiteral("org.a11y.Status") << QVariantMap{{QStringLiteral("ScreenReaderEnabled"), enabled}}
                << QStringList();
        bus.send(changed);
    }

private:
    bool m_enabled;
};

bool waitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

// On a bus of its own: a screen reader running at start is found, one turned on later too, and
// each start is told once.
TEST(ScreenReaderWatch, FindsAScreenReaderAtStartAndWhenOneIsTurnedOn)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=" VELMOR_TEST_SESSION_BUS_CONFIG), "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromLatin1(daemon.readLine()).trimmed();
    {
        QDBusConnection desktop = QDBusConnection::connectToBus(address, QStringLiteral("a11y-desktop"));
        QDBusConnection program = QDBusConnection::connectToBus(address, QStringLiteral("a11y-program"));
        QObject bus;
        auto* status = new FakeStatus(&bus, true);
        ASSERT_TRUE(desktop.registerService(QStringLiteral("org.a11y.Bus")));
        ASSERT_TRUE(desktop.registerObject(QStringLiteral("/org/a11y/bus"), &bus));

        velmor::ScreenReaderWatch watch(program);
        QSignalSpy started(&watch, &velmor::ScreenReaderWatch::started);
        EXPECT_TRUE(waitFor([&] { return watch.running(); }));
        EXPECT_EQ(started.count(), 1);

        status->set(desktop, false);
        EXPECT_TRUE(waitFor([&] { return !watch.running(); }));
        status->set(desktop, true);
        EXPECT_TRUE(waitFor([&] { return watch.running(); }));
        EXPECT_EQ(started.count(), 2);

        // Without the accessibility bus nothing runs and nothing is told.
        velmor::ScreenReaderWatch alone(QDBusConnection(QStringLiteral("nowhere")));
        EXPECT_FALSE(alone.running());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("a11y-desktop"));
    QDBusConnection::disconnectFromBus(QStringLiteral("a11y-program"));
    daemon.kill();
    daemon.waitForFinished();
}

// The offer is said once, changes nothing by itself, and its one key turns every echo off.
TEST(ScreenReaderOffer, SaysOnceAndTurnsTheEchoOffOnlyAtTheUsersKey)
{
    QWidget window;
    QCheckBox clipboard, joyful, speechInfo;
    clipboard.setChecked(true);
    speechInfo.setChecked(true);
    QStringList captions;
    velmor::ScreenReaderOffer offer({clipboard, joyful, speechInfo}, [&](const QString& text) { captions << text; }, window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    offer.screenReaderStarted();
    offer.screenReaderStarted();
    EXPECT_EQ(captions, QStringList{velmor::ScreenReaderOffer::kOfferCaption});
    EXPECT_TRUE(clipboard.isChecked());
    EXPECT_TRUE(speechInfo.isChecked());

    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(clipboard.isChecked());
    EXPECT_FALSE(joyful.isChecked());
    EXPECT_FALSE(speechInfo.isChecked());
    EXPECT_EQ(captions.last(), velmor::ScreenReaderOffer::kDoneCaption);
    // Turned on again by the user, it stays on: the key went with the offer.
    clipboard.setChecked(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(clipboard.isChecked());
}

#include "ScreenReaderTest.moc"
