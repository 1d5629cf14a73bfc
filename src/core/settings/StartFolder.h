#pragma once

#include <QString>

class CSettings;

// The Settings-menu commands of the documents' start folder ("StartPath").
namespace startfolder {

// Empties the start folder; the current folder stays until the next start.
void useProgramFolder(CSettings &settings);

// chosenFolder is what the folder browser returned; empty means the user
// cancelled and nothing changes. Otherwise the folder, in native separators
// and ending with one, becomes the start folder and the process's current
// folder. Returns whether the start folder was set.
bool useOtherFolder(CSettings &settings, const QString &chosenFolder);

}  // namespace startfolder
