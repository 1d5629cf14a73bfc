#pragma once

#include "settings/BackupSettings.h"

#include <QString>

// The values the backup dialog shows and returns, and how they map to and
// from the stored settings. An index of -1 means the list has no selection.
struct CBackupChoice
{
    bool on = true;
    QString folder;
    int versionIndex = -1;
    int periodIndex = -1;

    // The dialog opens with backups on whatever the setting, and with the
    // program's folder when no folder is set.
    static CBackupChoice fromSettings(const CBackupSettings &settings, const QString &programFolder);

    // The settings after OK. Folder, versions and period change only when
    // backups are on; a list without selection keeps its value.
    CBackupSettings applyTo(const CBackupSettings &before) const;
};
