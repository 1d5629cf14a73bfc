#include "doc/BackupChoice.h"

CBackupChoice CBackupChoice::fromSettings(const CBackupSettings &settings, const QString &programFolder)
{
    CBackupChoice choice;
    // As stored: a box ticked over backups that are off would have the user
    // believe copies are being made.
    choice.on = settings.on;
    choice.folder = settings.folder.isEmpty() ? programFolder : settings.folder;
    // A stored count the list cannot show leaves it without selection, as the
    // period does, instead of picking an index past the list.
    if (settings.versions >= 1 && settings.versions <= CBackupSettings::kMaxVersions)
        choice.versionIndex = settings.versions - 1;
    choice.periodIndex = CBackupSettings::indexOfPeriod(settings.periodDays);
    return choice;
}

CBackupSettings CBackupChoice::applyTo(const CBackupSettings &before) const
{
    CBackupSettings after = before;
    after.on = on;
    if (!on)
        return after;
    after.folder = folder;
    if (versionIndex >= 0 && versionIndex < CBackupSettings::kMaxVersions)
        after.versions = versionIndex + 1;
    if (periodIndex >= 0 && periodIndex < int(CBackupSettings::kPeriodChoices.size()))
        after.periodDays = CBackupSettings::kPeriodChoices[size_t(periodIndex)];
    return after;
}
