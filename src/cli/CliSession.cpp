#include "CliSession.h"
#include <QCoreApplication>

#include "Console.h"
#include "crypto/Envelope.h"
#include "doc/DocumentFile.h"
#include "doc/DocumentLock.h"
#include "doc/PasswordCheck.h"
#include "doc/PasswordKey.h"
#include "doc/RecordMapper.h"
#include "doc/SealKeys.h"
#include "doc/TorviQuillbookDoc.h"
#include "format/ArchiveReader.h"
#include "io/MappedFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

CCliSession::CCliSession(CCliArguments arguments) : m_args(std::move(arguments)) {}

CCliSession::~CCliSession() = default;

int CCliSession::fail(const QString &message)
{
    CConsole::error(message);
    return kFailure;
}

int CCliSession::open()
{
    const QString iniFile = qEnvironmentVariable(kSettingsVariable);
    if (!iniFile.isEmpty())
        m_store = std::make_unique<QSettings>(QFileInfo(iniFile).absoluteFilePath(), QSettings::IniFormat);
    else
        m_store = CSettings::openUserStore();
    m_settings = std::make_unique<CSettings>(*m_store);

    const bool chosen = !m_args.codePage.isEmpty();
    const QString name = chosen ? m_args.codePage : m_settings->text(CSettings::CodePage);
    m_codePage = CCodePage(name);
    if (!m_codePage.isValid()) {
        CConsole::error(QStringLiteral("unknown code page \"%1\"%2; known: %3")
                            .arg(name, chosen ? QString() : QStringLiteral(" (the \"CodePage\" setting)"),
                                 CCodePage::supportedNames().join(QLatin1String(", "))));
        return chosen ? kUsage : kFailure;
    }
    return kSuccess;
}

std::unique_ptr<CTorviQuillbookDoc> CCliSession::makeDocument()
{
    return std::make_unique<CTorviQuillbookDoc>(*m_settings, m_prompter);
}

std::unique_ptr<CTorviQuillbookDoc> CCliSession::makeReader()
{
    auto doc = makeDocument();
    doc->setReaderOnly();
    return doc;
}

bool CCliSession::readPassword(const QString &what, CTypedPassword &password)
{
    bool tooLong = false;
    const std::optional<QByteArray> line = CConsole::readLine(&tooLong);
    if (!line) {
        fail(tooLong ? QStringLiteral("the %1 line of standard input is longer than %2 bytes").arg(what).arg(CConsole::kMaxLine)
                     : QStringLiteral("standard input ended before the %1").arg(what));
        return false;
    }
    const QString text = QString::fromLocal8Bit(*line);
    password = CTypedPassword(text, m_codePage.fromUnicode(text));
    return true;
}

bool CCliSession::passwordFor(const CTypedPassword &password, Protection form, QByteArray &bytes)
{
    const QString refusal = password.refusal(form, false);
    if (!refusal.isEmpty()) {
        fail(refusal);
        return false;
    }
    bytes = password.bytesFor(form);
    return true;
}

bool CCliSession::takePasswordOption()
{
    if (!m_args.passwordStdin)
        return true;
    if (!readPassword(QStringLiteral("password"), m_password))
        return false;
    if (!m_password.isEmpty())
        m_prompter.setPassword(m_password);
    return true;
}

bool CCliSession::lockDocument(CDocumentLock &lock)
{
    const int waitMs = m_args.waitSeconds >= 0 ? m_args.waitSeconds * 1000 : CDocumentLock::kDefaultWaitMs;
    if (lock.lock(waitMs))
        return true;
    fail(lock.failureText());
    return false;
}

int CCliSession::changeDocument(const QString &path, const Change &change)
{
    CDocumentLock lock(path);
    if (!lockDocument(lock))
        return kFailure;
    // Under the lock only a writer that ignores it can change the file; a
    // few rounds outlast any such save.
    constexpr int kTries = 5;
    for (int tries = 0; tries < kTries; ++tries) {
        const auto doc = makeDocument();
        doc->setHeldLock(&lock);
        // An empty file is a document without notes, whatever protected it
        // before: the password given protects what is written, as for a
        // file that does not exist yet.
        const QFileInfo file(path);
        if (file.exists() && !(file.isFile() && file.size() == 0)) {
            if (!doc->openDocument(path, false))
                return kFailure;
        } else {
            doc->newDocument();
            QByteArray bytes;
            if (!passwordFor(m_password, Protection::Compatible, bytes) || !doc->setPassword(bytes))
                return kFailure;
        }
        const int changed = change(*doc);
        if (changed != kSuccess)
            return changed;
        switch (doc->saveIfUnchanged(path)) {
        case CTorviQuillbookDoc::SaveOutcome::Saved:
            return kSuccess;
        case CTorviQuillbookDoc::SaveOutcome::Failed:
            return kFailure;
        case CTorviQuillbookDoc::SaveOutcome::ChangedOnDisk:
            break;  // read it again and apply the change to that version
        }
    }
    return fail(QStringLiteral("%1 kept being changed by another program while it was saved here; nothing was saved")
                    .arg(QDir::toNativeSeparators(path)));
}

