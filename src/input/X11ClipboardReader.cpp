#include "input/X11ClipboardReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringDecoder>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <xcb/xcb.h>

namespace velmor {

namespace {

using Clock = std::chrono::steady_clock;

// An owner that does not answer within this time is taken to have failed.
constexpr auto kOwnerTimeout = std::chrono::seconds(3);
// The first piece is small so that the beginning of a long text is heard soon; later pieces
// are larger to keep the round trips few. In 32-bit units.
constexpr std::uint32_t kFirstPiece = 64 * 1024;
constexpr std::uint32_t kLaterPiece = 4 * 1024 * 1024;

std::uint32_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
}

// Waits for an event that `wanted` accepts; other events are dropped. Null when the wait was
// abandoned (then `cancelled` is set) or timed out, or the connection broke.
using EventPointer = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

EventPointer waitForEvent(xcb_connection_t* connection, const std::function<bool(const xcb_generic_event_t*)>& wanted,
                          const std::function<bool()>& abandoned, bool& cancelled)
{
    const auto deadline = Clock::now() + kOwnerTimeout;
    cancelled = false;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if (wanted(event))
                return EventPointer(event, &std::free);
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            return EventPointer(nullptr, &std::free);
        if (abandoned()) {
            cancelled = true;
            return EventPointer(nullptr, &std::free);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return EventPointer(nullptr, &std::free);
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, int(std::min<long long>(left, 50)));
    }
}

} // namespace

struct X11ClipboardReader::Atoms {
    std::uint32_t clipboard;
    std::uint32_t targets;
    std::uint32_t incr;
    std::uint32_t utf8String;
    std::uint32_t utf8Plain;
    std::uint32_t plain;
    std::uint32_t property;
};

std::unique_ptr<X11ClipboardReader> X11ClipboardReader::create(qsizetype longest)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return std::unique_ptr<X11ClipboardReader>(new X11ClipboardReader(connection, screen->root, longest));
}

X11ClipboardReader::X11ClipboardReader(xcb_connection_t* connection, std::uint32_t root, qsizetype longest)
    : m_connection(connection), m_root(root), m_longest(longest)
{
    m_atoms = std::make_unique<Atoms>(Atoms{
        internAtom(connection, "CLIPBOARD"), internAtom(connection, "TARGETS"), internAtom(connection, "INCR"),
        internAtom(connection, "UTF8_STRING"), internAtom(connection, "text/plain;charset=utf-8"),
        internAtom(connection, "text/plain"), internAtom(connection, "VELMOR_CLIPBOARD")});
    m_window = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);
    m_worker = std::jthread([this](std::stop_token stop) { serve(std::move(stop)); });
}

X11ClipboardReader::~X11ClipboardReader()
{
    m_worker.request_stop();
    m_wake.notify_all();
    m_worker.join();
    xcb_destroy_window(m_connection, m_window);
    xcb_disconnect(m_connection);
}

void X11ClipboardReader::read(Delivery deliver)
{
    const std::uint64_t generation = ++m_latest;
    m_deliver = std::move(deliver);
    QString ownText;
    if (QGuiApplication::clipboard()->ownsClipboard()) {
        // Qt holds the program's own copy: no need to ask the X server for it.
        const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        if (!data || !data->hasText()) {
            m_deliver({ClipboardReading::Outcome::NoText, {}, {}});
            return;
        }
        ownText = data->text();
        if (ownText.size() <= kSpokenBeginning) {
            m_deliver({ClipboardReading::Outcome::Whole, ownText, {}, false});
            return;
        }
        m_deliver({ClipboardReading::Outcome::Beginning, speakableBeginning(ownText.left(kSpokenBeginning)), {}});
    }
    {
        std::lock_guard lock(m_mutex);
        m_requested = generation;
        m_ownText = ownText;
    }
    m_wake.notify_all();
}

void X11ClipboardReader::post(std::uint64_t generation, ClipboardReading reading)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, reading = std::move(reading)] {
            if (generation == m_latest && m_deliver)
                m_deliver(reading);
        },
        Qt::QueuedConnection);
}

void X11ClipboardReader::serve(std::stop_token stop)
{
    std::uint64_t served = 0;
    while (!stop.stop_requested()) {
        std::uint64_t generation = 0;
        QString ownText;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [&] { return m_requested != served; }))
                return;
            generation = served = m_requested;
            ownText = std::exchange(m_ownText, {});
        }
        if (ownText.isEmpty()) {
            fetch(generation, stop);
        } else {
            // The program's own long copy: its beginning was delivered at once, the rest is cut off here.
            const qsizetype beginning = speakableBeginning(ownText.left(kSpokenBeginning)).size();
            const bool cut = cutClipboardText(ownText, m_longest);
            post(generation, {ClipboardReading::Outcome::Whole, ownText, ownText.mid(beginning), cut});
        }
    }
}

