#pragma once

#include <QList>
#include <QRect>

// The main window's placement as "RestoreWnd" keeps it: the normal (restored)
// rectangle, the show command and the flag, in the numbers the stored values
// have always used.
namespace windowplacement {

inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShow = 5;             // the default: as it is
inline constexpr int kRestoreToMaximized = 2;  // flag: a minimized window comes back maximized

enum class State { Normal, Minimized, Maximized };

// The state a stored show command asks for (unknown commands: normal).
State stateFor(int showCmd);
// The show command and flag to store for a window in `state`;
// `wasMaximized`: a minimized window that was maximized before.
int showCmdFor(State state);
int flagFor(State state, bool wasMaximized);

// The stored rectangle as the window will use it: one that lies off every
// screen (a screen since removed, values edited by hand) is moved onto the
// first screen and shrunk to fit, one larger than the screen it is on is
// shrunk and moved into it; an empty or inverted one becomes the default
// 50, 50, 700 x 500 first. `screens`: the available areas.
QRect onScreen(const QRect &stored, const QList<QRect> &screens);

}  // namespace windowplacement
