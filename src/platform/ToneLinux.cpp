#include "platform/Tone.h"

#include <QApplication>

void PlatformTone::systemBell()
{
    QApplication::beep();
}
