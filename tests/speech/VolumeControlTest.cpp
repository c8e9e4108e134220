#include "speech/VolumeControl.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

using velmor::mixerToVolume;
using velmor::TVolumeControl;
using velmor::volumeToMixer;

namespace {

// Everything written to file descriptor 2 while it lives, by this process and by libraries.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        m_file = std::tmpfile();
        ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture()
    {
        restore();
        std::fclose(m_file);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QByteArray text()
    {
        restore();
        std::rewind(m_file);
        QByteArray out;
        char buffer[256];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
            out.append(buffer, static_cast<qsizetype>(n));
        return out;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    int m_saved = -1;
    std::FILE* m_file = nullptr;
};

// Sets environment variables for the test's duration and puts the old values back.
class ScopedEnv {
public:
    void set(const char* name, const QByteArray& value)
    {
        m_saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                   : std::nullopt);
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                qputenv(it->first, *it->second);
            else
                qunsetenv(it->first);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

// pactl's output, or nothing when it failed.
std::optional<QByteArray> pactl(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), arguments);
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return p.readAllStandardOutput();
}

} // namespace

TEST(VolumeMapping, EndsOfTheTrackBarAreTheEndsOfTheRange)
{
    for (auto [min, max] : {std::pair{0L, 65536L}, {0L, 100L}, {-10L, 10L}, {0L, 65535L}, {-6000L, 0L}}) {
        SCOPED_TRACE(testing::Message() << min << ".." << max);
        EXPECT_EQ(volumeToMixer(0, min, max), min);
        EXPECT_EQ(volumeToMixer(65535, min, max), max);
        EXPECT_EQ(mixerToVolume(min, min, max), 0);
        EXPECT_EQ(mixerToVolume(max, min, max), 65535);
    }
}

TEST(VolumeMapping, RoundsToTheNearestStep)
{
    // 0..65536 (the PulseAudio plug-in): 26214 is 40 %.
    EXPECT_EQ(volumeToMixer(26214, 0, 65536), 26214);   // 26214.4
    EXPECT_EQ(volumeToMixer(32768, 0, 65536), 32769);   // 32768.50002
    EXPECT_EQ(mixerToVolume(26214, 0, 65536), 26214);   // 26213.6
    EXPECT_EQ(mixerToVolume(32768, 0, 65536), 32768);   // 32767.5, half up

    // 0..100: 655.35 track-bar units per step.
    EXPECT_EQ(volumeToMixer(327, 0, 100), 0);           // 0.499
    EXPECT_EQ(volumeToMixer(328, 0, 100), 1);           // 0.5005
    EXPECT_EQ(volumeToMixer(32767, 0, 100), 50);        // 49.9992
    EXPECT_EQ(mixerToVolume(1, 0, 100), 655);
    EXPECT_EQ(mixerToVolume(50, 0, 100), 32768);
    EXPECT_EQ(mixerToVolume(99, 0, 100), 64880);        // 64879.65

    // A range around zero.
    EXPECT_EQ(volumeToMixer(32767, -10, 10), 0);        // -10 + 9.9998
    EXPECT_EQ(volumeToMixer(1638, -10, 10), -10);       // -10 + 0.4999
    EXPECT_EQ(volumeToMixer(1639, -10, 10), -9);        // -10 + 0.5002
    EXPECT_EQ(mixerToVolume(0, -10, 10), 32768);
    EXPECT_EQ(mixerToVolume(-9, -10, 10), 3277);        // 3276.75
}

TEST(VolumeMapping, RangesAtLeastAsFineAsTheTrackBarGiveEveryPositionBack)
{
    for (auto [min, max] :
         {std::pair{0L, 65535L}, {0L, 65536L}, {-100000L, 100001L}, {-2147483648L, 2147483647L}}) {
        SCOPED_TRACE(testing::Message() << min << ".." << max);
        long previous = min - 1;
        for (int v = 0; v <= 65535; ++v) {
            const long value = volumeToMixer(static_cast<std::uint16_t>(v), min, max);
            ASSERT_GT(value, previous) << v;
            ASSERT_EQ(mixerToVolume(value, min, max), v);
            previous = value;
        }
    }
}

TEST(VolumeMapping, ValuesOutsideTheRangeAreClampedAndAnEmptyRangeIsSilent)
{
    EXPECT_EQ(mixerToVolume(-11, -10, 10), 0);
    EXPECT_EQ(mixerToVolume(11, -10, 10), 65535);
    EXPECT_EQ(volumeToMixer(40000, 5, 5), 5);
    EXPECT_EQ(mixerToVolume(5, 5, 5), 0);
    EXPECT_EQ(volumeToMixer(40000, 7, 3), 7);
    EXPECT_EQ(mixerToVolume(5, 7, 3), 0);
}

