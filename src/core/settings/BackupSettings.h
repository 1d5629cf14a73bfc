#pragma once

#include <QString>

#include <array>

class CSettings;

// Where and how often the rotating backup copies of a document are made.
struct CBackupSettings
{
    // The period choices offered by the backup dialog, in days, in list order.
    static constexpr std::array<int, 5> kPeriodChoices{1, 3, 7, 14, 30};
    static constexpr int kMaxVersions = 6;

    bool on = false;
    QString folder;  // the dialog ends it with a separator; one written by hand may not
    int versions = 1;
    int periodDays = 1;

    // Index of a period in the dialog's list, -1 when it is not one of the choices.
    static int indexOfPeriod(int days)
    {
        for (size_t i = 0; i < kPeriodChoices.size(); ++i) {
            if (kPeriodChoices[i] == days)
                return int(i);
        }
        return -1;
    }

    // "BackUp" is on only when stored as 1; writing stores all four values.
    static CBackupSettings load(const CSettings &settings);
    void store(CSettings &settings) const;

    bool operator==(const CBackupSettings &) const = default;
};
