#include "doc/TorviQuillbookDoc.h"

#include "crypto/Envelope.h"
#include "doc/Backup.h"
#include "doc/BackupReseal.h"
#include "doc/DocumentLock.h"
#include "doc/DocumentFile.h"
#include "doc/RecordMapper.h"
#include "doc/TextExport.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"
#include "settings/Settings.h"
#include "text/FolderPath.h"
#include "text/MemoryWipe.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QStandardPaths>

#include <new>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Whether the file at `path` has hard links besides this name.
bool otherNames(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink > 1;
#else
    Q_UNUSED(path)
    return false;
#endif
}

bool hasFolderPart(const QString &path)
{
    return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
}

}  // namespace

CBusyGuard::CBusyGuard(CTorviQuillbookDoc &doc, int state) : m_doc(doc), m_acquired(doc.m_nBusy == CTorviQuillbookDoc::kIdle)
{
    if (m_acquired)
        m_doc.m_nBusy = state;
    else
        m_doc.m_prompter.message(QCoreApplication::translate("CBusyGuard", kInternalError));
}

CBusyGuard::~CBusyGuard()
{
    if (m_acquired)
        m_doc.m_nBusy = CTorviQuillbookDoc::kIdle;
}

CTorviQuillbookDoc::CTorviQuillbookDoc(CSettings &settings, IPrompter &prompter, QObject *parent)
    : QObject(parent), m_settings(settings), m_prompter(prompter), m_clock([] { return QDateTime::currentDateTime(); })
{
    m_backup = CBackupSettings::load(settings);
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        setDefaultIcon(slot, settings.number(CSettings::DefIcon, slot));
    setRootSort(settings.number(CSettings::SortType));
    m_nLastLocalSort = rootSort();
    m_bOpenLastNote = settings.isOn(CSettings::LastFile);
    m_strTitle = QCoreApplication::translate("CTorviQuillbookDoc", kUntitled);
    if (QCoreApplication::instance())
        m_strProgramFolder = QCoreApplication::applicationDirPath();
    m_strDocFolder = startFolder();

    // Relative names in file dialogs start in the program's folder, or in the
    // start folder when one is set.
    if (QCoreApplication::instance())
        QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!m_strDocFolder.isEmpty())
        QDir::setCurrent(m_strDocFolder);
}

CTorviQuillbookDoc::~CTorviQuillbookDoc() = default;

qint32 CTorviQuillbookDoc::nowSeconds() const
{
    return qint32(m_clock().toSecsSinceEpoch());
}

void CTorviQuillbookDoc::setModifiedFlag(bool modified)
{
    if (m_bModified == modified)
        return;
    m_bModified = modified;
    emit titleChanged();
}

void CTorviQuillbookDoc::setTitle(const QString &title)
{
    m_strTitle = title;
    emit titleChanged();
}

void CTorviQuillbookDoc::setPathName(const QString &path, bool addToRecent)
{
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_strTitle = QFileInfo(path).fileName();
    emit titleChanged();
    if (addToRecent)
        emit addedToRecentFiles(m_strPathName);
}

void CTorviQuillbookDoc::setDocumentFolderFrom(const QString &path)
{
    m_strDocFolder = hasFolderPart(path) ? FolderPath::withTrailingSeparator(QFileInfo(path).path()) : startFolder();
}

QString CTorviQuillbookDoc::defaultFolder() const
{
    if (const QString start = startFolder(); !start.isEmpty())
        return start;
    // A folder on the search path (/usr/bin) holds many programs and none of
    // their documents, even where it can be written (as root).
    if (!FolderPath::isOnSearchPath(m_strProgramFolder) && FolderPath::canCreateFilesIn(m_strProgramFolder))
        return FolderPath::withTrailingSeparator(m_strProgramFolder);
    // Made when missing: a document saved there must not fail for want of it.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return FolderPath::withTrailingSeparator(QDir::homePath());
    QDir().mkpath(documents);
    return FolderPath::withTrailingSeparator(documents);
}

void CTorviQuillbookDoc::setProgramFolder(const QString &folder)
{
    m_strProgramFolder = folder;
}