TEST(VolumeControl, WithoutASoundServerReadsZeroIgnoresWritesAndSaysNothing)
{
    QFile cards(QStringLiteral("/proc/asound/cards"));
    if (cards.open(QIODevice::ReadOnly) && !cards.readAll().contains("no soundcards"))
        GTEST_SKIP() << "this machine has a sound card: ALSA's default device works without a server";

    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    ScopedEnv env;
    env.set("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    env.set("PULSE_SERVER", ("unix:" + runtime.filePath(QStringLiteral("none"))).toLocal8Bit());

    StderrCapture err;
    {
        TVolumeControl control;
        EXPECT_FALSE(control.isOpen());
        EXPECT_EQ(control.Volume(), 0);
        control.SetVolume(40000);
        EXPECT_EQ(control.Volume(), 0);
        EXPECT_FALSE(control.Mute());
        control.SetMute(true);
        EXPECT_FALSE(control.Mute());
    }
    EXPECT_EQ(err.text(), QByteArray());
}

// A private PulseAudio server with a null sink as its default sink; the test's process talks to it.
class VolumeControlWithServer : public testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            GTEST_SKIP() << "pulseaudio is not installed";
        ASSERT_TRUE(m_runtime.isValid());
        m_env.set("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        m_env.set("PULSE_SERVER", ("unix:" + socketPath()).toLocal8Bit());
        ASSERT_TRUE(startServer());
    }

    void TearDown() override { stopServer(); }

    QString socketPath() const { return m_runtime.filePath(QStringLiteral("native")); }

    bool startServer()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_runtime.path());
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), "unix:path=" + m_runtime.filePath("no-bus"));
        m_server.setProcessEnvironment(env);
        m_server.start(QStringLiteral("pulseaudio"),
                       {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                        "--realtime=no", "--high-priority=no", "--log-target=stderr",
                        "--load=module-null-sink sink_name=test",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socketPath()});
        if (!m_server.waitForStarted(5000))
            return false;
        return QTest::qWaitFor([] { return pactl({"info"}).has_value(); }, 5000);
    }

    void stopServer()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished(3000);
        }
    }

    static QByteArray sinkVolume()
    {
        return pactl({"get-sink-volume", "@DEFAULT_SINK@"}).value_or("pactl failed");
    }

    QTemporaryDir m_runtime;
    ScopedEnv m_env;
    QProcess m_server;
};

TEST_F(VolumeControlWithServer, SetsAndReadsTheDefaultSinkVolume)
{
    TVolumeControl control;
    ASSERT_TRUE(control.isOpen());

    control.SetVolume(26214);
    EXPECT_TRUE(sinkVolume().contains(" 40% ")) << sinkVolume().constData();
    EXPECT_EQ(control.Volume(), 26214);

    control.SetVolume(65535);
    EXPECT_TRUE(sinkVolume().contains(" 100% ")) << sinkVolume().constData();
    EXPECT_EQ(control.Volume(), 65535);

    control.SetVolume(0);
    EXPECT_TRUE(sinkVolume().contains(" 0% ")) << sinkVolume().constData();
    EXPECT_EQ(control.Volume(), 0);
}

TEST_F(VolumeControlWithServer, ReadsAndSetsMute)
{
    TVolumeControl control;
    ASSERT_TRUE(control.isOpen());
    EXPECT_FALSE(control.Mute());

    control.SetMute(true);
    EXPECT_EQ(pactl({"get-sink-mute", "@DEFAULT_SINK@"}), QByteArray("Mute: yes\n"));
    EXPECT_TRUE(control.Mute());

    QSignalSpy changes(&control, &TVolumeControl::OnControlChange);
    ASSERT_TRUE(pactl({"set-sink-mute", "@DEFAULT_SINK@", "0"}));
    ASSERT_TRUE(changes.wait(1000));
    EXPECT_FALSE(control.Mute());
}

TEST_F(VolumeControlWithServer, AChangeByAnotherProgramRaisesOnControlChange)
{
    TVolumeControl control;
    ASSERT_TRUE(control.isOpen());
    control.SetVolume(10000);
    QSignalSpy changes(&control, &TVolumeControl::OnControlChange);

    ASSERT_TRUE(pactl({"set-sink-volume", "@DEFAULT_SINK@", "50%"}));
    ASSERT_TRUE(changes.wait(1000));
    EXPECT_EQ(changes.first().first().value<TVolumeControl*>(), &control);
    EXPECT_EQ(control.Volume(), 32768);
}

TEST_F(VolumeControlWithServer, FallsBackQuietlyWhenTheServerGoesAndAttachesAgainWhenItReturns)
{
    TVolumeControl control;
    ASSERT_TRUE(control.isOpen());
    control.SetVolume(26214);

    StderrCapture err;
    stopServer();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !control.isOpen(); }, 2000));
    EXPECT_EQ(control.Volume(), 0);
    control.SetVolume(40000);
    EXPECT_EQ(err.text(), QByteArray());

    ASSERT_TRUE(startServer());
    // A fresh null sink starts at full volume.
    EXPECT_TRUE(QTest::qWaitFor([&] { return control.Volume() == 65535; }, 3000));
    control.SetVolume(26214);
    EXPECT_TRUE(sinkVolume().contains(" 40% ")) << sinkVolume().constData();
}

TEST_F(VolumeControlWithServer, AttachesToAServerStartedLater)
{
    stopServer();
    TVolumeControl control;
    EXPECT_FALSE(control.isOpen());
    EXPECT_EQ(control.Volume(), 0);

    ASSERT_TRUE(startServer());
    EXPECT_TRUE(QTest::qWaitFor([&] { return control.Volume() == 65535; }, 3000));
    EXPECT_TRUE(control.isOpen());
}
