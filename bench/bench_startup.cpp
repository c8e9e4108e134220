// Start-up of the real program as a user sees it, from the moment the process is started:
// when its window is mapped and answers the window manager's ping (the event loop is free),
// and when the named file is fully shown: the caption names the caret's line after the file
// was opened at its end line (for FeatherPad, when the caption names the file), checked by one
// more answered ping. Peak RSS of the process. FeatherPad is timed in the same run when it is
// installed. Then a window that is already up opens the 20 MB file through Ctrl+O and its
// dialog: the time until the text is shown, and the longest the window took meanwhile to answer
// a ping (how long it froze). Needs a display (scripts/run-benchmarks.sh gives it one).

#include "document/TextFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

struct Timing {
    double windowMs = -1; // mapped and answering
    double readyMs = -1;  // text shown and answering
    long peakRssKb = 0;
};

struct OpenTiming {
    double shownMs = -1;       // from the Enter in the open dialog until the text is shown and answering
    double longestStallMs = 0; // the longest the window took to answer a ping meanwhile
    long peakRssKb = 0;
};

class Display {
public:
    Display()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            std::exit((std::fputs("bench_startup: no display\n", stderr), 1));
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        // Qt answers a ping on the root window with the structure-notify mask.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        m_pid = atom("_NET_WM_PID");
        m_name = atom("_NET_WM_NAME");
        m_protocols = atom("WM_PROTOCOLS");
        m_ping = atom("_NET_WM_PING");
        xcb_flush(m_connection);
    }
    ~Display() { xcb_disconnect(m_connection); }

    // Starts the program and follows it until ready() accepts its caption (or 20 s pass).
    Timing run(const std::vector<std::string>& command, const std::function<bool(const std::string&)>& ready,
               const std::vector<std::string>& extraEnvironment = {})
    {
        Timing timing = start(command, ready, extraEnvironment);
        timing.peakRssKb = stop();
        return timing;
    }

    // Starts the program on a small file, and once it is ready opens path through Ctrl+O and the
    // open dialog; from the Enter that closes the dialog the window is pinged without a pause
    // until shown() accepts its caption and one more ping is answered.
    OpenTiming openInRunningWindow(const std::vector<std::string>& command,
                                   const std::function<bool(const std::string&)>& ready, const QString& path,
                                   const std::function<bool(const std::string&)>& shown)
    {
        OpenTiming timing;
        if (start(command, ready).readyMs < 0) {
            stop();
            return timing;
        }
        xdotool("windowactivate --sync " + std::to_string(m_window) + " key --clearmodifiers ctrl+o");
        const xcb_window_t dialog = waitForDialog();
        if (!dialog) {
            stop();
            return timing;
        }
        xdotool("windowactivate --sync " + std::to_string(dialog) + " key --clearmodifiers ctrl+a type --delay 1 '"
                + path.toStdString() + "'");
        const Clock::time_point enter = Clock::now();
        xdotool("key --clearmodifiers Return");
        bool titleShown = false;
        Clock::time_point pinged = Clock::now();
        ping();
        while (timing.shownMs < 0 && msSince(enter) < 30'000) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (!event) {
                usleep(100);
                continue;
            }
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_PROPERTY_NOTIFY) {
                const auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (property->window == m_window && property->atom == m_name && shown(title(m_window)))
                    titleShown = true;
            } else if (isPingAnswer(event)) {
                timing.longestStallMs = std::max(timing.longestStallMs, msSince(pinged));
                if (titleShown)
                    timing.shownMs = msSince(enter);
                pinged = Clock::now();
                ping();
            }
            std::free(event);
        }
        timing.peakRssKb = stop();
        return timing;
    }