QString CTorviQuillbookDoc::dialogFolder() const
{
    // Found when asked for: the check of the program's folder writes a file.
    return m_strDocFolder.isEmpty() ? defaultFolder() : m_strDocFolder;
}

QString CTorviQuillbookDoc::startFolder() const
{
    return m_settings.text(CSettings::StartPath);
}

void CTorviQuillbookDoc::setBackup(const CBackupSettings &backup)
{
    m_backup = backup;
    backup.store(m_settings);
}

// ---------------------------------------------------------------- lifecycle

bool CTorviQuillbookDoc::clearContents()
{
    CBusyGuard guard(*this, kBusyClearing);
    if (!guard)
        return false;
    emit contentsClearing();
    m_bLoadedItems = false;
    m_new = true;
    m_nCurItem = -1;
    m_strCurTitle.clear();
    m_strCurText.clear();
    clearItems();
    m_bHasReminders = false;
    return true;
}

void CTorviQuillbookDoc::resetToEmpty()
{
    clearContents();
    m_strPathName.clear();
    m_strTitle = QCoreApplication::translate("CTorviQuillbookDoc", kUntitled);
    m_bModified = false;
    // A new document has not been created yet; the first save stamps it.
    setCreationTime(0);
    m_diskCheck.forget();
    emit titleChanged();
}

void CTorviQuillbookDoc::resetToNew()
{
    resetToEmpty();
    setPassword({});
    emit titleChanged();
}

void CTorviQuillbookDoc::newDocument()
{
    resetToNew();
    emit updateAllViews(kHintRefreshAll);
    emit activateTreePane();
}

bool CTorviQuillbookDoc::idleOrReported() const
{
    if (m_nBusy != kIdle)
        m_prompter.message(QCoreApplication::translate("CBusyGuard", CBusyGuard::kInternalError));
    return m_nBusy == kIdle;
}

bool CTorviQuillbookDoc::openDocument(const QString &path, bool addToRecent)
{
    m_bPasswordDeclined = false;
    if (!idleOrReported())
        return false;  // the contents stay as they are
    CLoadedFile file;
    if (!loadFile(path, file))
        return false;  // nothing was read: the contents stay
    return openLoadedDocument(path, std::move(file), addToRecent);
}

bool CTorviQuillbookDoc::loadFile(const QString &path, CLoadedFile &file, bool mayMap)
{
    const CDocumentFile::Result loaded = CDocumentFile::load(path, file, mayMap);
    if (!loaded.ok)
        m_prompter.message(loaded.error);
    return loaded.ok;
}

bool CTorviQuillbookDoc::openLoadedDocument(const QString &path, CLoadedFile file, bool addToRecent)
{
    m_bPasswordDeclined = false;
    if (!idleOrReported())
        return false;
    // The file's contents are hashed in the pass that decodes them, and its
    // pages given back behind it; a reader that never saves needs no hash.
    qint64 size = 0;
    CContentHash hash;
    bool read = true;
    for (int tries = 1;; ++tries) {
        size = file.bytes.size();
        hash = CContentHash();
        const auto fileBytes = [this, &hash, &file](QByteArrayView seen) {
            if (!m_bReaderOnly)
                hash.add(seen);
            file.consumed(seen);
        };
        // Read again, the password just given reads it without asking.
        const QScopedValueRollback rereading(m_bRereading, m_bRereading || tries > 1);
        if (file.bytes.isEmpty())
            clearContents();  // an empty file is an empty document, no password asked
        else
            read = readFile(std::move(file.bytes), fileBytes, std::move(file.records));
        if (read && file.cutShort()) {
            // Another program cut the file short while it was read: the part
            // past its new end read as zeros.
            m_prompter.message(QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnexpectedFormat));
            read = false;
        }
        // Another program wrote the file in place while its mapped bytes
        // were decoded: the notes may come from two versions. Read again.
        // (Bytes read into memory were checked when they were read.)
        if (!read || !file.mapping
            || (file.stillAsRead(path) && (m_bReaderOnly || CDiskFingerprint::of(file.modifiedMs, hash).matches(path))))
            break;
        if (tries == CFileStamp::kReadTries) {
            m_prompter.message(CFileStamp::changedWhileReadText(path));
            read = false;
            break;
        }
        file = CLoadedFile();
        if (!loadFile(path, file)) {
            read = false;
            break;
        }
    }
    if (!read) {
        // The same state as New: a password kept from the previous document
        // would silently encipher whatever is typed into this empty one.
        resetToNew();
        emit updateAllViews(kHintRefreshAll);
        return false;
    }
    if (creationTime() == 0) {
        const QFileInfo info(path);
        const QDateTime born = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
        setCreationTime(qint32(born.toSecsSinceEpoch()));
    }
    setPathName(path, addToRecent);
    Q_ASSERT(m_bReaderOnly || hash.size() == size);
    Q_UNUSED(size)
    m_diskCheck.remember(path, m_bReaderOnly ? CDiskFingerprint::unknown() : CDiskFingerprint::of(file.modifiedMs, hash));
    m_bModified = false;
    emit titleChanged();
    setDocumentFolderFrom(path);
    emit updateAllViews(kHintRefreshAll);
    return true;
}

