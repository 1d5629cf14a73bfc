#include "doc/TorviQuillbookDoc.h"

#include "crypto/Envelope.h"
#include "doc/Backup.h"
#include "doc/DocumentLock.h"
#include "doc/DocumentFile.h"
#include "doc/PasswordCheck.h"
#include "doc/PasswordKey.h"
#include "doc/RecordMapper.h"
#include "doc/TextExport.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"
#include "settings/Settings.h"
#include "text/FolderPath.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {

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
    m_diskPrint = {};
    m_strDiskPrintPath.clear();
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
    QByteArray bytes;
    if (!loadFile(path, bytes))
        return false;  // nothing was read: the contents stay
    return openLoadedDocument(path, std::move(bytes), addToRecent);
}

bool CTorviQuillbookDoc::loadFile(const QString &path, QByteArray &bytes)
{
    const CDocumentFile::Result loaded = CDocumentFile::load(path, bytes);
    if (!loaded.ok)
        m_prompter.message(loaded.error);
    return loaded.ok;
}

bool CTorviQuillbookDoc::openLoadedDocument(const QString &path, QByteArray bytes, bool addToRecent)
{
    m_bPasswordDeclined = false;
    if (!idleOrReported())
        return false;
    // The file's contents are hashed in the pass that decodes them; a reader
    // that never saves needs no hash.
    const qint64 modifiedMs = CDiskFingerprint::modifiedMs(path);
    [[maybe_unused]] const qint64 size = bytes.size();
    CContentHash hash;
    CRecordIndex::Consumer fileBytes;
    if (!m_bReaderOnly)
        fileBytes = [&hash](QByteArrayView seen) { hash.add(seen); };
    if (bytes.isEmpty()) {
        clearContents();  // an empty file is an empty document, no password asked
    } else if (!readFile(std::move(bytes), fileBytes)) {
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
    rememberDiskState(path, m_bReaderOnly ? CDiskFingerprint::unknown() : CDiskFingerprint::of(modifiedMs, hash));
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
    if (!mayOverwrite(path, savedElsewhere))
        return savedElsewhere;
    for (;;) {
        switch (writeDocument(path, true)) {
        case SaveOutcome::Saved:
            return true;
        case SaveOutcome::Failed:
            return false;
        case SaveOutcome::ChangedOnDisk:
            // Another program saved between our read and our rename.
            if (!followDiskAnswer(askAboutDiskChange(), path, savedElsewhere))
                return savedElsewhere;
            break;  // kept: write again over the file as it is now
        }
    }
}

CTorviQuillbookDoc::SaveOutcome CTorviQuillbookDoc::saveIfUnchanged(const QString &path)
{
    return writeDocument(path, true);
}

// ------------------------------------------------------ changed on disk

QStringList CTorviQuillbookDoc::changedOnDiskChoices()
{
    return {QCoreApplication::translate("CTorviQuillbookDoc", "Reload"), QCoreApplication::translate("CTorviQuillbookDoc", "Keep my version"), QCoreApplication::translate("CTorviQuillbookDoc", "Save as...")};
}

void CTorviQuillbookDoc::rememberDiskState(const QString &path, const CDiskFingerprint &print)
{
    m_diskPrint = print;
    m_strDiskPrintPath = QFileInfo(path).absoluteFilePath();
    m_bDiskChangeAsked = false;
}

bool CTorviQuillbookDoc::fileChangedOnDisk() const
{
    return !m_strDiskPrintPath.isEmpty() && m_strDiskPrintPath == m_strPathName
        && !m_diskPrint.matches(m_strDiskPrintPath);
}

CTorviQuillbookDoc::DiskAnswer CTorviQuillbookDoc::askAboutDiskChange()
{
    m_bDiskChangeAsked = true;
    const int choice = m_prompter.choose(QCoreApplication::translate("CTorviQuillbookDoc", kChangedOnDisk).arg(QDir::toNativeSeparators(m_strPathName)),
                                         changedOnDiskChoices());
    switch (choice) {
    case 0:
        return DiskAnswer::Reload;
    case 1:
        return DiskAnswer::Keep;
    case 2:
        return DiskAnswer::SaveAs;
    default:
        return DiskAnswer::Cancel;
    }
}

bool CTorviQuillbookDoc::mayOverwrite(const QString &path, bool &savedElsewhere)
{
    savedElsewhere = false;
    if (QFileInfo(path).absoluteFilePath() != m_strPathName || !fileChangedOnDisk())
        return true;
    return followDiskAnswer(askAboutDiskChange(), path, savedElsewhere);
}

bool CTorviQuillbookDoc::followDiskAnswer(DiskAnswer answer, const QString &path, bool &savedElsewhere)
{
    savedElsewhere = false;
    switch (answer) {
    case DiskAnswer::Keep:
        acceptDiskVersion(path);
        return true;
    case DiskAnswer::Reload:
        reloadFromDisk();
        return false;
    case DiskAnswer::SaveAs:
        savedElsewhere = saveUnderAnotherName();
        return false;
    case DiskAnswer::Cancel:
        return false;
    }
    return false;
}

void CTorviQuillbookDoc::acceptDiskVersion(const QString &path)
{
    // The next save writes over the file without asking again, unless it
    // changes once more.
    QByteArray bytes;
    if (CDocumentFile::load(path, bytes).ok)
        rememberDiskState(path, CDiskFingerprint::of(path, bytes));
}

bool CTorviQuillbookDoc::saveUnderAnotherName()
{
    const QString path =
        chooseSavePath(dialogFolder(), QCoreApplication::translate("CTorviQuillbookDoc", "Torvi Quillbook Files (*.tqb);;All Files (*.*)"));
    if (path.isEmpty())
        return false;
    // The new name only once the file is there: a failed save keeps the old one.
    if (writeDocument(path, true) != SaveOutcome::Saved)
        return false;
    setPathName(path);
    return true;
}

bool CTorviQuillbookDoc::reloadFromDisk()
{
    // The selected note is found again by its place in the tree order and
    // its title, or by its title alone when other notes moved it.
    const int current = m_nCurItem;
    const QByteArray title = isItem(current) ? CItemTables::title(current) : QByteArray();
    const qsizetype place = current >= 0 ? order().indexOf(quint32(current)) : -1;
    const QString path = m_strPathName;
    m_bReuseFittingKey = true;
    const bool reloaded = openDocument(path, false);
    m_bReuseFittingKey = false;
    if (!reloaded)
        return false;
    m_nSelectAfterReload = -1;
    if (isItem(place) && CItemTables::title(place) == title)
        m_nSelectAfterReload = int(place);
    else if (!title.isNull())
        m_nSelectAfterReload = int(titles().indexOf(title));
    emit statusMessage(QCoreApplication::translate("CTorviQuillbookDoc", kReloadedFromDisk).arg(m_strTitle));
    emit updateAllViews(kHintRefreshAll);
    return true;
}

int CTorviQuillbookDoc::takeSelectionAfterReload()
{
    return std::exchange(m_nSelectAfterReload, -1);
}

void CTorviQuillbookDoc::checkDiskChange()
{
    if (m_nBusy != kIdle || !fileChangedOnDisk())
        return;
    if (!m_bModified) {
        reloadFromDisk();
        return;
    }
    if (m_bDiskChangeAsked)
        return;
    switch (askAboutDiskChange()) {
    case DiskAnswer::Reload:
        reloadFromDisk();
        break;
    case DiskAnswer::Keep:
        acceptDiskVersion(m_strPathName);
        break;
    case DiskAnswer::SaveAs:
        saveUnderAnotherName();
        break;
    case DiskAnswer::Cancel:
        break;
    }
}

CTorviQuillbookDoc::SaveOutcome CTorviQuillbookDoc::writeDocument(const QString &path, bool reportFailure)
{
    SaveOutcome outcome = SaveOutcome::Failed;
    CBackupStep::Outcome backup;
    bool backupRan = false;
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
        if (!held && !lock.lock(CDocumentLock::kDefaultWaitMs)) {
            failure = lock.failureText();
        } else {
            // 2. The new file is written and synced under a temporary name,
            //    enciphered from the tables and hashed on the way.
            CContentHash hash;
            const auto fill = [this, &hash](QFileDevice &file) { return writeTo(file, &hash); };
            const bool wasRead = m_diskPrint.isValid() && m_strDiskPrintPath == target;
            const auto beforeRename = [&] {
                // 3. Under the lock, just before the rename: the file is
                //    still the version read here.
                if (wasRead && !m_diskPrint.matches(target)) {
                    outcome = SaveOutcome::ChangedOnDisk;
                    return false;
                }
                // 4. The backup copies rotate only now, when nothing but the
                //    rename is left to fail.
                if (m_backup.on) {
                    backup = CBackupStep::run(target, m_backup, m_clock());
                    backupRan = true;
                }
                return true;
            };
            // 5. The rename, and the folder synced.
            const CDocumentFile::Result result = CDocumentFile::replace(target, fill, beforeRename);
            if (result.ok) {
                outcome = SaveOutcome::Saved;
                setModifiedFlag(false);
                rememberDiskState(target, CDiskFingerprint::of(target, hash));
            } else if (!result.refused) {
                failure = result.error;
            }
        }
    }
    // Told once the lock is let go, so that no question holds up other writers.
    if (backupRan) {
        reportBackupFailure(backup.failedCopy);
        // A file kept aside is a new event every time: always told.
        if (!backup.keptAside.isEmpty())
            m_prompter.message(CBackupStep::keptAsideMessage(path, backup));
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
        m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc", "Save changes to %1?").arg(m_strTitle), IPrompter::Buttons::YesNoCancel);
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
    if (fileChangedOnDisk()) {
        if (m_bDiskChangeAsked)
            return;
        bool savedElsewhere = false;
        if (!mayOverwrite(m_strPathName, savedElsewhere))
            return;
    }
    // A failing automatic save is told once; later ones try again quietly
    // until a save succeeds. The document stays modified meanwhile.
    SaveOutcome outcome = writeDocument(m_strPathName, !m_bAutoSaveFailing);
    if (outcome == SaveOutcome::ChangedOnDisk && !m_bDiskChangeAsked) {
        // Changed by another program while this save ran: asked once.
        bool savedElsewhere = false;
        if (followDiskAnswer(askAboutDiskChange(), m_strPathName, savedElsewhere))
            outcome = writeDocument(m_strPathName, !m_bAutoSaveFailing);
        else if (savedElsewhere)
            outcome = SaveOutcome::Saved;
    }
    if (outcome != SaveOutcome::ChangedOnDisk)
        m_bAutoSaveFailing = outcome == SaveOutcome::Failed;
}

void CTorviQuillbookDoc::saveBeforeLock()
{
    if (m_nBusy == kIdle && m_bModified && !m_strPathName.isEmpty())
        saveQuietly();
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
    if (CTextExport::write(*this, path))
        return true;
    m_prompter.message(QCoreApplication::translate("CTextExport", CTextExport::kErrorMessage));
    return false;
}

// ------------------------------------------------------------------ records

bool CTorviQuillbookDoc::checkFormat(const QByteArray &bytes)
{
    if (bytes.isEmpty() || CEnvelope::isEnvelope(bytes))
        return true;
    CRecordIndex records;
    const CArchiveReader::Status status = CArchiveReader::scan(bytes, records);
    if (status == CArchiveReader::Status::Ok)
        return true;
    m_prompter.message(QCoreApplication::translate("CDocumentFile", status == CArchiveReader::Status::UnknownSchema
                                                                        ? CDocumentFile::kUnknownVersion
                                                                        : CDocumentFile::kUnexpectedFormat));
    return false;
}

bool CTorviQuillbookDoc::readFromBytes(QByteArray bytes)
{
    return readFile(std::move(bytes), {});
}

bool CTorviQuillbookDoc::readFile(QByteArray bytes, const std::function<void(QByteArrayView)> &fileBytes)
{
    if (!clearContents())
        return false;  // reported; nothing is read into a document that is in use
    const bool sealed = CEnvelope::isEnvelope(bytes);
    if (sealed) {
        if (fileBytes)
            fileBytes(bytes);  // the file as it lies on the disk, not the document inside
        QByteArray plain;
        if (!openEnvelope(bytes, plain)) {
            clearContents();
            return false;
        }
        bytes = std::move(plain);
    }
    // The records stay in the file bytes until the take-over decodes them
    // into the tables; the index only says where each one lies.
    CRecordIndex records;
    const CArchiveReader::Status status = CArchiveReader::scan(bytes, records);
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
    } else if (!passwordStep(records)) {
        m_bPasswordDeclined = true;
        clearContents();
        setPassword({});  // the refused one must not encipher anything later
        return false;
    }
    if (!sealed)
        records.onConsumed(fileBytes);
    takeOverRecords(std::move(records));
    return true;
}

