#pragma once

#include "input/ClipboardReader.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

struct xcb_connection_t;

namespace velmor {

// Takes another program's clipboard text over a connection to the X server of its own, in a
// thread of its own: the window stays responsive while megabytes come in, and the beginning
// of a long text is delivered as soon as it has come. Text that this program put on the
// clipboard itself is taken from Qt, which holds it; a long one is split in the thread too.
class X11ClipboardReader final : public ClipboardReader {
    Q_OBJECT
public:
    // Nothing when the X server cannot be reached. Text beyond longest characters is not taken.
    static std::unique_ptr<X11ClipboardReader> create(qsizetype longest = kLongestClipboardText);
    ~X11ClipboardReader() override;

    void read(Delivery deliver) override;

private:
    struct Atoms;
    enum class Step { Done, Refused, Cancelled, Failed };

    X11ClipboardReader(xcb_connection_t* connection, std::uint32_t root, qsizetype longest);

    void serve(std::stop_token stop);
    void fetch(std::uint64_t generation, const std::stop_token& stop);
    Step convert(std::uint32_t target, std::uint64_t generation, const std::stop_token& stop,
                 const std::function<bool(const QByteArray&, bool more)>& receive);
    void post(std::uint64_t generation, ClipboardReading reading);

    xcb_connection_t* m_connection;
    std::uint32_t m_root;
    const qsizetype m_longest;
    std::uint32_t m_window = 0;
    std::unique_ptr<Atoms> m_atoms;

    // UI thread only.
    Delivery m_deliver;

    // The newest read; the worker abandons any older one.
    std::atomic<std::uint64_t> m_latest{0};
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::uint64_t m_requested = 0; // guarded by m_mutex
    QString m_ownText;             // guarded by m_mutex; the program's own long copy to be split
    std::jthread m_worker;
};

} // namespace velmor
