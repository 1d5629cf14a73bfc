#include "platform/WindowRaiser.h"

#include <QWidget>

#include <windows.h>

void PlatformWindow::makeForeground(QWidget *window)
{
    // The process that received the hot key may take the foreground.
    SetForegroundWindow(reinterpret_cast<HWND>(window->winId()));
}
