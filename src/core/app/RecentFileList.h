#pragma once

#include <QStringList>

class CSettings;

// The most recently used documents, newest first, kept in the settings the
// moment they change so that a crash does not lose the list.
class CRecentFileList
{
public:
    static constexpr int kSize = 6;

    explicit CRecentFileList(CSettings &settings);

    const QStringList &files() const { return m_files; }
    QString first() const { return m_files.value(0); }
    void add(const QString &path);
    void remove(const QString &path);

    static bool samePath(const QString &a, const QString &b);

    // The stored list, without empty entries.
    static QStringList load(const CSettings &settings);

private:
    void store();

    CSettings &m_settings;
    QStringList m_files;
};