bool CTorviQuillbookDoc::writeTo(QIODevice &device, CContentHash *hash)
{
    if (m_protection == Protection::Encrypted && m_envelopeKey) {
        // The same document bytes, without password, sealed on their way
        // out; the hash sees the file as it lands on the disk.
        CEnvelopeWriter sealed(device, *m_envelopeKey);
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
    CRecordMapper::write(*this, m_arKey, m_bPassword, nowSeconds(), writer);
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

void CTorviQuillbookDoc::takeOverRecords(CRecordIndex &&records)
{
    const CRecordMapper::TakeOverResult result =
        CRecordMapper::takeOver(std::move(records), m_arKey, m_settings.number(CSettings::SortType), nowSeconds(), *this);
    m_bHasReminders = m_bHasReminders || result.hasReminders;
    m_bLoadedItems = result.loadedItems;
}

bool CTorviQuillbookDoc::passwordStep(const CRecordIndex &records)
{
    bool ask = false;
    const CRecordView first = records.empty() ? CRecordView{} : records.view(0);
    if (!records.empty() && first.m_nRemind > 0)
        ask = true;  // a header that says the document has a password
    else if (records.empty() || first.m_nKind == 0)
        ask = m_settings.number(CSettings::ReqPsw) == 1;  // a file without header may be enciphered
    if (!ask) {
        setPassword({});
        return true;
    }
    // Read again because another program changed it: the key held fits.
    if (m_bReuseFittingKey && CPasswordCheck::judge(records, m_arKey) == CPasswordCheck::Verdict::Fits)
        return true;
    // A key that turns the notes into garbage is not taken: shown, the
    // garbage would be written back by the next save. The user is asked
    // again; cancelling leaves the key held before, which must fit too.
    // The same wrong password given twice, or too many wrong ones, end the
    // asking, so that no front end can keep it going for ever.
    constexpr int kMaxWrongPasswords = 5;
    m_bAskPassword = true;
    bool fits = false;
    bool entered = false;
    QList<QByteArray> rejected;
    for (;;) {
        entered = askForPassword();
        fits = CPasswordCheck::judge(records, m_arKey) != CPasswordCheck::Verdict::Wrong;
        const QByteArray tried = m_strPassword.toByteArray();
        if (fits || !entered || rejected.contains(tried) || rejected.size() + 1 >= kMaxWrongPasswords)
            break;
        rejected.append(tried);
        m_prompter.message(QCoreApplication::translate("CPasswordCheck", CPasswordCheck::kSeemsWrong));
    }
    m_bAskPassword = false;
    // After a Cancel the user knows why the document did not open.
    if (!fits && entered)
        m_prompter.message(QCoreApplication::translate("CPasswordCheck", CPasswordCheck::kNotOpened));
    return fits;
}

// ----------------------------------------------------------------- password

bool CTorviQuillbookDoc::setPassword(const QByteArray &password)
{
    return setPassword(password, m_protection == Protection::None ? Protection::Compatible : m_protection);
}

bool CTorviQuillbookDoc::setPassword(const QByteArray &password, Protection form)
{
    std::vector<quint32> key = CPasswordKey::derive(password);
    // A password that cannot give a key is not kept: the file would claim a
    // password while nothing in it is enciphered.
    if (key.empty())
        form = Protection::None;
    std::unique_ptr<CEnvelopeKey> sealKey;
    if (form == Protection::Encrypted) {
        if (m_protection == Protection::Encrypted && m_envelopeKey && m_strPassword.equals(password)) {
            sealKey = std::move(m_envelopeKey);  // derived once: the same password keeps its key
        } else {
            sealKey = CEnvelopeKey::derive(password, CEnvelope::Params{});
            if (!sealKey) {
                m_prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kNoMemory));
                return false;
            }
        }
    }
    m_strPassword = form == Protection::None ? CSecureBytes() : CSecureBytes(password);
    m_arKey = form == Protection::Compatible ? std::move(key) : std::vector<quint32>();
    m_envelopeKey = std::move(sealKey);
    const Protection had = std::exchange(m_protection, form);
    m_bPassword = form != Protection::None;
    if (had != m_protection)
        emit passwordChanged();
    return true;
}