bool CTorviQuillbookDoc::saveDocument(const QString &path)
{
    if (m_nBusy == kIdle)
        emit finishEditsRequested();
    bool savedElsewhere = false;
    if (!m_diskCheck.mayOverwrite(path, savedElsewhere))
        return savedElsewhere;
    for (;;) {
        switch (writeDocument(path, true)) {
        case SaveOutcome::Saved:
            return true;
        case SaveOutcome::Failed:
            return false;
        case SaveOutcome::ChangedOnDisk:
            // Another program saved between our read and our rename.
            if (!m_diskCheck.askAndFollow(path, savedElsewhere))
                return savedElsewhere;
            break;  // kept: write again over the file as it is now
        }
    }
}

CTorviQuillbookDoc::SaveOutcome CTorviQuillbookDoc::saveIfUnchanged(const QString &path)
{
    return writeDocument(path, true);
}

CTorviQuillbookDoc::SaveOutcome CTorviQuillbookDoc::writeDocument(const QString &path, bool reportFailure)
{
    SaveOutcome outcome = SaveOutcome::Failed;
    if (!m_password.keyForSaving())
        return outcome;
    CBackupStep::Outcome backup;
    bool backupRan = false;
    bool linksSplit = false;
    std::optional<CBackupReseal::Outcome> resealed;
    QString failure;
    {
        CBusyGuard guard(*this, kBusyWriting);
        if (!guard)
            return SaveOutcome::Failed;
        const QString target = QFileInfo(path).absoluteFilePath();

        // 1. One writer at a time, from here to the rename (tqb holds the
        //    lock since its read).
        CDocumentLock lock(target);
        const bool held = m_heldLock && m_heldLock->isLocked() && m_heldLock->documentPath() == target;
        if (!held && !lock.lock(CDocumentLock::kDefaultWaitMs, &m_prompter)) {
            failure = lock.failureText();
        } else {
            // 2. The new file is written and synced under a temporary name,
            //    enciphered from the tables and hashed on the way.
            CContentHash hash;
            const auto fill = [this, &hash](QFileDevice &file) { return writeTo(file, &hash); };
            const bool wasRead = m_diskCheck.knows(target);
            const auto beforeRename = [&] {
                // 3. Under the lock, just before the rename: the file is
                //    still the version read here.
                if (wasRead && !m_diskCheck.isUnchanged(target)) {
                    outcome = SaveOutcome::ChangedOnDisk;
                    return false;
                }
                // The rename gives this name a file of its own; other hard
                // links keep the old one. Told once: the new file has one name.
                linksSplit = otherNames(target);
                // 4. The backup copies rotate only now, when nothing but the
                //    rename is left to fail.
                if (m_backup.on) {
                    backup = CBackupStep::run(target, m_backup, m_clock());
                    backupRan = true;
                }
                // 4a. Protection became the sealed form: the copies too.
                if (m_password.weakerCopies() && envelopeKey() && (m_backup.on || !m_backup.folder.isEmpty()))
                    resealed = CBackupReseal::run(target, m_backup, *m_password.weakerCopies(), *envelopeKey(),
                                                  m_settings.number(CSettings::SortType), nowSeconds());
                return true;
            };
            // 5. The rename, and the folder synced.
            const CDocumentFile::Result result = CDocumentFile::replace(target, fill, {.beforeRename = beforeRename, .newLike = m_strPathName});
            if (result.ok) {
                outcome = SaveOutcome::Saved;
                if (protection() == Protection::Encrypted)
                    m_password.copiesSealed();
                setModifiedFlag(false);
                m_diskCheck.remember(target, CDiskFingerprint::of(target, hash));
            } else if (!result.refused) {
                failure = result.error;
            }
        }
    }
    // Told once the lock is let go, so that no question holds up other writers.
    if (linksSplit && outcome == SaveOutcome::Saved)
        m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc", kLinksSplit).arg(QDir::toNativeSeparators(path)));
    if (backupRan) {
        reportBackupFailure(backup.failedCopy);
        // A file kept aside is a new event every time: always told.
        if (!backup.keptAside.isEmpty())
            m_prompter.message(CBackupStep::keptAsideMessage(path, backup));
    }
    if (resealed) {
        if (resealed->sealed > 0)
            m_prompter.message(QCoreApplication::translate("CBackupReseal", CBackupReseal::kSealed));
        for (const QString &copy : std::as_const(resealed->left))
            m_prompter.message(QCoreApplication::translate("CBackupReseal", CBackupReseal::kLeft).arg(QDir::toNativeSeparators(copy)));
    }
    if (!failure.isEmpty() && reportFailure)
        m_prompter.message(failure);
    setDocumentFolderFrom(path);
    return outcome;
}

