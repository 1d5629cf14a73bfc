#include "platform/HotKey.h"

#include "platform/PlatformBackends.h"
#include "platform/X11Keys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A passive key grab on every root window. The server then sends the key to
// this program whichever window has the focus; Qt's native event filter sees
// it before Qt does, and the grab's events are taken out there.
class CX11HotKey : public IGlobalHotKey, public QAbstractNativeEventFilter
{
public:
    using IGlobalHotKey::IGlobalHotKey;
    ~CX11HotKey() override { release(); }

    bool isAvailable() const override { return connection() != nullptr; }

    bool grab(QKeyCombination key) override
    {
        release();
        xcb_connection_t *c = connection();
        if (!c) {
            setErrorString(QStringLiteral("there is no X11 connection"));
            return false;
        }
        const xcb_keysym_t keysym = X11Keys::keysymOf(key.key());
        m_keycode = keysym ? X11Keys::keycodeOf(c, keysym) : 0;
        if (m_keycode == 0) {
            setErrorString(QStringLiteral("the keyboard has no such key"));
            return false;
        }
        m_mask = X11Keys::maskOf(key.keyboardModifiers());
        // The lock keys are modifiers too: without these variants the key
        // would do nothing while Caps Lock or Num Lock is on.
        const uint16_t numLock = X11Keys::numLockMask(c);
        m_variants = {0, XCB_MOD_MASK_LOCK};
        if (numLock) {
            m_variants.push_back(numLock);
            m_variants.push_back(uint16_t(numLock | XCB_MOD_MASK_LOCK));
        }
        m_ignored = uint16_t(XCB_MOD_MASK_LOCK | numLock);

        m_roots.clear();
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it))
            m_roots.push_back(it.data->root);
        bool taken = false;
        for (xcb_window_t root : m_roots) {
            for (uint16_t variant : m_variants) {
                const xcb_void_cookie_t cookie = xcb_grab_key_checked(
                    c, 1, root, uint16_t(m_mask | variant), m_keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
                if (xcb_generic_error_t *error = xcb_request_check(c, cookie)) {
                    taken = true;
                    std::free(error);
                }
            }
        }
        m_grabbed = true;  // so that release() undoes whatever part did succeed
        if (taken) {
            release();
            setErrorString(QStringLiteral("another program has taken the key"));
            return false;
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
        return true;
    }

    void release() override
    {
        if (!m_grabbed)
            return;
        m_grabbed = false;
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        if (xcb_connection_t *c = connection()) {
            for (xcb_window_t root : m_roots) {
                for (uint16_t variant : m_variants)
                    xcb_ungrab_key(c, m_keycode, root, uint16_t(m_mask | variant));
            }
            xcb_flush(c);
        }
    }

    bool isGrabbed() const override { return m_grabbed; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const uint8_t type = event->response_type & 0x7f;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        // Press and release have the same layout.
        const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (key->detail != m_keycode || (key->state & ~m_ignored & 0xff) != m_mask
            || std::find(m_roots.begin(), m_roots.end(), key->event) == m_roots.end()) {
            return false;
        }
        // The handler shows windows: not from inside the event filter.
        if (type == XCB_KEY_PRESS)
            QMetaObject::invokeMethod(this, &IGlobalHotKey::activated, Qt::QueuedConnection);
        return true;
    }

private:
    static xcb_connection_t *connection()
    {
        auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->connection() : nullptr;
    }

    bool m_grabbed = false;
    xcb_keycode_t m_keycode = 0;
    uint16_t m_mask = 0;
    uint16_t m_ignored = 0;
    std::vector<uint16_t> m_variants;
    std::vector<xcb_window_t> m_roots;
};

}  // namespace

std::unique_ptr<IGlobalHotKey> PlatformBackends::createX11HotKey(QObject *parent)
{
    return std::make_unique<CX11HotKey>(parent);
}
