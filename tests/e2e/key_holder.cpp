// Another program that holds Ctrl+Alt+R: grabs it on the root window and prints "held", then
// "pressed" for every press, until it is ended.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <xcb/xcb.h>

int main()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("no X display\n", stderr);
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;

    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
    xcb_keycode_t keycode = 0;
    for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(mapping) && !keycode; ++i) {
        if (keysyms[i] == 'r')
            keycode = xcb_keycode_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
    }
    std::free(mapping);

    const uint16_t modifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    for (int lock : {0, int(XCB_MOD_MASK_LOCK), int(XCB_MOD_MASK_2), XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2}) {
        if (xcb_generic_error_t* error = xcb_request_check(
                connection, xcb_grab_key_checked(connection, 1, root, uint16_t(modifiers | lock), keycode,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))) {
            std::fprintf(stderr, "grab refused: error %d\n", error->error_code);
            return 1;
        }
    }
    std::puts("held");
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        if ((event->response_type & 0x7F) == XCB_KEY_PRESS) {
            std::puts("pressed");
            std::fflush(stdout);
        }
        std::free(event);
    }
    return 0;
}
