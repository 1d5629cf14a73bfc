#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QDateTime>
#include <QFileDevice>
#include <QIODevice>
#include <QString>

#include "format/RecordIndex.h"
#include "io/FileStamp.h"
#include "io/MappedFile.h"

#include <functional>
#include <memory>

// A document file's bytes as loaded for reading, with the file's last-write
// time seen before they were read. They lie in a private mapping of the file
// where the system allows (mapping), else in memory of their own.
struct CLoadedFile
{
    QByteArray bytes;
    std::unique_ptr<CMappedFile> mapping;
    qint64 modifiedMs = 0;
    // The file as it was before the read. Bytes read into memory were
    // checked against it already; mapped ones are read as they are decoded
    // and must be checked after that (stillAsRead()).
    CFileStamp stamp;
    // Where the records of `bytes` lie, once a check of the format has found
    // them: the read that follows the check does not walk the file again.
    CRecordIndex records;

    // The file was cut short by another program while mapped: the bytes past
    // its new end read as zeros, and whatever was decoded from them is void.
    bool cutShort() const { return mapping && mapping->cutShort(); }
    // Whether the file at `path` is still the one whose mapped bytes were
    // decoded: no other program wrote it meanwhile.
    bool stillAsRead(const QString &path) const
    {
        if (!mapping)
            return true;
        CFileStamp::pauseForTest();
        return stamp.stillAt(path);
    }
    // Tells the mapping that `seen` and all before it were decoded.
    void consumed(QByteArrayView seen) const
    {
        if (mapping)
            mapping->consumed(seen);
    }
};

// How replacing a file (CDocumentFile::replace) goes beyond writing the bytes.
struct CReplacement
{
    // Runs once the new contents are safely on disk under the temporary
    // name, before the rename; false: the temporary file goes, the target
    // stays, and the result is `refused`.
    std::function<bool()> beforeRename = {};
    // Valid: the new file's last-write time.
    QDateTime lastWrite = {};
    // The file whose mode, owner and group the new file takes; empty: the
    // file it replaces. A backup copy takes its document's, so that a
    // private document does not leave readable copies.
    QString modeOf = {};
    // Where no file is replaced: the new file opens to group and others no
    // more than this one does (the document an export or a Save As comes
    // from), so that a private document's copies are private too.
    QString newLike = {};
    // A file other than the document (an export): a full disk names it.
    bool namesTarget = false;
    // A copy of a protected document's notes: the new file opens to its
    // owner alone, whatever the file it replaces or is made from allowed.
    bool ownerOnly = false;
};

// Moves a document's bytes between memory and disk, and words failures the
// way the user is told about them.
class CDocumentFile
{
public:
    static constexpr const char *kUnexpectedFormat = QT_TRANSLATE_NOOP("CDocumentFile", "Unexpected file format.");
    static constexpr const char *kUnknownVersion = QT_TRANSLATE_NOOP("CDocumentFile", "unknown version of the data");
    static constexpr const char *kSaveFailed = QT_TRANSLATE_NOOP("CDocumentFile", "Failed to save document.");
    static constexpr const char *kReadOnly = QT_TRANSLATE_NOOP("CDocumentFile", "Unable to write to %1, it is read-only or opened by someone else.");
    static constexpr const char *kFolderMissing = QT_TRANSLATE_NOOP("CDocumentFile", "Unable to write to %1, its folder does not exist.");
    static constexpr const char *kDiskFull = QT_TRANSLATE_NOOP("CDocumentFile", "Destination disk drive is full.");
    static constexpr const char *kDiskFullFor = QT_TRANSLATE_NOOP("CDocumentFile", "Destination disk drive is full. %1 was not written.");
    static constexpr const char *kDanglingLink = QT_TRANSLATE_NOOP("CDocumentFile", "%1 is a link leading nowhere.");

    struct Result
    {
        bool ok = false;
        QString error;  // the message for the user when !ok
        bool refused = false;  // the step before the rename said no; nothing to tell
    };

    // Reads the whole file into one array, allocated once at the file's size.
    // Only a regular file up to CInputFile::kMaxDocumentBytes is read.
    static Result load(const QString &path, QByteArray &bytes);
    // The same, mapped where the system allows: no buffer to fill, and no
    // copy of the file held beside what is decoded from it.
    // `mayMap` false: read into memory all the same.
    static Result load(const QString &path, CLoadedFile &file, bool mayMap = true);

    // Writes through a temporary file in the target folder that is synced to
    // the disk and only then renamed over the target; the folder is synced
    // after the rename. A crash or a power cut at any moment leaves the old
    // file or the new one, whole; a failed save leaves the old file as it
    // was. The new file keeps the old one's mode, owner and group (as far as
    // this process may set them), so that a save by another user, root
    // included, neither opens a private file nor takes it from its owner.
    static Result save(const QString &path, const QByteArray &bytes, const CReplacement &how = {});
    // The same with the content written by `fill`, which returns false when
    // it could not write all of it (nothing is replaced then).
    static Result replace(const QString &path, const std::function<bool(QFileDevice &)> &fill,
                          const CReplacement &how = {});

    // The messages of a write that failed, worded by what the file system
    // says about the target: missing folder, read-only, full disk.
    static QString readOnlyText(const QString &path);
    static QString missingFolderText(const QString &path);
    static QString writeErrorText(QFileDevice::FileError error, const QString &path);
    // Why an export may not write the file `path`, before anything is
    // opened: something that is there and is not a regular file once links
    // are followed (a device, a named pipe: writing would replace it or block
    // for ever), or a link leading nowhere. Empty when it may; a folder is
    // left to the caller.
    static QString exportTargetProblem(const QString &path);
    static QString danglingLinkText(const QString &path);

    // The permissions for group and others that `model` withholds, to clear
    // from a new file made from it (0 when there is no such file). For a
    // new folder, use folderBits(): reading one needs search too.
    static int closedBits(const QString &model);
    static int folderBits(int closed) { return closed & ~((~closed & 044) >> 2); }

    // Gives an existing file `model`'s mode, owner, group and access list,
    // as a replaced file gets them (a backup copy moved up the series).
    static bool takeMode(const QString &path, const QString &model);

    // Makes the renames done in `folder` durable. True where the platform
    // cannot do it (the rename is all there is then).
    static bool syncFolder(const QString &folder);

    // Writes in chunks; false as soon as the device refuses a byte.
    static bool writeAll(QIODevice &device, const QByteArray &bytes);

    static QString displayPath(const QString &path);
    // The message for a failed write of `path` (the read-only message, ...),
    // for writers of other files than the document: a full disk names `path`.
    static QString writeError(QFileDevice::FileError error, const QString &path);
};
