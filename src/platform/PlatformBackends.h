#pragma once

// The backends behind the factories, each built only where it applies.

#include "platform/HotKey.h"
#include "platform/KeySender.h"

#include <memory>

namespace PlatformBackends {
#if defined(Q_OS_WIN)
std::unique_ptr<IGlobalHotKey> createWindowsHotKey(QObject *parent);
std::unique_ptr<IKeySender> createWindowsKeySender();
#else
std::unique_ptr<IGlobalHotKey> createPortalHotKey(QObject *parent);
#if defined(TQB_HAVE_X11)
std::unique_ptr<IGlobalHotKey> createX11HotKey(QObject *parent);
std::unique_ptr<IKeySender> createX11KeySender();
#endif
#endif
}  // namespace PlatformBackends
