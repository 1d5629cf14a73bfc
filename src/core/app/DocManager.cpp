#include "app/DocManager.h"

#include "doc/Backup.h"
#include "doc/DocumentFile.h"
#include "doc/TorviQuillbookDoc.h"
#include "text/FolderPath.h"
#include "settings/Settings.h"

#include <QFileInfo>

CDocManager::CDocManager(CTorviQuillbookDoc &doc, CSettings &settings, QObject *parent)
    : QObject(parent), m_doc(doc), m_recent(settings), m_diskWatch(doc)
{
    connect(&m_doc, &CTorviQuillbookDoc::addedToRecentFiles, this, [this](const QString &path) { m_recent.add(path); });
}

bool CDocManager::startUp(const QString &commandLineFile)
{
    if (!commandLineFile.isEmpty()) {
        m_bFirstNew = false;
        const OpenResult result = open(commandLineFile, true);
        if (result != OpenResult::Declined)
            return result == OpenResult::Opened;
        // As for the last file: a password not given is the user's choice,
        // so the program starts with an empty document.
        m_doc.newDocument();
        return true;
    }
    return fileNew();
}

bool CDocManager::fileNew()
{
    if (m_bFirstNew) {
        m_bFirstNew = false;
        if (m_doc.settings().isOn(CSettings::LastFile) && !m_recent.first().isEmpty()) {
            const OpenResult result = openRecent(0);
            if (result != OpenResult::Declined)
                return result == OpenResult::Opened;
            // Not giving the password is no fault of the file: the program
            // starts with an empty document and the file stays first in
            // the list for the next start.
            m_doc.newDocument();
            return true;
        }
    }
    if (!m_doc.saveModified())
        return false;
    m_doc.newDocument();
    return true;
}

CDocManager::OpenResult CDocManager::open(const QString &path, bool addToRecent)
{
    if (m_doc.isLocked())
        return OpenResult::Cancelled;  // a file handed over while locked waits for the password
    if (!m_doc.pathName().isEmpty() && CRecentFileList::samePath(path, m_doc.pathName()))
        return OpenResult::Opened;
    // A file that cannot be read, or is no document, is told before the
    // open document is given up for it.
    CLoadedFile file;
    if (!m_doc.loadFile(path, file) || !m_doc.checkFormat(file))
        return OpenResult::Failed;
    if (!m_doc.saveModified())
        return OpenResult::Cancelled;
    if (m_doc.openLoadedDocument(path, std::move(file), addToRecent))
        return OpenResult::Opened;
    return m_doc.passwordDeclined() ? OpenResult::Declined : OpenResult::Failed;
}

bool CDocManager::openDocumentFile(const QString &path, bool addToRecent)
{
    return open(path, addToRecent) == OpenResult::Opened;
}

bool CDocManager::openRecentFile(int index)
{
    return openRecent(index) == OpenResult::Opened;
}

CDocManager::OpenResult CDocManager::openRecent(int index)
{
    const QString path = m_recent.files().value(index);
    if (path.isEmpty())
        return OpenResult::Failed;
    const OpenResult result = open(path, true);
    if (result == OpenResult::Failed)
        m_recent.remove(path);
    return result;
}

bool CDocManager::canRestore() const
{
    return !m_doc.backupSettings().folder.isEmpty();
}

bool CDocManager::restore(const QString &chosenName)
{
    if (!canRestore())
        return false;
    // The copy is read before the current document is saved: that save runs
    // the backup step, which may rotate or replace the very copy chosen.
    const QString path = FolderPath::join(m_doc.backupSettings().folder, chosenName);
    // Read, not mapped: a copy rewritten in place must not change under it.
    CLoadedFile chosenCopy;
    if (!m_doc.loadFile(path, chosenCopy, false) || !m_doc.checkFormat(chosenCopy))
        return false;
    if (!m_doc.saveModified())
        return false;
    // Beside the document the user had open (most often the one whose copy
    // this is), under a name no file has yet: found there, not in a folder
    // the user never chose.
    const QString open = m_doc.pathName();
    const QString folder = open.isEmpty() ? m_doc.defaultFolder() : QFileInfo(open).absolutePath() + QLatin1Char('/');
    // The copy itself stays off the recent-file list: opening it at the next
    // start would let automatic saving write over it.
    if (!m_doc.openLoadedDocument(path, std::move(chosenCopy), false))
        return false;
    m_doc.setPathName(CBackupRestore::restoredPath(m_doc.title(), folder), false);
    m_doc.setModifiedFlag(true);
    return true;
}