// Asks the owner for the clipboard in `target` and hands each piece of the answer to
// `receive` as it comes, large answers piece by piece (INCR transfers included), saying
// whether more may follow; when `receive` returns false, nothing more is read.
X11ClipboardReader::Step X11ClipboardReader::convert(
    std::uint32_t target, std::uint64_t generation, const std::stop_token& stop,
    const std::function<bool(const QByteArray&, bool more)>& receive)
{
    const Atoms& a = *m_atoms;
    xcb_delete_property(m_connection, m_window, a.property);
    xcb_convert_selection(m_connection, m_window, a.clipboard, target, a.property, XCB_CURRENT_TIME);
    xcb_flush(m_connection);

    const auto abandoned = [&] { return stop.stop_requested() || m_latest != generation; };
    bool cancelled = false;
    const EventPointer notify = waitForEvent(
        m_connection,
        [this](const xcb_generic_event_t* event) {
            return (event->response_type & 0x7F) == XCB_SELECTION_NOTIFY
                && reinterpret_cast<const xcb_selection_notify_event_t*>(event)->requestor == m_window;
        },
        abandoned, cancelled);
    if (!notify)
        return cancelled ? Step::Cancelled : Step::Failed;
    if (reinterpret_cast<xcb_selection_notify_event_t*>(notify.get())->property == XCB_ATOM_NONE)
        return Step::Refused;

    // Reads the property piece by piece; the server deletes it with the last piece, which
    // for an INCR transfer asks the owner for the next chunk.
    bool incremental = false;
    bool enough = false;
    auto readProperty = [&](std::uint32_t& type, bool& empty) {
        std::uint32_t offset = 0;
        empty = true;
        for (;;) {
            const std::uint32_t piece = offset == 0 ? kFirstPiece : kLaterPiece;
            const auto cookie = xcb_get_property(m_connection, 1, m_window, a.property, XCB_GET_PROPERTY_TYPE_ANY,
                                                 offset, piece);
            std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
                xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
            if (!reply)
                return false;
            type = reply->type;
            const int length = xcb_get_property_value_length(reply.get());
            if (type == a.incr)
                return true;
            if (length > 0)
                empty = false;
            enough = !receive(
                QByteArray::fromRawData(static_cast<const char*>(xcb_get_property_value(reply.get())), length),
                incremental || reply->bytes_after > 0);
            if (enough || reply->bytes_after == 0)
                return true;
            offset += std::uint32_t(length) / 4;
        }
    };

    std::uint32_t type = 0;
    bool empty = true;
    if (!readProperty(type, empty))
        return Step::Failed;
    if (type != a.incr || enough)
        return Step::Done;
    incremental = true;
    for (;;) {
        const EventPointer event = waitForEvent(
            m_connection,
            [this, &a](const xcb_generic_event_t* e) {
                if ((e->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(e);
                return change->window == m_window && change->atom == a.property
                    && change->state == XCB_PROPERTY_NEW_VALUE;
            },
            abandoned, cancelled);
        if (!event)
            return cancelled ? Step::Cancelled : Step::Failed;
        if (!readProperty(type, empty))
            return Step::Failed;
        if (empty || enough)
            return Step::Done;
    }
}

void X11ClipboardReader::fetch(std::uint64_t generation, const std::stop_token& stop)
{
    const Atoms& a = *m_atoms;
    QList<std::uint32_t> offered;
    // A list of formats longer than any real one is not read on.
    constexpr qsizetype kMostTargets = 4096;
    const Step asked = convert(a.targets, generation, stop, [&offered](const QByteArray& bytes, bool) {
        const auto* atoms = reinterpret_cast<const std::uint32_t*>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size() / 4; ++i)
            offered << atoms[i];
        return offered.size() < kMostTargets;
    });
    if (asked == Step::Cancelled)
        return;
    if (asked == Step::Failed) {
        post(generation, {ClipboardReading::Outcome::Failed, {}, {}});
        return;
    }
    // An owner that does not list its formats may still give text when asked for it.
    std::uint32_t target = XCB_ATOM_NONE;
    bool latin1 = false;
    if (asked == Step::Refused) {
        target = a.utf8String;
    } else {
        for (std::uint32_t candidate : {a.utf8String, a.utf8Plain, a.plain, std::uint32_t(XCB_ATOM_STRING)}) {
            if (offered.contains(candidate)) {
                target = candidate;
                latin1 = candidate == std::uint32_t(XCB_ATOM_STRING);
                break;
            }
        }
    }
    if (target == XCB_ATOM_NONE) {
        post(generation, {ClipboardReading::Outcome::NoText, {}, {}});
        return;
    }

    QStringDecoder decoder(latin1 ? QStringDecoder::Latin1 : QStringDecoder::Utf8);
    QString text;
    qsizetype beginningLength = 0;
    bool cut = false;
    const Step got = convert(target, generation, stop, [&](const QByteArray& bytes, bool more) {
        text += decoder.decode(bytes);
        if (cutClipboardText(text, m_longest)) {
            cut = true;
            return false;
        }
        if (more && beginningLength == 0 && text.size() > kSpokenBeginning) {
            // More is coming: the beginning can be heard meanwhile.
            const QString beginning = speakableBeginning(text.left(kSpokenBeginning));
            beginningLength = beginning.size();
            post(generation, {ClipboardReading::Outcome::Beginning, beginning, {}});
        }
        return true;
    });
    switch (got) {
    case Step::Done:
        // The rest is cut off here, not on the UI thread: copying megabytes takes a while.
        text.squeeze();
        post(generation,
             {ClipboardReading::Outcome::Whole, text, beginningLength ? text.mid(beginningLength) : QString(), cut});
        break;
    case Step::Refused:
        post(generation, {ClipboardReading::Outcome::NoText, {}, {}});
        break;
    case Step::Failed:
        post(generation, {ClipboardReading::Outcome::Failed, {}, {}});
        break;
    case Step::Cancelled:
        break;
    }
}

} // namespace velmor