bool CTorviQuillbookDoc::mayWritePlainCopy()
{
    return m_protection != Protection::Encrypted
        || m_prompter.message(QCoreApplication::translate("CTorviQuillbookDoc", kExportNotEncrypted), IPrompter::Buttons::YesNo)
               == IPrompter::Answer::Yes;
}

bool CTorviQuillbookDoc::isPassword(const QByteArray &password) const
{
    return m_bPassword && m_strPassword.equals(password);
}

QString CTorviQuillbookDoc::passwordStatusText() const
{
    switch (m_protection) {
    case Protection::Encrypted:
        return QCoreApplication::translate("CTorviQuillbookDoc", kEncryptedStatus);
    case Protection::Compatible:
        return QCoreApplication::translate("CTorviQuillbookDoc", "    Password protected  ");
    case Protection::None:
        break;
    }
    return QCoreApplication::translate("CTorviQuillbookDoc", " No password protection  ");
}

void CTorviQuillbookDoc::changePassword()
{
    askForPassword();
}

bool CTorviQuillbookDoc::askForPassword()
{
    IPrompter::PasswordRequest request;
    request.current = m_strPassword.toByteArray();
    request.allowReload = m_bLoadedItems;
    request.duringOpen = m_bAskPassword;
    // While a file opens its header decides: only the compatible form asks here.
    request.protection = m_bAskPassword ? Protection::Compatible : m_protection;
    const IPrompter::PasswordAnswer answer = m_prompter.askPassword(request);
    bool reload = false;
    QByteArray password = request.current;
    // Cancel keeps the password held; a file being opened reads with it as
    // its header says, enciphered.
    Protection form = m_bAskPassword ? Protection::Compatible : m_protection;
    if (answer.accepted) {
        password = answer.password;
        reload = answer.reload;
        if (!m_bAskPassword)
            form = answer.encrypt ? Protection::Encrypted : Protection::Compatible;
        if ((password != request.current || (form != m_protection && !password.isEmpty())) && !reload
            && m_bLoadedItems)
            setModifiedFlag(true);
    }
    if (password.isEmpty())
        form = Protection::None;
    setPassword(password, form);
    emit titleChanged();
    if (reload)
        reloadFromFile();
    return answer.accepted;
}

