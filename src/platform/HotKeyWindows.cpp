#include "platform/HotKey.h"

#include "platform/PlatformBackends.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

// RegisterHotKey for the user-interface thread (no window): WM_HOTKEY then
// arrives as a thread message, which Qt's event dispatcher shows to the
// native event filters.
class CWindowsHotKey : public IGlobalHotKey, public QAbstractNativeEventFilter
{
public:
    static constexpr int kId = 0;  // the capture hot key's id

    using IGlobalHotKey::IGlobalHotKey;
    ~CWindowsHotKey() override { release(); }

    bool isAvailable() const override { return true; }

    bool grab(QKeyCombination key) override
    {
        release();
        const int k = key.key();
        const bool letter = k >= Qt::Key_A && k <= Qt::Key_Z;
        const bool digit = k >= Qt::Key_0 && k <= Qt::Key_9;
        if (!letter && !digit) {
            setErrorString(QStringLiteral("only letters and digits can be hot keys"));
            return false;
        }
        UINT modifiers = MOD_NOREPEAT;
        const Qt::KeyboardModifiers mods = key.keyboardModifiers();
        if (mods & Qt::ControlModifier)
            modifiers |= MOD_CONTROL;
        if (mods & Qt::ShiftModifier)
            modifiers |= MOD_SHIFT;
        if (mods & Qt::AltModifier)
            modifiers |= MOD_ALT;
        if (mods & Qt::MetaModifier)
            modifiers |= MOD_WIN;
        // Virtual keys of letters and digits are their upper-case ASCII codes,
        // as are Qt's key values.
        if (!RegisterHotKey(nullptr, kId, modifiers, UINT(k))) {
            setErrorString(GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED
                               ? QStringLiteral("another program has taken the key")
                               : QStringLiteral("Windows refused the key (error %1)").arg(GetLastError()));
            return false;
        }
        m_grabbed = true;
        QCoreApplication::instance()->installNativeEventFilter(this);
        return true;
    }

    void release() override
    {
        if (!m_grabbed)
            return;
        m_grabbed = false;
        UnregisterHotKey(nullptr, kId);
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool isGrabbed() const override { return m_grabbed; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_HOTKEY || msg->wParam != WPARAM(kId))
            return false;
        QMetaObject::invokeMethod(this, &IGlobalHotKey::activated, Qt::QueuedConnection);
        return true;
    }

private:
    bool m_grabbed = false;
};

}  // namespace

std::unique_ptr<IGlobalHotKey> PlatformBackends::createWindowsHotKey(QObject *parent)
{
    return std::make_unique<CWindowsHotKey>(parent);
}
