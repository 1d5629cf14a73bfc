#include "app/RecentFileList.h"

#include "settings/Settings.h"

#include <QFileInfo>

CRecentFileList::CRecentFileList(CSettings &settings) : m_settings(settings), m_files(settings.recentFiles())
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

void CRecentFileList::store()
{
    m_settings.setRecentFiles(m_files);
}
