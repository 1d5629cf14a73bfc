#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QString>

class CMappedFile;

// Reads a file someone named, whole, without trusting what it is: only a
// regular file of bounded size is read, so that a device (/dev/zero), a
// named pipe or a file growing without end can neither exhaust memory nor
// block for ever. A pipe on standard input named as a file (/dev/stdin) is
// the one stream taken, read up to the same bound, once per process.
class CInputFile
{
public:
    enum class Status { Ok, Missing, Folder, NotRegular, TooLarge, Denied, Unreadable };

    static constexpr qint64 kMegabyte = 1024 * 1024;
    // A document of a million notes of a few kilobytes each. Opening maps the
    // file and keeps about half its size in memory, so this bounds the memory
    // a file can claim, not the format (its counts are 32-bit).
    static constexpr qint64 kMaxDocumentBytes = 4096 * kMegabyte;
    // A JSON text is parsed whole, with a tree of values several times its size.
    static constexpr qint64 kMaxJsonBytes = 1024 * kMegabyte;
    static constexpr qint64 kMaxImportBytes = 128 * kMegabyte;

    static constexpr const char *kNotRegular = QT_TRANSLATE_NOOP("CInputFile", "%1 is not a regular file.");
    static constexpr const char *kDenied = QT_TRANSLATE_NOOP("CInputFile", "Unable to read from %1, access is denied.");
    static constexpr const char *kTooLarge = QT_TRANSLATE_NOOP("CInputFile", "%1 is larger than %2 MB.");

    // `bytes` holds what was read so far when the status is not Ok. With
    // `map`, a regular file is mapped there rather than read where the
    // system allows; `bytes` then lie in the mapping.
    static Status read(const QString &path, qint64 maxBytes, QByteArray &bytes, bool acceptStandardInput,
                       CMappedFile *map = nullptr);

    // Whether `path` names this process's standard input and it is a pipe
    // (or a socket). A regular file there is read as any file is.
    static bool isStandardInputStream(const QString &path);

    static QString notRegularText(const QString &path);
    // The file's permissions do not let this user read it.
    static QString deniedText(const QString &path);
    static QString tooLargeText(const QString &path, qint64 maxBytes);
};
