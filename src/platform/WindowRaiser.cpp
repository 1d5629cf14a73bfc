#include "platform/WindowRaiser.h"

#include <QGuiApplication>
#include <QWidget>

bool CWindowRaiser::isAvailable() const
{
    return QGuiApplication::platformName() != QLatin1String("offscreen")
        && QGuiApplication::platformName() != QLatin1String("minimal");
}

void CWindowRaiser::bringForward(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
    PlatformWindow::makeForeground(window);
}
