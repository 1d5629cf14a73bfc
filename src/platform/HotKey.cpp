#include "platform/HotKey.h"

#include "platform/PlatformBackends.h"

#include <QGuiApplication>

namespace {

class CNoHotKey : public IGlobalHotKey
{
public:
    using IGlobalHotKey::IGlobalHotKey;
    bool isAvailable() const override { return false; }
    bool grab(QKeyCombination) override
    {
        setErrorString(QStringLiteral("this desktop session offers no global hot keys"));
        return false;
    }
    void release() override {}
    bool isGrabbed() const override { return false; }
};

}  // namespace

std::unique_ptr<IGlobalHotKey> Platform::createGlobalHotKey(QObject *parent)
{
#if defined(Q_OS_WIN)
    return PlatformBackends::createWindowsHotKey(parent);
#else
    const QString platform = QGuiApplication::platformName();
#if defined(TQB_HAVE_X11)
    if (platform == QLatin1String("xcb"))
        return PlatformBackends::createX11HotKey(parent);
#endif
    // An X11 grab under Wayland reaches only X11 programs; the portal asks
    // the compositor for a key that works everywhere.
    if (platform.startsWith(QLatin1String("wayland"))) {
        auto portal = PlatformBackends::createPortalHotKey(parent);
        if (portal->isAvailable())
            return portal;
    }
    return std::make_unique<CNoHotKey>(parent);
#endif
}
