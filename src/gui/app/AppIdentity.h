#pragma once

#include <QIcon>

// What the desktop knows the program by: names (where the settings live),
// version, the desktop entry that Wayland matches the window to, and the icon.
namespace AppIdentity {

// The name of the desktop entry, without ".desktop".
inline constexpr const char *kDesktopFileName = "org.example.TorviQuillbook";
// The icon's name in the icon theme; the built-in picture stands behind it.
inline constexpr const char *kIconName = "torvi-quillbook";

QIcon applicationIcon();
// Sets all of it on the running QGuiApplication.
void apply();

}  // namespace AppIdentity
