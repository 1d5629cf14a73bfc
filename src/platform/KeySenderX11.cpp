#include "platform/KeySender.h"

#include "platform/PlatformBackends.h"
#include "platform/X11Keys.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <vector>

namespace {

// XTest: the server takes the keys as if typed, for the window with the focus.
class CX11KeySender : public IKeySender
{
public:
    bool isAvailable() const override
    {
        xcb_connection_t *c = connection();
        if (!c)
            return false;
        const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_test_id);
        return ext && ext->present;
    }

    bool send(QKeyCombination keys) override
    {
        if (!isAvailable())
            return false;
        xcb_connection_t *c = connection();
        std::vector<xcb_keycode_t> modifiers;
        const Qt::KeyboardModifiers mods = keys.keyboardModifiers();
        const std::pair<Qt::KeyboardModifier, xcb_keysym_t> table[] = {
            {Qt::ControlModifier, X11Keys::kControlL}, {Qt::ShiftModifier, X11Keys::kShiftL},
            {Qt::AltModifier, X11Keys::kAltL}, {Qt::MetaModifier, X11Keys::kSuperL}};
        for (const auto &[modifier, keysym] : table) {
            if (mods & modifier) {
                const xcb_keycode_t code = X11Keys::keycodeOf(c, keysym);
                if (code == 0)
                    return false;
                modifiers.push_back(code);
            }
        }
        const xcb_keysym_t keysym = X11Keys::keysymOf(keys.key());
        const xcb_keycode_t code = keysym ? X11Keys::keycodeOf(c, keysym) : 0;
        if (code == 0)
            return false;
        for (xcb_keycode_t m : modifiers)
            xcb_test_fake_input(c, XCB_KEY_PRESS, m, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            xcb_test_fake_input(c, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        return xcb_flush(c) > 0;
    }

private:
    static xcb_connection_t *connection()
    {
        auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->connection() : nullptr;
    }
};

}  // namespace

std::unique_ptr<IKeySender> PlatformBackends::createX11KeySender()
{
    return std::make_unique<CX11KeySender>();
}
