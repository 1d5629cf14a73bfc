#include "platform/X11Keys.h"

#include <cstdlib>
#include <memory>

namespace {

struct CFree
{
    void operator()(void *p) const { std::free(p); }
};

}  // namespace

xcb_keysym_t X11Keys::keysymOf(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t('a' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return xcb_keysym_t('0' + (key - Qt::Key_0));
    return 0;
}

xcb_keycode_t X11Keys::keycodeOf(xcb_connection_t *connection, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_keycode_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, CFree> reply(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, first, uint8_t(count)), nullptr));
    if (!reply || reply->keysyms_per_keycode == 0)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int per = reply->keysyms_per_keycode;
    const int total = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    for (int i = 0; i < total; ++i) {
        if (syms[i] == keysym)
            return xcb_keycode_t(first + i / per);
    }
    return 0;
}

uint16_t X11Keys::maskOf(Qt::KeyboardModifiers modifiers)
{
    uint16_t mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

uint16_t X11Keys::numLockMask(xcb_connection_t *connection)
{
    const xcb_keycode_t numLock = keycodeOf(connection, kNumLock);
    if (numLock == 0)
        return 0;
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, CFree> reply(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!reply)
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int per = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int k = 0; k < per; ++k) {
            if (codes[modifier * per + k] == numLock)
                return uint16_t(1u << modifier);
        }
    }
    return 0;
}
