#pragma once

#include "doc/DiskWatch.h"
#include "app/RecentFileList.h"

#include <QObject>
#include <QString>

class CTorviQuillbookDoc;

// What the application does with its one document: the File commands that
// replace its contents, start-up's first New, the recent-file list and the
// restore of a backup copy.
class CDocManager : public QObject
{
    Q_OBJECT

public:
    CDocManager(CTorviQuillbookDoc &doc, CSettings &settings, QObject *parent = nullptr);

    CTorviQuillbookDoc &document() const { return m_doc; }
    CRecentFileList &recentFiles() { return m_recent; }

    // Start-up: a file named on the command line, else the first New. False
    // when the program should end without a window.
    bool startUp(const QString &commandLineFile);

    // File > New. The first one of a run opens the last file instead when
    // "LastFile" is on; a failure to open it is returned as false. When its
    // password is not given the document starts empty instead.
    bool fileNew();
    // Opens `path` as the document after asking whether the current one may
    // be replaced. Opening the document's own file again changes nothing.
    bool openDocumentFile(const QString &path, bool addToRecent = true);
    // Opens entry `index` of the recent-file list; an entry that cannot be
    // opened leaves the list (one whose password was not given stays).
    bool openRecentFile(int index);

    // Opens a backup copy as the document under a name of its own, so that
    // saving never writes over the copy.
    bool restore(const QString &chosenName);
    bool canRestore() const;

private:
    // Declined: the user gave no password that reads the file.
    enum class OpenResult { Opened, Cancelled, Declined, Failed };
    OpenResult open(const QString &path, bool addToRecent);
    OpenResult openRecent(int index);

    CTorviQuillbookDoc &m_doc;
    CRecentFileList m_recent;
    CDiskWatch m_diskWatch;
    bool m_bFirstNew = true;
};