void CTorviQuillbookDoc::reportBackupFailure(const QString &failedCopy)
{
    // Told once; while the copies keep failing the saves go on quietly.
    if (!failedCopy.isEmpty() && !m_bBackupFailing)
        m_prompter.message(QCoreApplication::translate("CBackupStep", CBackupStep::kCopyFailed).arg(QDir::toNativeSeparators(failedCopy)));
    m_bBackupFailing = !failedCopy.isEmpty();
}

QString CTorviQuillbookDoc::chooseSavePath(QString proposed, const QString &filters, const QString &title)
{
    for (;;) {
        const QString path = m_prompter.chooseSaveFile(title, proposed, filters);
        if (path.isEmpty() || !QFileInfo::exists(path))
            return path;
        const QString question = QCoreApplication::translate("CTorviQuillbookDoc", kReplaceQuestion).arg(QFileInfo(path).fileName());
        if (m_prompter.message(question, IPrompter::Buttons::YesNo) == IPrompter::Answer::Yes)
            return path;
        proposed = path;  // No: back to the chooser, as the platform's dialogs do
    }
}

bool CTorviQuillbookDoc::saveCommand()
{
    if (!m_strPathName.isEmpty())
        return saveDocument(m_strPathName);
    const QString path =
        chooseSavePath(dialogFolder() + m_strTitle, QCoreApplication::translate("CTorviQuillbookDoc", "Torvi Quillbook Files (*.tqb);;All Files (*.*)"));
    if (path.isEmpty())
        return false;
    if (!saveDocument(path))
        return false;
    setPathName(path);
    return true;
}

bool CTorviQuillbookDoc::saveModified()
{
    if (m_nBusy == kIdle)
        emit finishEditsRequested();
    if (m_settings.isOn(CSettings::AutoSave) && !m_strPathName.isEmpty()) {
        if (saveDocument(m_strPathName))
            return true;
        // The automatic save failed and was reported: fall back to asking, so
        // that the user decides and nothing is dropped silently.
    }
    if (!m_bModified)
        return true;
    const IPrompter::Answer answer =
        m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc", "Save changes to %1?").arg(m_strTitle), IPrompter::Buttons::YesNoCancelDefaultYes);
    if (answer == IPrompter::Answer::Cancel)
        return false;
    if (answer == IPrompter::Answer::No)
        return true;
    return saveCommand();
}

