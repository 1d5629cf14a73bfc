#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

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

    static Result load(const QString &path, QByteArray &bytes);

    // Writes through a temporary file in the target folder that replaces the
    // target only after every byte was written and flushed: a failed save
    // leaves the old file as it was.
    static Result save(const QString &path, const QByteArray &bytes);

    // Writes in chunks; false as soon as the device refuses a byte.
    static bool writeAll(QIODevice &device, const QByteArray &bytes);

    static QString displayPath(const QString &path);
};