private:
    // Starts the program and follows it until its window is mapped and answers, and ready()
    // accepts its caption; the program keeps running.
    Timing start(const std::vector<std::string>& command, const std::function<bool(const std::string&)>& ready,
                 const std::vector<std::string>& extraEnvironment = {})
    {
        Timing timing;
        std::vector<std::string> environment(extraEnvironment);
        for (char** variable = environ; *variable; ++variable)
            environment.emplace_back(*variable);
        std::vector<char*> envp, argv;
        for (std::string& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::vector<std::string> arguments(command);
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        const Clock::time_point start = Clock::now();
        m_created.clear();
        m_window = 0;
        m_pingSent = 0;
        if (posix_spawn(&m_child, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            std::exit((std::fprintf(stderr, "bench_startup: cannot start %s\n", argv[0]), 1));

        bool titleReady = false;
        while (timing.readyMs < 0 && msSince(start) < 20'000) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (!event) {
                usleep(200);
                continue;
            }
            if (const xcb_window_t mapped = programWindowMapped(event); mapped && !m_window) {
                m_window = mapped;
                ping();
            } else if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* property = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (m_window && property->window == m_window && property->atom == m_name && !titleReady
                    && ready(title(m_window))) {
                    titleReady = true;
                    if (!m_pingSent)
                        ping();
                }
            } else if (isPingAnswer(event)) {
                if (timing.windowMs < 0) {
                    timing.windowMs = msSince(start);
                    titleReady = titleReady || ready(title(m_window));
                }
                if (titleReady)
                    timing.readyMs = msSince(start);
            }
            std::free(event);
        }
        return timing;
    }

    // Ends the program; returns its peak RSS in kB.
    long stop()
    {
        kill(m_child, SIGKILL);
        int status = 0;
        rusage usage{};
        wait4(m_child, &status, 0, &usage);
        return usage.ru_maxrss;
    }

    // Notes windows as they are created; returns a window of the program's that was just mapped
    // with a caption, 0 for any other event.
    xcb_window_t programWindowMapped(const xcb_generic_event_t* event)
    {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(m_connection, created->window, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(m_connection);
            m_created.push_back(created->window);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (std::ranges::find(m_created, map->window) != m_created.end() && pidOf(map->window) == uint32_t(m_child)
                && !title(map->window).empty())
                return map->window;
        }
        return 0;
    }

    xcb_window_t waitForDialog()
    {
        const Clock::time_point start = Clock::now();
        while (msSince(start) < 10'000) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (!event) {
                usleep(200);
                continue;
            }
            const xcb_window_t mapped = programWindowMapped(event);
            std::free(event);
            if (mapped && mapped != m_window) {
                usleep(300'000); // the dialog fills its folder view
                return mapped;
            }
        }
        return 0;
    }

    void ping()
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = m_window;
        event.type = m_protocols;
        event.data.data32[0] = m_ping;
        event.data.data32[1] = m_pingSent = m_nextPing++;
        event.data.data32[2] = m_window;
        xcb_send_event(m_connection, false, m_window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
    }

    // The answer to the ping in flight.
    bool isPingAnswer(const xcb_generic_event_t* event)
    {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return false;
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (message->type != m_protocols || message->data.data32[0] != m_ping || !m_pingSent
            || message->data.data32[1] != m_pingSent)
            return false;
        m_pingSent = 0;
        return true;
    }

    static void xdotool(const std::string& arguments)
    {
        if (std::system(("xdotool " + arguments).c_str()) != 0)
            std::fprintf(stderr, "bench_startup: xdotool %s failed\n", arguments.c_str());
    }

    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, 1024), nullptr);
        std::string value;
        if (reply)
            value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
        return value;
    }

    uint32_t pidOf(xcb_window_t window)
    {
        const std::string value = property(window, m_pid, XCB_ATOM_CARDINAL);
        uint32_t pid = 0;
        if (value.size() >= sizeof pid)
            std::memcpy(&pid, value.data(), sizeof pid);
        return pid;
    }

    std::string title(xcb_window_t window) { return property(window, m_name, XCB_GET_PROPERTY_TYPE_ANY); }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pid = 0, m_name = 0, m_protocols = 0, m_ping = 0;
    pid_t m_child = 0;
    xcb_window_t m_window = 0;
    std::vector<xcb_window_t> m_created;
    uint32_t m_pingSent = 0; // the timestamp of the ping in flight, 0 when none
    uint32_t m_nextPing = 1;
};

QString englishText(qsizetype size)
{
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog, and again the fox jumps.\n");
    return line.repeated(size / line.size() + 1).left(size);
}

QString japaneseText(qsizetype bytes)
{
    const QString line = QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗い所で泣いていた事だけは記憶している。\n");
    return line.repeated(bytes / (line.size() * 2) + 1);
}

// Bytes of a fixed pseudo-random sequence: a binary file, many of whose bytes CP932 cannot decode.
QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 23);
    }
    return bytes;
}

QString write(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::exit((std::fprintf(stderr, "bench_startup: cannot write %s\n", qPrintable(path)), 1));
    return path;
}

// The caption names a line past the first once the caret is at the end line of a longer text.
bool velmorAtEndLine(const std::string& title)
{
    const size_t at = title.find("Line: ");
    return at != std::string::npos && std::atoi(title.c_str() + at + 6) > 1;
}

Timing median(std::vector<Timing> runs)
{
    const auto middle = [&](auto member) {
        std::ranges::sort(runs, {}, member);
        return runs[runs.size() / 2].*member;
    };
    return {middle(&Timing::windowMs), middle(&Timing::readyMs), middle(&Timing::peakRssKb)};
}

