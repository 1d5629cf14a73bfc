#include "platform/Dialer.h"

#include <QDesktopServices>
#include <QUrl>

#if defined(Q_OS_WIN)
#include <QLibrary>
#include <windows.h>

namespace {
using MakeCall = LONG(WINAPI *)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);

MakeCall makeCallFunction()
{
    // Loaded once for the run; a library or function that is missing stays missing.
    static const MakeCall function = [] {
        static QLibrary library(QStringLiteral("TAPI32"));
        return reinterpret_cast<MakeCall>(library.resolve("tapiRequestMakeCallA"));
    }();
    return function;
}
} // namespace

void CDialer::dial(const QString &number)
{
    if (MakeCall makeCall = makeCallFunction()) {
        const QByteArray destination = number.toLocal8Bit();
        makeCall(destination.constData(), nullptr, nullptr, nullptr);
    }
}
#else
void CDialer::dial(const QString &number)
{
    QUrl url;
    url.setScheme(QStringLiteral("tel"));
    url.setPath(number);
    QDesktopServices::openUrl(url);
}
#endif
