#include "input/X11GlobalShortcuts.h"

#include "input/HotKeyCodes.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace velmor {

namespace {

constexpr std::uint32_t kKeysymNumLock = 0xFF7F;
constexpr std::uint16_t kModifierMasks[] = {XCB_MOD_MASK_SHIFT, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_CONTROL,
                                            XCB_MOD_MASK_1,     XCB_MOD_MASK_2,    XCB_MOD_MASK_3,
                                            XCB_MOD_MASK_4,     XCB_MOD_MASK_5};
// The modifiers a hot key may be made of; the lock keys and mouse buttons are ignored.
constexpr std::uint16_t kHotKeyModifierMask = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
constexpr std::uint8_t kBadAccess = 10;
// _NET_ACTIVE_WINDOW's source indication for a request that comes from a direct user action.
constexpr std::uint32_t kSourceUserAction = 2;

template <typename Reply>
struct FreeReply {
    void operator()(Reply* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;

KeyboardMapping keyboardMapping(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    KeyboardMapping mapping;
    mapping.minKeycode = setup->min_keycode;
    const ReplyPtr<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1),
        nullptr));
    if (!reply)
        return mapping;
    mapping.keysymsPerKeycode = reply->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    mapping.keysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
    return mapping;
}

} // namespace

std::unique_ptr<X11GlobalShortcuts> X11GlobalShortcuts::create()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::unique_ptr<X11GlobalShortcuts>(new X11GlobalShortcuts(x11->connection()));
}

X11GlobalShortcuts::X11GlobalShortcuts(xcb_connection_t* connection)
    : m_connection(connection)
{
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection)); screens.rem; xcb_screen_next(&screens))
        m_roots.push_back(screens.data->root);
    qGuiApp->installNativeEventFilter(this);
}

// The grabs belong to this object, as registrations belong to the window they were made for.
X11GlobalShortcuts::~X11GlobalShortcuts()
{
    qGuiApp->removeNativeEventFilter(this);
    for (const Grab& grab : m_grabs)
        ungrab(grab);
    xcb_flush(m_connection);
}

std::uint16_t X11GlobalShortcuts::numLockMask() const
{
    const auto numLock = keycodeOf(kKeysymNumLock, keyboardMapping(m_connection));
    const ReplyPtr<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!numLock || !reply)
        return XCB_MOD_MASK_2;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (keycodes[modifier * perModifier + i] == *numLock)
                return kModifierMasks[modifier];
        }
    }
    return XCB_MOD_MASK_2;
}

void X11GlobalShortcuts::ungrab(const Grab& grab)
{
    for (std::uint32_t root : m_roots) {
        for (std::uint16_t lock : lockVariants(numLockMask()))
            xcb_ungrab_key(m_connection, grab.keycode, root, std::uint16_t(grab.modifiers | lock));
    }
}

ShortcutOutcome X11GlobalShortcuts::grab(int identifier, int keyCode, unsigned modifiers)
{
    release(identifier);
    const auto keycode = keycodeOf(keysymOfVirtualKey(keyCode), keyboardMapping(m_connection));
    if (!keycode)
        return ShortcutOutcome::Unavailable;
    const Grab grab{identifier, *keycode, x11ModifierMask(modifiers)};

    std::vector<xcb_void_cookie_t> requests;
    for (std::uint32_t root : m_roots) {
        for (std::uint16_t lock : lockVariants(numLockMask()))
            requests.push_back(xcb_grab_key_checked(m_connection, 1, root, std::uint16_t(grab.modifiers | lock),
                                                    grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    ShortcutOutcome outcome = ShortcutOutcome::Registered;
    for (const xcb_void_cookie_t& request : requests) {
        const ReplyPtr<xcb_generic_error_t> error(xcb_request_check(m_connection, request));
        if (error && outcome == ShortcutOutcome::Registered)
            outcome = error->error_code == kBadAccess ? ShortcutOutcome::HeldByOther : ShortcutOutcome::Unavailable;
    }
    // Half a grab would catch the key only with some lock keys on: all or nothing.
    if (outcome != ShortcutOutcome::Registered) {
        ungrab(grab);
        xcb_flush(m_connection);
        return outcome;
    }
    m_grabs.push_back(grab);
    return outcome;
}

bool X11GlobalShortcuts::release(int identifier)
{
    const auto found = std::find_if(m_grabs.begin(), m_grabs.end(),
                                    [identifier](const Grab& grab) { return grab.identifier == identifier; });
    if (found == m_grabs.end())
        return false;
    ungrab(*found);
    xcb_flush(m_connection);
    m_grabs.erase(found);
    return true;
}

bool X11GlobalShortcuts::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS)
        return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (std::find(m_roots.begin(), m_roots.end(), press->event) == m_roots.end())
        return false;
    for (const Grab& grab : m_grabs) {
        if (press->detail == grab.keycode && (press->state & kHotKeyModifierMask) == grab.modifiers) {
            m_pressTime = press->time;
            // Handled after the event filter returns, like any other posted message.
            QMetaObject::invokeMethod(
                this, [this, identifier = grab.identifier] { emit pressed(identifier); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}

std::uint32_t X11GlobalShortcuts::atom(const char* name) const
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE);
}

bool X11GlobalShortcuts::supportsActiveWindowRequest() const
{
    const std::uint32_t supported = atom("_NET_SUPPORTED");
    const std::uint32_t activeWindow = atom("_NET_ACTIVE_WINDOW");
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_roots.front(), supported, XCB_ATOM_ATOM, 0, 4096),
        nullptr));
    if (!reply || reply->format != 32)
        return false;
    const auto* atoms = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, activeWindow) != atoms + count;
}

void X11GlobalShortcuts::bringToFront(QWidget* window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    if (!supportsActiveWindowRequest()) {
        window->activateWindow();
        return;
    }
    // Asked as the user's own action with the key's time stamp, so that a window manager that
    // guards against focus stealing lets the window come forward.
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = std::uint32_t(window->winId());
    request.type = atom("_NET_ACTIVE_WINDOW");
    request.data.data32[0] = kSourceUserAction;
    request.data.data32[1] = m_pressTime;
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, request.window), nullptr));
    xcb_send_event(m_connection, 0, geometry ? geometry->root : m_roots.front(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(m_connection);
}

} // namespace velmor
