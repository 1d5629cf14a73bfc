#pragma once

// The desktop's icon theme for our pictures, made usable in every session:
// one without a platform theme (no desktop, or a test) knows neither the
// system's icon folders nor a theme name. Called before any themed icon is
// looked up; later calls do nothing.
namespace icontheme {
void ensure();
}