void CTorviQuillbookDoc::releaseAutoSave()
{
    if (m_nAutoSaveHolds <= 0 || --m_nAutoSaveHolds > 0 || !m_bAutoSaveHeld)
        return;
    m_bAutoSaveHeld = false;
    autoSaveOnSelectionChange();
}

void CTorviQuillbookDoc::autoSaveOnSelectionChange()
{
    if (m_nAutoSaveHolds > 0) {
        m_bAutoSaveHeld = true;
        return;
    }
    if (m_nBusy == kIdle)
        emit finishEditsRequested();
    if (m_nBusy >= kBusyWriting || !m_bModified || !m_settings.isOn(CSettings::AutoSave) || m_strPathName.isEmpty())
        return;
    saveQuietly();
}

void CTorviQuillbookDoc::saveQuietly()
{
    // A file changed by another program is not written over unasked; the
    // question comes once per change.
    if (m_diskCheck.changed()) {
        if (m_diskCheck.asked())
            return;
        bool savedElsewhere = false;
        if (!m_diskCheck.mayOverwrite(m_strPathName, savedElsewhere))
            return;
    }
    // A failing automatic save is told once; later ones try again quietly
    // until a save succeeds. The document stays modified meanwhile.
    SaveOutcome outcome = writeDocument(m_strPathName, !m_bAutoSaveFailing);
    if (outcome == SaveOutcome::ChangedOnDisk && !m_diskCheck.asked()) {
        // Changed by another program while this save ran: asked once.
        bool savedElsewhere = false;
        if (m_diskCheck.askAndFollow(m_strPathName, savedElsewhere))
            outcome = writeDocument(m_strPathName, !m_bAutoSaveFailing);
        else if (savedElsewhere)
            outcome = SaveOutcome::Saved;
    }
    if (outcome != SaveOutcome::ChangedOnDisk)
        m_bAutoSaveFailing = outcome == SaveOutcome::Failed;
}

void CTorviQuillbookDoc::saveBeforeLock()
{
    if (m_nBusy != kIdle)
        return;
    // A label being typed is part of the document, and may be its only change.
    emit finishEditsRequested();
    if (m_nBusy == kIdle && m_bModified && !m_strPathName.isEmpty())
        saveQuietly();
}

bool CTorviQuillbookDoc::lockContents()
{
    if (!hasPassword() || m_nBusy != kIdle)
        return false;
    saveBeforeLock();
    if (m_nBusy != kIdle)
        return false;
    // Kept as the file would hold it: an unnamed document, or one whose save
    // failed, loses nothing behind the lock.
    m_lockedBytes = writeToBytes();
    m_bLockedModified = m_bModified;
    memorywipe::wipe(m_strCurTitle);
    memorywipe::wipe(m_strCurText);
    wipeItems();
    if (!clearContents())
        return false;
    // The views drop what they showed while the document may still be
    // asked for; only then does it refuse every operation.
    emit updateAllViews(kHintRefreshAll);
    m_nBusy = kLocked;
    return true;
}

bool CTorviQuillbookDoc::unlockContents()
{
    if (m_nBusy != kLocked)
        return true;
    m_nBusy = kIdle;
    m_bReopening = true;
    const bool read = readFile(m_lockedBytes, {});
    m_bReopening = false;
    if (!read) {
        // Cannot happen with the key that wrote them; the bytes stay locked.
        clearContents();
        m_nBusy = kLocked;
        return false;
    }
    m_lockedBytes = QByteArray();
    m_bModified = m_bLockedModified;
    emit titleChanged();
    emit updateAllViews(kHintRefreshAll);
    return true;
}

void CTorviQuillbookDoc::saveAsCommand()
{
    QString proposed = m_strPathName.isEmpty() ? QString() : m_strPathName.left(m_strPathName.size() - 4);
    if (!proposed.isEmpty())
        proposed = dialogFolder() + QFileInfo(proposed).fileName();
    else
        proposed = dialogFolder();
    const QString path =
        chooseSavePath(proposed, QCoreApplication::translate("CTorviQuillbookDoc", "Text Files (*.txt);;Torvi Quillbook Files (*.tqb)"));
    if (path.isEmpty())
        return;
    // Only a lower-case "txt" exports; "X.TXT" is saved as a document.
    if (QFileInfo(path).suffix() == QLatin1String("txt")) {
        if (!mayWritePlainCopy())
            return;
        exportText(path);
        return;
    }
    // The new name only once the file is there: a failed save keeps the old
    // one, and the recent list never names a file that was not written.
    if (saveDocument(path))
        setPathName(path);
}

