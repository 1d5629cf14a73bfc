#pragma once

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QString>
#include <QTemporaryFile>

// Folders are kept ending with a separator, so that a file name can be
// appended directly.
namespace FolderPath {

inline bool endsWithSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator());
}

inline QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || endsWithSeparator(folder))
        return folder;
    return folder + QDir::separator();
}

// A file in `folder`, whether or not the folder was given with a separator at
// its end (a setting written by hand). An empty folder names no folder.
inline QString join(const QString &folder, const QString &name)
{
    return withTrailingSeparator(folder) + name;
}

// A bare root separator is kept.
inline QString withoutTrailingSeparator(const QString &folder)
{
    if (folder.size() > 1 && endsWithSeparator(folder))
        return folder.chopped(1);
    return folder;
}

// Whether `folder` is one of the folders the system searches for programs
// (PATH), compared as canonical paths.
inline bool isOnSearchPath(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const QStringList entries = qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        if (QFileInfo(entry).canonicalFilePath() == canonical)
            return true;
    }
    return false;
}

// Whether a file can be made in `folder`, found by making one: permission
// bits do not tell about read-only mounts, nor about an administrator.
inline bool canCreateFilesIn(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(withTrailingSeparator(folder) + QStringLiteral(".write-test-XXXXXX"));
    return probe.open();
}

// A path as a message shows it: native separators, and the middle of a
// very deep one left out, so that a message stays a line, not kilobytes.
inline QString shown(const QString &path)
{
    constexpr qsizetype kHead = 60;
    constexpr qsizetype kTail = 120;
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() <= kHead + kTail + 1)
        return native;
    return native.left(kHead) + QChar(0x2026) + native.right(kTail);
}

}  // namespace FolderPath
