#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFileDevice>
#include <QIODevice>
#include <QString>

#include <functional>

// Moves a document's bytes between memory and disk, and words failures the
// way the user is told about them.
class CDocumentFile
{
public:
    static constexpr const char *kUnexpectedFormat = "Unexpected file format.";
    static constexpr const char *kUnknownVersion = "unknown version of the data";

    struct Result
    {
        bool ok = false;
        QString error;  // the message for the user when !ok
    };

    // Reads the whole file into one array, allocated once at the file's size.
    static Result load(const QString &path, QByteArray &bytes);

    // Writes through a temporary file in the target folder that is synced to
    // the disk and only then renamed over the target; the folder is synced
    // after the rename. A crash or a power cut at any moment leaves the old
    // file or the new one, whole; a failed save leaves the old file as it
    // was. A valid `lastWrite` becomes the new file's last-write time.
    static Result save(const QString &path, const QByteArray &bytes, const QDateTime &lastWrite = {});
    // The same with the content written by `fill`, which returns false when
    // it could not write all of it (nothing is replaced then).
    static Result replace(const QString &path, const std::function<bool(QFileDevice &)> &fill,
                          const QDateTime &lastWrite = {});

    // Makes the renames done in `folder` durable. True where the platform
    // cannot do it (the rename is all there is then).
    static bool syncFolder(const QString &folder);

    // Writes in chunks; false as soon as the device refuses a byte.
    static bool writeAll(QIODevice &device, const QByteArray &bytes);

    static QString displayPath(const QString &path);
};