bool CTorviQuillbookDoc::exportText(const QString &path)
{
    if (m_nBusy == kIdle)
        emit finishEditsRequested();
    CBusyGuard guard(*this, kBusyWriting);
    if (!guard)
        return false;
    if (const QString refused = CDocumentFile::exportTargetProblem(path); !refused.isEmpty()) {
        m_prompter.message(refused);
        return false;
    }
    if (CTextExport::write(*this, path, m_strPathName, hasPassword()))
        return true;
    m_prompter.message(QCoreApplication::translate("CTextExport", CTextExport::kErrorMessage));
    return false;
}

// ------------------------------------------------------------------ records

namespace {

QString formatProblem(CLoadedFile &file)
{
    if (file.bytes.isEmpty() || CEnvelope::isEnvelope(file.bytes))
        return {};
    const CArchiveReader::Status status = CArchiveReader::scan(file.bytes, file.records);
    if (status == CArchiveReader::Status::Ok)
        return {};
    return QCoreApplication::translate("CDocumentFile", status == CArchiveReader::Status::UnknownSchema
                                                            ? CDocumentFile::kUnknownVersion
                                                            : CDocumentFile::kUnexpectedFormat);
}

} // namespace

bool CTorviQuillbookDoc::checkFormat(CLoadedFile &file)
{
    const QString problem = formatProblem(file);
    if (problem.isEmpty())
        return true;
    m_prompter.message(problem);
    return false;
}

QString CTorviQuillbookDoc::problemReading(const QString &path, CLoadedFile &file, bool emptyIsNoDocument)
{
    const CDocumentFile::Result loaded = CDocumentFile::load(path, file);
    if (!loaded.ok)
        return loaded.error;
    if (emptyIsNoDocument && file.bytes.isEmpty())
        return QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnexpectedFormat);
    return formatProblem(file);
}

bool CTorviQuillbookDoc::readFromBytes(QByteArray bytes)
{
    return readFile(std::move(bytes), {});
}

bool CTorviQuillbookDoc::readFile(QByteArray bytes, const std::function<void(QByteArrayView)> &fileBytes,
                                  CRecordIndex scanned)
{
    if (!clearContents())
        return false;  // reported; nothing is read into a document that is in use
    const bool sealed = CEnvelope::isEnvelope(bytes);
    if (sealed) {
        QByteArray plain;
        using Outcome = CDocumentPassword::EnvelopeOutcome;
        const Outcome opened = m_password.openEnvelope(bytes, plain, m_diskCheck.reloading() || m_bRereading || m_bReopening);
        // No password given opened it: the file may be sound (a wrong
        // password and a changed byte look alike here).
        if (opened != Outcome::Unreadable)
            m_bPasswordDeclined = opened == Outcome::Declined;
        if (opened != Outcome::Opened) {
            clearContents();
            return false;
        }
        if (fileBytes)
            fileBytes(bytes);  // the file as it lies on the disk, not the document inside
        bytes = std::move(plain);
    }
    // The records stay in the file bytes until the take-over decodes them
    // into the tables; the index only says where each one lies.
    // An index found by checkFormat() is of these very bytes (a sealed
    // file's records are only found once it is opened).
    CRecordIndex records = std::move(scanned);
    const CArchiveReader::Status status =
        !sealed && !records.empty() ? CArchiveReader::Status::Ok : CArchiveReader::scan(bytes, records);
    if (status != CArchiveReader::Status::Ok) {
        m_prompter.message(QCoreApplication::translate("CDocumentFile", status == CArchiveReader::Status::UnknownSchema
                                                                            ? CDocumentFile::kUnknownVersion
                                                                            : CDocumentFile::kUnexpectedFormat));
        clearContents();
        return false;
    }
    bytes = QByteArray();  // the index holds them now, alone if they were moved in
    if (sealed) {
        // Sealed is a document without password; no version writes one
        // with the cipher inside, and its notes would read as garbage.
        if (CRecordMapper::claimsPassword(records)) {
            m_prompter.message(QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnexpectedFormat));
            clearContents();
            return false;
        }
    } else if (!m_password.unlock(records, m_diskCheck.reloading() || m_bRereading || m_bReopening)) {
        m_bPasswordDeclined = true;
        clearContents();
        setPassword({});  // the refused one must not encipher anything later
        return false;
    }
    if (!sealed)
        records.onConsumed(fileBytes);
    else  // the plain document inside the seal is zeroed as it is decoded
        records.onConsumed([](QByteArrayView seen) { memorywipe::zero(const_cast<char *>(seen.data()), seen.size()); });
    if (!takeOverRecords(std::move(records))) {
        clearContents();
        return false;
    }
    return true;
}

