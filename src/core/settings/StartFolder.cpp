#include "settings/StartFolder.h"

#include "settings/Settings.h"
#include "text/FolderPath.h"

#include <QDir>

namespace startfolder {

void useProgramFolder(CSettings &settings)
{
    settings.setText(CSettings::StartPath, QString());
}

bool useOtherFolder(CSettings &settings, const QString &chosenFolder)
{
    if (chosenFolder.isEmpty())
        return false;
    // A drive root already ends with a separator; it is not doubled.
    const QString folder = FolderPath::withTrailingSeparator(QDir::toNativeSeparators(chosenFolder));
    settings.setText(CSettings::StartPath, folder);
    QDir::setCurrent(folder);
    return true;
}

}  // namespace startfolder
