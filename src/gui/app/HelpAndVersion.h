#pragma once

#include <optional>

// --help and --version of the program, and options it does not know. They are
// answered (on standard output; a refusal on standard error) before the window
// system is reached, so they work on a console without a display and never
// open a window.
namespace HelpAndVersion {

// The exit code when the command line asks for help or the version (the
// answer is then printed) or holds an unknown option (2); std::nullopt when
// the program starts as usual.
std::optional<int> answer(int argc, char *argv[]);

}  // namespace HelpAndVersion