bool CTorviQuillbookDoc::openEnvelope(const QByteArray &file, QByteArray &plain)
{
    CEnvelope::Header header;
    switch (CEnvelope::readHeader(file, header)) {
    case CEnvelope::HeaderStatus::Ok:
        break;
    case CEnvelope::HeaderStatus::UnknownVersion:
        m_prompter.message(QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnknownVersion));
        return false;
    case CEnvelope::HeaderStatus::NotEnvelope:
    case CEnvelope::HeaderStatus::Damaged:
        m_prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kRefused));
        return false;
    }
    // Read again because another program changed it: the key held may fit.
    if (m_bReuseFittingKey && m_envelopeKey && m_envelopeKey->fits(header) && m_envelopeKey->open(file, plain))
        return true;
    // As with the compatible cipher: a refused password is asked again; the
    // same one twice, too many, or Cancel end the asking.
    constexpr int kMaxWrongPasswords = 5;
    m_bAskPassword = true;
    bool opened = false;
    std::vector<CSecureBytes> rejected;
    IPrompter::PasswordRequest request;
    request.current = m_strPassword.toByteArray();
    request.duringOpen = true;
    request.protection = Protection::Encrypted;
    for (;;) {
        IPrompter::PasswordAnswer answer = m_prompter.askPassword(request);
        request.current = answer.password;
        if (!answer.accepted)
            break;
        if (std::any_of(rejected.cbegin(), rejected.cend(),
                        [&answer](const CSecureBytes &r) { return r.equals(answer.password); }))
            break;
        std::unique_ptr<CEnvelopeKey> key = CEnvelopeKey::derive(answer.password, header.params, header.salt);
        if (!key) {
            m_prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kNoMemory));
            break;
        }
        if (key->open(file, plain)) {
            const Protection had = std::exchange(m_protection, Protection::Encrypted);
            m_strPassword = CSecureBytes(answer.password);
            m_envelopeKey = std::move(key);
            m_arKey.clear();
            m_bPassword = true;
            if (had != m_protection)
                emit passwordChanged();
            opened = true;
            break;
        }
        rejected.push_back(CSecureBytes(answer.password));
        m_prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kRefused));
        if (rejected.size() >= size_t(kMaxWrongPasswords))
            break;
    }
    request.current.fill('\0');
    m_bAskPassword = false;
    // No password given opened it: the file may be sound (a wrong password
    // and a changed byte look alike here).
    m_bPasswordDeclined = !opened;
    return opened;
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
    const bool wasAsking = m_bAskPassword;
    m_bAskPassword = false;
    const bool reloaded = openDocument(ownPath);
    m_bAskPassword = wasAsking;
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