void report(const char* program, const char* label, const Timing& timing)
{
    std::printf("%-10s %-34s window %7.0f ms   text shown %7.0f ms   peak RSS %4ld MB\n", program, label,
                timing.windowMs, timing.readyMs, timing.peakRssKb / 1024);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    // Another build of the program (an older one, to compare) may be named after the rounds.
    const QString built = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                   : QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteDir().filePath(QStringLiteral("../velmor"));
    QTemporaryDir folder;
    // A copy of the program keeps its settings beside it: not the first start, caret at the end line.
    const QString velmor = folder.filePath(QStringLiteral("velmor"));
    if (!QFile::copy(built, velmor))
        std::exit((std::fprintf(stderr, "bench_startup: no program at %s\n", qPrintable(built)), 1));
    write(folder, QStringLiteral("velmor.ini"), "[Form1\\ffirst]\r\nBoolean=0\r\n[Form1\\HotKeyCheckBox]\r\nChecked=0\r\n");

    const qsizetype twentyMb = 20'000'000;
    const QByteArray english = velmor::encodeText(englishText(twentyMb), {velmor::TextEncoding::Utf8, velmor::LineBreak::Lf});
    const QByteArray shiftJis = velmor::encodeText(japaneseText(twentyMb), {velmor::TextEncoding::Cp932, velmor::LineBreak::CrLf});
    const QByteArray paragraph = velmor::encodeText(QString(englishText(1'000'000)).replace(u'\n', u' '),
                                                    {velmor::TextEncoding::Utf8, velmor::LineBreak::Lf});
    struct Case {
        const char* label;
        QString path;
    };
    const std::vector<Case> cases = {
        {"no file", {}},
        {"20 MB English UTF-8", write(folder, QStringLiteral("english.txt"), english)},
        {"20 MB Shift-JIS", write(folder, QStringLiteral("shiftjis.txt"), shiftJis)},
        {"1 MB one paragraph", write(folder, QStringLiteral("paragraph.txt"), paragraph)},
        {"5 MB without a break opportunity", write(folder, QStringLiteral("x.txt"), QByteArray(5'000'000, 'x'))},
        {"1 MB of NUL bytes", write(folder, QStringLiteral("nul.txt"), QByteArray(1'000'000, '\0'))},
        {"random bytes, 20 MB (binary)", write(folder, QStringLiteral("random.txt"), randomBytes(twentyMb))},
    };

    const QString featherPad = QStandardPaths::findExecutable(QStringLiteral("featherpad"));
    QTemporaryDir featherHome;
    std::printf("medians of %d runs from process start; targets: window < 150 ms, 20 MB shown < 800 ms and "
                "2x faster than FeatherPad, peak RSS < 250 MB\n",
                rounds);
    Display display;
    // A third argument picks the cases whose label holds it.
    const QString only = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    for (const Case& c : cases) {
        if (!QString::fromLatin1(c.label).contains(only))
            continue;
        std::vector<Timing> runs;
        for (int i = 0; i < rounds; ++i) {
            std::vector<std::string> command{velmor.toStdString()};
            if (!c.path.isEmpty())
                command.push_back(c.path.toStdString());
            runs.push_back(display.run(command, [&](const std::string& title) {
                return c.path.isEmpty() ? title.find("Line: ") != std::string::npos : velmorAtEndLine(title);
            }));
        }
        report("Velmor", c.label, median(runs));
        if (featherPad.isEmpty() || c.path.isEmpty() || c.label[0] != '2')
            continue;
        runs.clear();
        const std::string name = QFileInfo(c.path).fileName().toStdString();
        for (int i = 0; i < rounds; ++i)
            runs.push_back(display.run({featherPad.toStdString(), c.path.toStdString()},
                                       [&](const std::string& title) { return title.find(name) != std::string::npos; },
                                       {"XDG_CONFIG_HOME=" + featherHome.path().toStdString()}));
        report("FeatherPad", c.label, median(runs));
    }
    if (featherPad.isEmpty())
        std::printf("FeatherPad is not installed: no comparison\n");

    // A window that is already up opens the 20 MB file through Ctrl+O: it must go on answering.
    const char* const openLabel = "Ctrl+O of 20 MB English in an open window";
    if (!QString::fromLatin1(openLabel).contains(only))
        return 0;
    const QString small = write(folder, QStringLiteral("small.txt"), "one\ntwo\nthree\n");
    std::vector<OpenTiming> opens;
    for (int i = 0; i < rounds; ++i)
        opens.push_back(display.openInRunningWindow(
            {velmor.toStdString(), small.toStdString()}, velmorAtEndLine, cases[1].path,
            [](const std::string& title) { return title.find("Line: 1 ") != std::string::npos; }));
    const auto middle = [&](auto member) {
        std::ranges::sort(opens, {}, member);
        return opens[opens.size() / 2].*member;
    };
    std::printf("Velmor     %s: text shown %7.0f ms   longest stall %5.0f ms (target < 300 ms, median)\n",
                openLabel, middle(&OpenTiming::shownMs), middle(&OpenTiming::longestStallMs));
    return 0;
}
