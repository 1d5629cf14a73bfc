#pragma once

#include <optional>

// --help and --version of the program. They are answered on standard output
// before the window system is reached, so they work on a console without a
// display and never open a window.
namespace HelpAndVersion {

// The exit code when the command line asks for help or the version (the
// answer is then printed); std::nullopt when the program starts as usual.
std::optional<int> answer(int argc, char *argv[]);

}  // namespace HelpAndVersion
