#pragma once

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
    // Runs before the document at `documentPath` is overwritten. Does nothing
    // when backups are off. A copy whose source is missing (the first save,
    // a short series) is simply not made; one that exists but cannot be
    // copied is skipped too, and the first such copy's name is returned
    // (empty when all went well), so that the save can say so and go on.
    static QString run(const QString &documentPath, const CBackupSettings &settings, const QDateTime &now);

    static constexpr const char *kCopyFailed =
        "The backup copy %1 could not be written.\nThe document is saved without it.";

    // Whether the newest copy is missing or at least `periodDays` whole days older than `now`.
    static bool isDue(const QString &newestCopy, int periodDays, const QDateTime &now);

    // The document's file name without its last three characters: "notes." for notes.tqb.
    static QString baseName(const QString &documentPath);
    static QString copyName(const CBackupSettings &settings, const QString &documentPath, int version);

    // Replaces `target` by a copy of `source` carrying the source's last-write
    // time. The old target stays when the copy fails.
    static bool copyOver(const QString &source, const QString &target);
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

    // Every entry of the folder that is not a folder, in the file system's order.
    static QList<CBackupEntry> listFolder(const QString &folder);

    // Full month name, two-digit day, four-digit year: "March 05 2026". The
    // month name is the given locale's; the list uses the system locale.
    static QString formatDate(const QDateTime &time, const QLocale &locale = QLocale::system());

    // The path a restored document is given: its file name cut at the last
    // dot ("notes.bk0" -> "notes"), or "Restore" when the name has no dot or
    // starts with it; in the current folder.
    static QString restoredPath(const QString &title);
};

using CBackupEntry = CBackupRestore::CBackupEntry;
