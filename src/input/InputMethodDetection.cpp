// Finding the input-method framework that runs, and the keyboard layout when none does.
#include "input/Fcitx5InputMethod.h"
#include "input/IBusInputMethod.h"
#include "input/InputMethod.h"

#include <QGuiApplication>
#include <QStringList>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace velmor {

namespace {

// The language of the first layout of the X keyboard ("jp" -> "ja", "kr" -> "ko"), read from
// the root window's _XKB_RULES_NAMES (rules, model, layouts, variants, options).
QString xkbLanguage()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    QString language;
    if (!xcb_connection_has_error(connection)) {
        const char* name = "_XKB_RULES_NAMES";
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, std::uint16_t(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        if (atom && atom->atom != XCB_ATOM_NONE) {
            std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> names(
                xcb_get_property_reply(connection,
                                       xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_STRING, 0, 1024),
                                       nullptr),
                &std::free);
            if (names) {
                const QList<QByteArray> fields =
                    QByteArray(static_cast<const char*>(xcb_get_property_value(names.get())),
                               xcb_get_property_value_length(names.get()))
                        .split('\0');
                const QByteArray layout = fields.value(2).split(',').value(0);
                language = layout == "jp" ? QStringLiteral("ja")
                    : layout == "kr"      ? QStringLiteral("ko")
                                          : QString::fromLatin1(layout);
            }
        }
    }
    xcb_disconnect(connection);
    return language;
}

} // namespace

std::unique_ptr<InputMethodFramework> detectInputMethodFramework()
{
    // The framework Qt talks to comes first.
    const QByteArray module = qgetenv("QT_IM_MODULE");
    const bool fcitxFirst = module.startsWith("fcitx");
    for (int turn = 0; turn < 2; ++turn) {
        if ((turn == 0) == fcitxFirst) {
            if (auto fcitx = Fcitx5InputMethod::connectToSession())
                return fcitx;
        } else if (auto ibus = IBusInputMethod::connectToDaemon()) {
            return ibus;
        }
    }
    return std::make_unique<NoInputMethod>(xkbLanguage());
}

} // namespace velmor
