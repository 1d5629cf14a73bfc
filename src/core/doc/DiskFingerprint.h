#pragma once

#include <QByteArray>
#include <QString>

// What the document's file looked like when the program last read or wrote
// it, to tell whether another program has changed it since. Size and time
// decide quickly; when either differs the contents decide, so that a file
// only touched is not taken as changed.
class CDiskFingerprint
{
public:
    CDiskFingerprint() = default;
    // `bytes`: the file's contents as just read or written at `path`.
    static CDiskFingerprint of(const QString &path, QByteArrayView bytes);

    bool isValid() const { return m_size >= 0; }
    // Whether the file at `path` still holds what was read or written. A
    // missing file counts as unchanged: the next save simply makes it again.
    bool matches(const QString &path) const;

private:
    static quint64 hashOf(QByteArrayView bytes);

    qint64 m_size = -1;
    qint64 m_modifiedMs = 0;
    quint64 m_hash = 0;
};
