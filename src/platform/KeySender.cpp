#include "platform/KeySender.h"

#include "platform/PlatformBackends.h"

#include <QGuiApplication>

namespace {

class CNoKeySender : public IKeySender
{
public:
    bool isAvailable() const override { return false; }
    bool send(QKeyCombination) override { return false; }
};

}  // namespace

std::unique_ptr<IKeySender> Platform::createKeySender()
{
#if defined(Q_OS_WIN)
    return PlatformBackends::createWindowsKeySender();
#else
#if defined(TQB_HAVE_X11)
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return PlatformBackends::createX11KeySender();
#endif
    return std::make_unique<CNoKeySender>();
#endif
}
