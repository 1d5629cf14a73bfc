#pragma once

#include <QCoreApplication>

#include "Prompter.h"
#include "doc/DiskChangeCheck.h"
#include "doc/DiskFingerprint.h"
#include "doc/DocumentPassword.h"
#include "doc/ItemTables.h"
#include "doc/Protection.h"
#include "doc/RecordMapper.h"
#include "format/RecordCodec.h"
#include "settings/BackupSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CDocumentLock;
class CEnvelopeKey;
class CRecordIndex;
struct CLoadedFile;
class CSettings;

// The one document of a run: its item tables, working copy and lifecycle
// (new, open, save, automatic save, Save As with text export). Its password
// lives in a CDocumentPassword, the watch on its file's changes by other
// programs in a CDiskChangeCheck. New and Open replace its contents; it is
// never created twice.
class CTorviQuillbookDoc : public QObject, public CItemTables
{
    Q_OBJECT

public:
    enum Hint { kHintShowItem = 0, kHintRefreshAll = 5, kHintTitleChanged = 6 };
    // kLocked: the notes are put away behind the password (lockContents()).
    enum Busy { kIdle = 0, kBusyTree = 1, kBusyWriting = 2, kBusyClearing = 3, kLocked = 4 };
    enum ImportRequest { kNoImport = -1, kImportText = 1, kImportCsv = 2, kImportFavorites = 3, kImportMarkdown = 4 };
    static constexpr const char *kUntitled = QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "Untitled");
    static constexpr const char *kReloadPlaceholder = "~Reload Document~.tqb";
    static constexpr const char *kReplaceQuestion = QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "%1 already exists.\nDo you want to replace it?");
    static constexpr const char *kLinksSplit =
        QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "%1 had other names (hard links) for the same file. The save wrote a new file under this name "
                                                "only: the other names still show the version before this save.");
    static constexpr const char *kOpenFailed = QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "Failed to open document.");
    static constexpr const char *kNoMemoryToOpen =
        QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "There is not enough memory to read this document.");

    using Clock = std::function<QDateTime()>;

    CTorviQuillbookDoc(CSettings &settings, IPrompter &prompter, QObject *parent = nullptr);
    ~CTorviQuillbookDoc() override;

    CSettings &settings() const { return m_settings; }
    IPrompter &prompter() const { return m_prompter; }
    void setClock(Clock clock) { m_clock = std::move(clock); }
    QDateTime now() const { return m_clock(); }

    // The item tables' title(index) and setTitle(index, title) beside the
    // document's own title.
    using CItemTables::setTitle;
    using CItemTables::title;

    // --- what the framework keeps for a document ---
    QString pathName() const { return m_strPathName; }
    QString title() const { return m_strTitle; }
    bool isModified() const { return m_bModified; }
    void setModifiedFlag(bool modified = true);
    // Names the document after `path`; `addToRecent` puts it on the recent-file list.
    void setPathName(const QString &path, bool addToRecent = true);
    void setTitle(const QString &title);

    // --- lifecycle ---
    bool clearContents();  // false when another operation holds the document
    void newDocument();
    // Reads `path` into the document. A file that cannot be read leaves the
    // contents alone; one that is not a document leaves the document empty.
    bool openDocument(const QString &path, bool addToRecent = true);
    // The bytes of a file, mapped or read in one go; false after the failure
    // was reported. `mayMap` false: read into memory, for a file that may be
    // rewritten before its bytes are opened.
    bool loadFile(const QString &path, CLoadedFile &file, bool mayMap = true);
    // Opens bytes loaded earlier from `path`, as openDocument does with the file.
    bool openLoadedDocument(const QString &path, CLoadedFile file, bool addToRecent = true);
    // Whether `bytes` can be read as a document at all (records in order, or
    // a sealed file); says why not. Reads nothing into this document.
    bool checkFormat(CLoadedFile &file);
    // The same, quietly: why the file cannot be opened (unreadable, not a
    // document, or empty where `emptyIsNoDocument`); empty when it can.
    QString problemReading(const QString &path, CLoadedFile &file, bool emptyIsNoDocument);
    // Whether the last open failed only because the user gave no password
    // that reads the file (cancelled, or gave up on wrong ones): the file
    // itself may be fine.
    bool passwordDeclined() const { return m_bPasswordDeclined; }
    // Saves to `path`; asks (Reload, Keep my version, Save as...) when the
    // file there changed since it was read here, also when it changes while
    // this save runs.
    bool saveDocument(const QString &path);
    // For writers that cannot ask (tqb): saves unless the file at `path`
    // changed since it was read, which is then only reported back.
    enum class SaveOutcome { Saved, Failed, ChangedOnDisk };
    SaveOutcome saveIfUnchanged(const QString &path);
    // A lock on the document's file that the caller holds from its read to
    // its save (tqb); saves to that file then do not take one of their own.
    void setHeldLock(const CDocumentLock *lock) { m_heldLock = lock; }
    bool saveModified();  // may the document be replaced or closed?
    void autoSaveOnSelectionChange();
    // Before the document is locked: an open label edit ends, then the
    // document is saved to its path without asking, whether or not automatic
    // saving is on, so that no change waits behind the lock.
    void saveBeforeLock();
    // Locks a document with a password: saved as saveBeforeLock() does, then
    // kept only in its protected form (the bytes its file would get), and
    // its tables and working copy zeroed and emptied. Until unlockContents()
    // no operation runs on it (busy() is kLocked) and nothing saves it.
    // False when it has no password or another operation runs.
    bool lockContents();
    // Reads the protected form back with the key held, as a document closed
    // and opened again; the modified flag is what it was at the lock. The
    // caller checks the file for changes by other programs afterwards.
    bool unlockContents();
    bool isLocked() const { return m_nBusy == kLocked; }
    // Holds automatic saving while a run of selection changes goes on
    // (Replace all walking the notes): a save asked for meanwhile runs once,
    // when the last hold ends.
    void holdAutoSave() { ++m_nAutoSaveHolds; }
    void releaseAutoSave();
    bool saveCommand();   // File > Save
    void saveAsCommand(); // File > Save As, with the text export
    bool exportText(const QString &path);
    // The save chooser, and the question whether an existing file may be
    // replaced, asked about the final name; empty when the user gave up.
    QString chooseSavePath(QString proposed, const QString &filters, const QString &title = QCoreApplication::translate("CTorviQuillbookDoc", "Save As"));

    // --- the records of a file, for the GUI, tqb, benchmarks and fuzzing ---
    // Clears, reads the record array, runs the password step and takes the
    // records over; on a bad stream, or when no password given reads the
    // records, the document is left empty. Moved-in bytes are let go as
    // they are decoded.
    bool readFromBytes(QByteArray bytes);
    // For a reader that never saves (tqb's listing, search and export
    // commands): an open takes no fingerprint of the file's contents, and a
    // save over the file would find it changed and refuse.
    void setReaderOnly() { m_bReaderOnly = true; }
    // For a reader that looks at each text once (tqb find): while a file is
    // read, every item's title and text go through `keep`, and only the
    // texts it keeps stay; the others read as empty. A search through a
    // large document then holds its titles and hits, not all its texts.
    void setTextFilter(CRecordMapper::TextFilter keep) { m_keepText = std::move(keep); }
    QByteArray writeToBytes();
    // Writes the file's bytes to `device`; false when it refused some.
    // `hash`, when given, sees every byte written.
    bool writeTo(QIODevice &device, CContentHash *hash = nullptr);

    // --- password (see CDocumentPassword) ---
    void changePassword() { m_password.ask(); }
    // Derives the key; the document keeps its form of protection (one
    // without a password gets the compatible form).
    bool setPassword(const QByteArray &password) { return m_password.set(password); }
    // The same with the form given. False, after telling why, when no key
    // could be derived; the password held before stays then.
    bool setPassword(const QByteArray &password, Protection form) { return m_password.set(password, form); }
    // A copy, for the moment it is handed on; the document keeps its own in
    // locked memory.
    QByteArray password() const { return m_password.password(); }
    const std::vector<quint32> &key() const { return m_password.key(); }
    bool hasPassword() const { return m_password.hasPassword(); }
    Protection protection() const { return m_password.protection(); }
    // The key of the sealed form; null for the other forms.
    const CEnvelopeKey *envelopeKey() const { return m_password.envelopeKey(); }
    QString passwordStatusText() const { return m_password.statusText(); }
    static constexpr const char *kEncryptedStatus = CDocumentPassword::kEncryptedStatus;
    static constexpr const char *kExportNotEncrypted = CDocumentPassword::kExportNotEncrypted;
    // Before a copy of the notes is written in plain (text export and the
    // other exports): an encrypted document asks first. True: go on.
    // `question`: the one to ask, naming the format; the text export's by default.
    bool mayWritePlainCopy(const QString &question = QCoreApplication::translate("CTorviQuillbookDoc", kExportNotEncrypted))
    {
        return m_password.mayWritePlainCopy(question);
    }
    // Whether `password` is the one held (compared in constant time).
    bool isPassword(const QByteArray &password) const { return m_password.isPassword(password); }

    // --- enable rules ---
    bool canSave() const { return m_bModified; }
    bool canSaveAs() const { return m_nCurItem >= 0; }
    bool canPrint() const { return m_nCurItem >= 0; }
    bool canChangePassword() const { return m_nCurItem >= 0; }

    // --- state other parts read and change ---
    const CBackupSettings &backupSettings() const { return m_backup; }
    void setBackup(const CBackupSettings &backup);
    QString documentFolder() const { return m_strDocFolder; }
    // Where the file dialogs start: the document folder, before there is
    // one the default folder.
    QString dialogFolder() const;
    QString startFolder() const;
    // Where documents go by default, ending with a separator: the start
    // folder when one is set, else the program's folder, or the user's
    // documents folder when the program's folder cannot be written (an
    // installed program). Save As, Restore and the backup folder start here.
    QString defaultFolder() const;
    // The program's own folder (the executable's); set for a program that
    // lives elsewhere.
    QString programFolder() const { return m_strProgramFolder; }
    void setProgramFolder(const QString &folder);
    int busy() const { return m_nBusy; }
    bool hasReminders() const { return m_bHasReminders; }
    void setHasReminders(bool on) { m_bHasReminders = on; }  // follows the reminder list
    bool loadedItems() const { return m_bLoadedItems; }

    // The working copy of the selected item.
    int m_nCurItem = -1;
    QByteArray m_strCurTitle;
    QByteArray m_strCurText;
    bool m_new = true;              // tables cleared, the tree has not rebuilt yet
    bool m_bOpenLastNote = false;   // consumed by the tree's first build
    int m_nImport = kNoImport;
    qint32 m_nLastLocalSort = 2;

    // --- the file on disk changed under the program (see CDiskChangeCheck) ---
    static constexpr const char *kChangedOnDisk = CDiskChangeCheck::kChangedOnDisk;
    static constexpr const char *kReloadedFromDisk = CDiskChangeCheck::kReloadedFromDisk;
    static QStringList changedOnDiskChoices() { return CDiskChangeCheck::choices(); }
    // Whether another program has changed the document's file since it was
    // read or saved here.
    bool fileChangedOnDisk() const { return m_diskCheck.changed(); }
    // Told that the file may have changed: reloads an unmodified document
    // (keeping the selected note where it still exists), asks about a
    // modified one. Does nothing while the file is as it was.
    void checkDiskChange() { m_diskCheck.check(); }
    // The item the tree selects after reading the file again; -1: none.
    int takeSelectionAfterReload() { return m_diskCheck.takeSelectionAfterReload(); }

