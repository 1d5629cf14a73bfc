#include "platform/WindowRaiser.h"

// Qt's activateWindow() already asks the window manager (_NET_ACTIVE_WINDOW)
// or the compositor; there is nothing more a program may do.
void PlatformWindow::makeForeground(QWidget *)
{
}