bool CCliSession::loadFile(const QString &path, QByteArray &bytes, std::shared_ptr<const void> &owner)
{
    CLoadedFile file;
    const CDocumentFile::Result loaded = CDocumentFile::load(path, file);
    if (!loaded.ok) {
        fail(loaded.error);
        return false;
    }
    bytes = file.bytes;
    if (file.mapping) {
        std::shared_ptr<const CMappedFile> mapping(std::move(file.mapping));
        m_mapped.push_back(mapping);
        m_mappedStamps.emplace_back(path, file.stamp);
        owner = std::move(mapping);
    }
    return true;
}

bool CCliSession::readCutShort() const
{
    for (const auto &weak : m_mapped) {
        if (const auto mapping = weak.lock(); mapping && mapping->cutShort())
            return true;
    }
    return false;
}

bool CCliSession::readChanged() const
{
    if (m_mappedStamps.empty())
        return false;
    CFileStamp::pauseForTest();
    for (const auto &[path, stamp] : m_mappedStamps) {
        if (!stamp.stillAt(path))
            return true;
    }
    return false;
}

void CCliSession::forgetReads()
{
    m_mapped.clear();
    m_mappedStamps.clear();
}

bool CCliSession::readStoredRecords(const QString &path, CRecordIndex &records, CRecordCodec::Key &key)
{
    records.clear();
    key.clear();
    QByteArray bytes;
    std::shared_ptr<const void> owner;
    if (!loadFile(path, bytes, owner))
        return false;
    if (bytes.isEmpty())
        return true;
    if (CEnvelope::isEnvelope(bytes) && !openSealed(bytes))
        return false;
    const CArchiveReader::Status status = CArchiveReader::scan(bytes, records);
    records.keepAlive(std::move(owner));
    if (status != CArchiveReader::Status::Ok || readCutShort()) {
        fail(QString::fromLatin1(status == CArchiveReader::Status::UnknownSchema ? CDocumentFile::kUnknownVersion
                                                                                  : CDocumentFile::kUnexpectedFormat));
        return false;
    }
    if (m_password.isEmpty() || !CRecordMapper::claimsPassword(records))
        return true;
    QByteArray password;
    if (!passwordFor(m_password, Protection::Compatible, password))
        return false;
    key = CPasswordKey::derive(password);
    if (CPasswordCheck::judge(records, key) == CPasswordCheck::Verdict::Wrong) {
        fail(QCoreApplication::translate("CPasswordCheck", CPasswordCheck::kSeemsWrong));
        return false;
    }
    return true;
}

bool CCliSession::openSealed(QByteArray &bytes)
{
    const auto refuse = [](const char *message) {
        fail(QString::fromLatin1(message));
        return false;
    };
    CEnvelope::Header header;
    switch (CEnvelope::readHeader(bytes, header)) {
    case CEnvelope::HeaderStatus::Ok:
        break;
    case CEnvelope::HeaderStatus::UnknownVersion:
        return refuse(CDocumentFile::kUnknownVersion);
    default:
        return refuse(CEnvelope::kRefused);
    }
    if (m_password.isEmpty())
        return refuse(CCliPrompter::kNoPasswordNote);
    std::unique_ptr<CEnvelopeKey> key;
    bool olderForm = false;
    QByteArray plain;
    switch (CSealKeys(m_prompter).open(bytes, header, m_password.utf8(), m_password.olderSealBytes(), plain, key,
                                       olderForm)) {
    case CSealKeys::OpenOutcome::Opened:
        break;
    case CSealKeys::OpenOutcome::NoMemory:
        return refuse(CEnvelope::kNoMemory);
    case CSealKeys::OpenOutcome::Refused:
    case CSealKeys::OpenOutcome::Cancelled:
        return refuse(CEnvelope::kRefused);
    }
    bytes = std::move(plain);
    return true;
}

bool CCliSession::readRecords(const QString &path, CRecordIndex &records, CRecordCodec::Key &key)
{
    records.clear();
    key.clear();
    QByteArray bytes;
    std::shared_ptr<const void> owner;
    if (!loadFile(path, bytes, owner))
        return false;
    if (bytes.isEmpty())
        return true;  // an empty file is an empty document
    // The document reads the file first: it reports a damaged one and runs
    // the password step, whose key then deciphers the records as written.
    {
        const std::unique_ptr<CTorviQuillbookDoc> doc = makeDocument();
        if (!doc->readFromBytes(bytes))
            return false;
        key = doc->key();
        // Sealed: the document's key opens it again without deriving it anew.
        if (const CEnvelopeKey *sealKey = doc->envelopeKey()) {
            QByteArray plain;
            if (!sealKey->open(bytes, plain)) {
                fail(QString::fromLatin1(CEnvelope::kRefused));
                return false;
            }
            bytes = std::move(plain);
        }
    }  // its tables are let go before the records are read again
    const CArchiveReader::Status status = CArchiveReader::scan(bytes, records);
    records.keepAlive(std::move(owner));
    if (status != CArchiveReader::Status::Ok || readCutShort()) {
        fail(QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnexpectedFormat));
        return false;
    }
    return true;
}
