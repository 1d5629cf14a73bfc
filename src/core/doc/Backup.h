#pragma once

#include <QCoreApplication>

#include "settings/BackupSettings.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

// The rotating backup copies made before a document is saved: with B the
// backup folder and N the base name, B + N + "bk0" is the newest copy and
// B + N + "bk1" ... the older ones.
class CBackupStep
{
public:
    struct Outcome
    {
        // The first copy that exists as a source but could not be made
        // (empty when all went well): the save says so and goes on.
        QString failedCopy;
        // The document on disk did not read as a document (or was empty):
        // it was not rotated over the good copies but kept under this name.
        QString keptAside;
        bool keptEmpty = false;  // ...because it was empty
    };

    // Runs before the document at `documentPath` is overwritten. Does nothing
    // when backups are off. A copy whose source is missing (the first save,
    // a short series) is simply not made. The newest copy is written to a
    // temporary file and synced before the older ones move up by renames, so
    // a crash never leaves half a copy and a copy that cannot be written
    // (a full disk) leaves the series as it was. A document that exists but
    // cannot be read rotates nothing.
    static Outcome run(const QString &documentPath, const CBackupSettings &settings, const QDateTime &now);

    static constexpr const char *kCopyFailed =
        QT_TRANSLATE_NOOP("CBackupStep", "The backup copy %1 could not be written.\nThe document is saved without it.");
    static constexpr const char *kUnreadableKept =
        QT_TRANSLATE_NOOP("CBackupStep", "%1 does not read as a document, so it did not replace the backup copies.\nIt was kept as %2.");
    static constexpr const char *kEmptyKept =
        QT_TRANSLATE_NOOP("CBackupStep", "%1 is empty, so it did not replace the backup copies.\nIt was kept as %2.");
    // What the user is told about a file kept aside; empty when none was.
    static QString keptAsideMessage(const QString &documentPath, const Outcome &outcome);

    // Whether the newest copy is missing or at least `periodDays` whole days older than `now`.
    static bool isDue(const QString &newestCopy, int periodDays, const QDateTime &now);

    // The document's file name without its last three characters: "notes." for notes.tqb.
    static QString baseName(const QString &documentPath);
    static QString copyName(const CBackupSettings &settings, const QString &documentPath, int version);

    // Where a document file that does not read is kept: beside the copies,
    // under a name of its own that no rotation reaches.
    static QString keptAsideName(const CBackupSettings &settings, const QString &documentPath, const QDateTime &now);

    // Renames `source` over `target` in one step.
    static bool moveOver(const QString &source, const QString &target);
};

// What the restore list shows and where a restored document goes.
class CBackupRestore
{
public:
    struct CBackupEntry
    {
        QString fileName;
        QDateTime lastWrite;  // local time
    };

    // Every entry of the folder that is not a folder, newest first (equal
    // times by name), so that the copy wanted most is on top.
    static QList<CBackupEntry> listFolder(const QString &folder);

    // Full month name, two-digit day, four-digit year and the time of day:
    // "March 05 2026  14:07". The month name is the given locale's; the list
    // uses the system locale.
    static QString formatDate(const QDateTime &time, const QLocale &locale = QLocale::system());

    // The path a restored document is given, in `folder`: its file name cut
    // at the last dot ("notes.bk0" -> "notes"), or "Restore" when the name
    // has no dot or starts with it, with the document extension; "notes
    // (2).tqb" and so on when that file exists, so that no save of the
    // restored document writes over another file.
    static QString restoredPath(const QString &title, const QString &folder);
};

using CBackupEntry = CBackupRestore::CBackupEntry;
