#include "doc/DiskWatch.h"

#include "doc/TorviQuillbookDoc.h"

#include <QFileInfo>

CDiskWatch::CDiskWatch(CTorviQuillbookDoc &doc, QObject *parent) : QObject(parent), m_doc(doc)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        follow();
        m_doc.checkDiskChange();
    });
    const auto changed = [this] { m_settle.start(); };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&m_doc, &CTorviQuillbookDoc::titleChanged, this, &CDiskWatch::follow);
    follow();
}

void CDiskWatch::follow()
{
    const QString path = m_doc.pathName();
    if (path != m_path) {
        if (!m_watcher.files().isEmpty())
            m_watcher.removePaths(m_watcher.files());
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
        m_path = path;
        if (!path.isEmpty())
            m_watcher.addPath(QFileInfo(path).absolutePath());
    }
    // The watch on the file itself ends when the file is replaced.
    if (!path.isEmpty() && QFileInfo::exists(path) && !m_watcher.files().contains(path))
        m_watcher.addPath(path);
}
