#include "platform/Tone.h"

#include <windows.h>

void PlatformTone::systemBell()
{
    // Asynchronous, unlike Beep(), which would hold the user-interface thread
    // for the whole tone.
    MessageBeep(MB_OK);
}
