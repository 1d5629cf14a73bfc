#include "app/RecentFileList.h"

#include "settings/Settings.h"

#include <QFileInfo>

CRecentFileList::CRecentFileList(CSettings &settings) : m_settings(settings), m_files(load(settings))
{
}

bool CRecentFileList::samePath(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    return QFileInfo(a).absoluteFilePath().compare(QFileInfo(b).absoluteFilePath(), Qt::CaseInsensitive) == 0;
#else
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
#endif
}

void CRecentFileList::add(const QString &path)
{
    m_files.removeIf([&](const QString &f) { return samePath(f, path); });
    m_files.prepend(path);
    while (m_files.size() > kSize)
        m_files.removeLast();
    store();
}

void CRecentFileList::remove(const QString &path)
{
    if (m_files.removeIf([&](const QString &f) { return samePath(f, path); }) > 0)
        store();
}

QStringList CRecentFileList::load(const CSettings &settings)
{
    QStringList files;
    for (int i = 0; i < kSize; ++i) {
        const QString file = settings.text(CSettings::RecentFile, i);
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void CRecentFileList::store()
{
    int i = 0;
    for (const QString &file : std::as_const(m_files)) {
        if (i == kSize)
            break;
        if (file.isEmpty())
            continue;
        m_settings.setText(CSettings::RecentFile, file, i++);
    }
    // Entries beyond the new end would otherwise come back on the next read.
    for (; i < kSize; ++i)
        m_settings.remove(CSettings::RecentFile, i);
}
