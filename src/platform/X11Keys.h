#pragma once

#include <QKeyCombination>

#include <xcb/xcb.h>

#include <vector>

// Key codes and modifier masks of the X server, for the hot key and XTest.
namespace X11Keys {

inline constexpr xcb_keysym_t kControlL = 0xffe3;
inline constexpr xcb_keysym_t kShiftL = 0xffe1;
inline constexpr xcb_keysym_t kAltL = 0xffe9;
inline constexpr xcb_keysym_t kSuperL = 0xffeb;
inline constexpr xcb_keysym_t kNumLock = 0xff7f;

// The keysym of a Qt letter or digit key (letters as lower case); 0 for others.
xcb_keysym_t keysymOf(Qt::Key key);
// The first key code that produces the keysym; 0 when none does.
xcb_keycode_t keycodeOf(xcb_connection_t *connection, xcb_keysym_t keysym);
// The X modifier mask of Qt's modifiers (Ctrl, Shift, Alt as Mod1, Meta as Mod4).
uint16_t maskOf(Qt::KeyboardModifiers modifiers);
// The modifier bit that Num Lock sets on this server (usually Mod2); 0 when none.
uint16_t numLockMask(xcb_connection_t *connection);

}  // namespace X11Keys
