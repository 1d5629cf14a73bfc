#pragma once

// Whether the process may leave a core file with its memory in it (and, on
// Linux, be read by other processes of the same user). Turned off while a
// protected document is open, so that its notes never land in a core file.
namespace coredumps {

// Off: no core file from now on. On: as it was before the first turn off.
void allow(bool allowed);
// What the system says now; true where it cannot say.
bool allowed();

}  // namespace coredumps