signals:
    void updateAllViews(int hint);
    // Before the document is written, or asked whether it may close: views
    // end an edit still open (a label being named), so that what the user
    // typed is in the tables.
    void finishEditsRequested();
    void statusMessage(const QString &text);
    // A status message about the note as it is now; it goes when the note
    // shown changes.
    void noteMessage(const QString &text);
    void activateTreePane();
    void titleChanged();            // path, title or modified flag changed
    // The tables are about to be emptied; views built from them are rebuilt
    // after the next updateAllViews(kHintRefreshAll).
    void contentsClearing();
    void passwordChanged();         // the document gained or lost its password
    void addedToRecentFiles(const QString &path);

private:
    friend class CBusyGuard;
    friend class CDiskChangeCheck;   // saves under another name, unasked
    friend class CDocumentPassword;  // reads the file again with a new password
    SaveOutcome writeDocument(const QString &path, bool reportFailure);
    // Saves to the own path without asking, as automatic saving does; a
    // failure is told once while it keeps failing.
    void saveQuietly();
    // False after telling why the records could not be taken over.
    bool takeOverRecords(CRecordIndex &&records);
    bool idleOrReported() const;  // false, after telling so, while another operation runs
    void resetToEmpty();
    void resetToNew();  // empty, unnamed, no password: the state after New
    void setDocumentFolderFrom(const QString &path);
    void reportBackupFailure(const QString &failedCopy);
    bool reloadFromFile();
    // readFromBytes, with `fileBytes` shown every byte of the file as it is decoded.
    bool readFile(QByteArray bytes, const std::function<void(QByteArrayView)> &fileBytes, CRecordIndex scanned = {});
    qint32 nowSeconds() const;

    CSettings &m_settings;
    IPrompter &m_prompter;
    Clock m_clock;
    CBackupSettings m_backup;

    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;

    CDocumentPassword m_password{*this};
    CDiskChangeCheck m_diskCheck{*this};
    bool m_bLoadedItems = false;
    bool m_bHasReminders = false;

    int m_nBusy = kIdle;
    int m_nAutoSaveHolds = 0;
    bool m_bAutoSaveHeld = false;      // a save was asked for during a hold
    bool m_bAutoSaveFailing = false;   // the last automatic save failed and was reported
    bool m_bBackupFailing = false;     // the last backup step failed and was reported
    const CDocumentLock *m_heldLock = nullptr;
    bool m_bReaderOnly = false;        // see setReaderOnly()
    bool m_bRereading = false;         // the file is read again: it changed while it was read
    CRecordMapper::TextFilter m_keepText;  // see setTextFilter()
    bool m_bPasswordDeclined = false;  // the last open ended at the password
    QByteArray m_lockedBytes;          // the document while locked, in its protected form
    bool m_bLockedModified = false;    // its modified flag at the lock
    bool m_bReopening = false;         // reading m_lockedBytes: the key held opens them
    QString m_strDocFolder;
    QString m_strProgramFolder;
};

// Marks an operation in progress on the document. An operation that finds
// another one running does not start: that is an internal error, reported.
class CBusyGuard
{
public:
    CBusyGuard(CTorviQuillbookDoc &doc, int state);
    ~CBusyGuard();
    CBusyGuard(const CBusyGuard &) = delete;
    CBusyGuard &operator=(const CBusyGuard &) = delete;
    explicit operator bool() const { return m_acquired; }

    static constexpr const char *kInternalError =
        QT_TRANSLATE_NOOP("CBusyGuard", "Internal error: another operation on the document is still in progress.");

private:
    CTorviQuillbookDoc &m_doc;
    bool m_acquired;
};

// Holds automatic saving for its lifetime (see holdAutoSave()).
class CAutoSaveHold
{
public:
    explicit CAutoSaveHold(CTorviQuillbookDoc &doc) : m_doc(doc) { m_doc.holdAutoSave(); }
    ~CAutoSaveHold() { m_doc.releaseAutoSave(); }
    CAutoSaveHold(const CAutoSaveHold &) = delete;
    CAutoSaveHold &operator=(const CAutoSaveHold &) = delete;

private:
    CTorviQuillbookDoc &m_doc;
};
