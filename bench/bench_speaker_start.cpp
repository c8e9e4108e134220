// The command-line speaker from process start to first sound, beside espeak-ng's own command in
// the same run: an English sentence, and a short Japanese one (velmor reads its kanji through
// MeCab first). espeak-ng is given the voice, rate and reading velmor hands to it, so that the
// two differ in starting only, not in how soon the voice's first sound rises. The sound is taken
// from the default sink's monitor as it plays.
// Needs a sound server (scripts/run-benchmarks.sh gives it one with a null sink).

#include <QByteArray>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTrials = 9;
constexpr int kLoud = 300;

pid_t spawn(const std::vector<std::string>& command, int out = -1)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The monitor of the default sink, as raw 16-bit mono samples.
class Monitor {
public:
    Monitor()
    {
        int ends[2];
        if (pipe(ends) != 0)
            return;
        m_pid = spawn({"parec", "--raw", "--format=s16le", "--rate=22050", "--channels=1", "--latency-msec=2",
                       "-d", "@DEFAULT_MONITOR@"}, ends[1]);
        close(ends[1]);
        m_fd = ends[0];
    }
    ~Monitor()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool ok() const { return m_pid > 0; }

    // Reads until a loud sample comes (true) or the time is up.
    bool waitForSound(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            pollfd fd{m_fd, POLLIN, 0};
            if (poll(&fd, 1, 5) <= 0)
                continue;
            short samples[256];
            const ssize_t n = read(m_fd, samples, sizeof samples);
            for (ssize_t i = 0; i < n / 2; ++i)
                if (std::abs(samples[i]) > kLoud)
                    return true;
        }
        return false;
    }

    // Reads until the sink has been quiet for a while.
    void waitForQuiet()
    {
        while (waitForSound(300)) { }
    }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
};

void report(const char* label, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty() || ms.front() < 0) {
        std::printf("%-44s no sound\n", label);
        return;
    }
    std::printf("%-44s median %7.1f ms  min %7.1f ms  max %7.1f ms\n", label, ms[ms.size() / 2], ms.front(), ms.back());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const std::string velmor = QCoreApplication::applicationDirPath().toStdString() + "/../velmor";
    const bool haveEspeak = !QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty();
    Monitor monitor;
    if (!monitor.ok()) {
        std::printf("no sound server: not measured\n");
        return 0;
    }
    monitor.waitForQuiet();
    const std::string english = "The quick brown fox jumps over the lazy dog.";
    const std::string japanese = "今日は良い天気です。";
    struct Case {
        const char* label;
        std::vector<std::string> command;
    };
    std::vector<Case> cases = {
        {"velmor --say (English)", {velmor, "--say", english}},
        {"velmor --voice Naoko --say (Japanese)", {velmor, "--voice", "Naoko", "--say", japanese}},
    };
    if (haveEspeak) {
        cases.push_back({"espeak-ng -v en-us+f3 -s 150 (English)", {"espeak-ng", "-v", "en-us+f3", "-s", "150", english}});
        cases.push_back({"espeak-ng -v ja+f3 -s 150 (Japanese, kana)",
                         {"espeak-ng", "-v", "ja+f3", "-s", "150", "キョーワヨイテンキデス。"}});
    } else {
        std::printf("espeak-ng's own command is not installed: no comparison\n");
    }
    std::vector<std::vector<double>> results(cases.size());
    for (int trial = 0; trial < kTrials; ++trial) {
        for (std::size_t c = 0; c < cases.size(); ++c) {
            const auto start = Clock::now();
            const pid_t pid = spawn(cases[c].command);
            const bool heard = pid > 0 && monitor.waitForSound(5000);
            results[c].push_back(heard ? std::chrono::duration<double, std::milli>(Clock::now() - start).count() : -1);
            if (pid > 0)
                waitpid(pid, nullptr, 0);
            monitor.waitForQuiet();
        }
    }
    std::printf("process start to first sound (%d trials):\n", kTrials);
    for (std::size_t c = 0; c < cases.size(); ++c)
        report(cases[c].label, results[c]);
    return 0;
}
