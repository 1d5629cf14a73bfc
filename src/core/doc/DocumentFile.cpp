#include "doc/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qsizetype kChunk = 1 << 20;

QString writeErrorText(QFileDevice::FileError error, const QString &path)
{
    switch (error) {
    case QFileDevice::ResourceError:
        return QStringLiteral("Destination disk drive is full.");
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return QStringLiteral("Unable to write to %1, it is read-only or opened by someone else.")
            .arg(CDocumentFile::displayPath(path));
    default:
        return QStringLiteral("Failed to save document.");
    }
}

}  // namespace

QString CDocumentFile::displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

CDocumentFile::Result CDocumentFile::load(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        return {false, QStringLiteral("%1\nCannot find this file.\nPlease verify that the correct path and file name "
                                      "are given.")
                           .arg(displayPath(path))};
    }
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("Unable to read from %1, it is opened by someone else.").arg(displayPath(path))};
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return {false, QStringLiteral("Failed to open document.")};
    }
    return {true, {}};
}

bool CDocumentFile::writeAll(QIODevice &device, const QByteArray &bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 written = device.write(bytes.constData() + at, std::min(kChunk, bytes.size() - at));
        if (written <= 0)
            return false;
        at += qsizetype(written);
    }
    return true;
}

CDocumentFile::Result CDocumentFile::save(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, writeErrorText(file.error() == QFileDevice::NoError ? QFileDevice::OpenError : file.error(), path)};
    if (!writeAll(file, bytes)) {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        return {false, writeErrorText(error, path)};
    }
    if (!file.commit())
        return {false, writeErrorText(file.error(), path)};
    return {true, {}};
}