bool CTorviQuillbookDoc::writeTo(QIODevice &device, CContentHash *hash)
{
    if (protection() == Protection::Encrypted && envelopeKey()) {
        // The same document bytes, without password, sealed on their way
        // out; the hash sees the file as it lands on the disk.
        CEnvelopeWriter sealed(device, *envelopeKey());
        if (hash)
            sealed.observeOutput([hash](QByteArrayView bytes) { hash->add(bytes); });
        CArchiveWriter writer(sealed);
        CRecordMapper::write(*this, {}, false, nowSeconds(), writer);
        const bool written = writer.finish();
        return sealed.finish() && written;
    }
    CArchiveWriter writer(device);
    if (hash)
        writer.observeOutput([hash](QByteArrayView bytes) { hash->add(bytes); });
    CRecordMapper::write(*this, key(), hasPassword(), nowSeconds(), writer);
    return writer.finish();
}

QByteArray CTorviQuillbookDoc::writeToBytes()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTo(buffer);  // memory takes every byte
    return bytes;
}

bool CTorviQuillbookDoc::takeOverRecords(CRecordIndex &&records)
{
    CRecordMapper::TakeOverResult result;
    // A decoding thread that fails (out of memory on a large file) ends the
    // open; what was taken over so far is no document.
    try {
        result = CRecordMapper::takeOver(std::move(records), key(), m_settings.number(CSettings::SortType), nowSeconds(),
                                         *this, m_keepText);
    } catch (const std::bad_alloc &) {
        m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc", kNoMemoryToOpen));
        return false;
    } catch (...) {
        m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc", kOpenFailed));
        return false;
    }
    m_bHasReminders = m_bHasReminders || result.hasReminders;
    m_bLoadedItems = result.loadedItems;
    return true;
}

bool CTorviQuillbookDoc::reloadFromFile()
{
    const QString ownPath = m_strPathName;
    const QString ownTitle = m_strTitle;
    const QString placeholder = QString::fromLatin1(kReloadPlaceholder);
    // Reading again drops what was changed since the last save. Asked as
    // that, not as saving under the placeholder, which would put a file of
    // that name on disk.
    if (m_nBusy == kIdle)
        emit finishEditsRequested();
    if (m_bModified
        && m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc",
                                                          "The changes made since the document was last saved will "
                                                          "be lost when it is read again. Read it again?"),
                              IPrompter::Buttons::YesNo)
               != IPrompter::Answer::Yes)
        return false;
    // Named after a placeholder, so that nothing read or kept here is ever
    // saved over the document's own file by mistake. The placeholder is a
    // title only, without a path.
    m_strPathName.clear();
    m_strTitle = placeholder;
    emit titleChanged();
    const bool reloaded = openDocument(ownPath);
    // A file that could not be read left the contents under the placeholder:
    // they get their own name back. One that was no document left the
    // document empty and unnamed, and so it stays; contents saved under a
    // name of the user's keep that name.
    if (!reloaded && m_strPathName.isEmpty() && m_strTitle == placeholder) {
        m_strPathName = ownPath;
        m_strTitle = ownTitle;
        emit titleChanged();
    }
    return reloaded;
}
