#include "doc/DocumentPassword.h"

#include "crypto/Envelope.h"
#include "doc/DocumentFile.h"
#include "doc/PasswordCheck.h"
#include "doc/PasswordKey.h"
#include "doc/SealKeys.h"
#include "doc/TorviQuillbookDoc.h"
#include "format/RecordIndex.h"
#include "settings/Settings.h"

#include <QList>

#include <algorithm>
#include <utility>

namespace {

// The same wrong password given twice, or too many wrong ones, end the
// asking, so that no front end can keep it going for ever.
constexpr int kMaxWrongPasswords = 5;

}  // namespace

CDocumentPassword::CDocumentPassword(CTorviQuillbookDoc &doc) : m_doc(doc) {}

CDocumentPassword::~CDocumentPassword() = default;

void CDocumentPassword::takeForm(Protection form)
{
    const Protection had = std::exchange(m_protection, form);
    m_bPassword = form != Protection::None;
    if (had != m_protection)
        emit m_doc.passwordChanged();
}

bool CDocumentPassword::set(const QByteArray &password)
{
    return set(password, m_protection == Protection::None ? Protection::Compatible : m_protection);
}

bool CDocumentPassword::set(const QByteArray &password, Protection form)
{
    if (password.isEmpty())
        form = Protection::None;
    std::vector<quint32> key = form == Protection::Compatible ? CPasswordKey::derive(password) : std::vector<quint32>();
    // A password that cannot give a key is not kept: the file would claim a
    // password while nothing in it is enciphered.
    if (form == Protection::Compatible && key.empty())
        form = Protection::None;
    std::unique_ptr<CEnvelopeKey> sealKey;
    bool reused = false;
    if (form == Protection::Encrypted) {
        if (m_protection == Protection::Encrypted && m_envelopeKey && m_strPassword.equals(password)) {
            sealKey = std::move(m_envelopeKey);  // derived once: the same password keeps its key
            reused = true;
        } else {
            switch (CSealKeys(m_doc.prompter()).derive(password, CEnvelope::Params{}, {}, sealKey)) {
            case CSealKeys::Outcome::Done:
                break;
            case CSealKeys::Outcome::NoMemory:
                m_doc.prompter().message(QCoreApplication::translate("CEnvelope", CEnvelope::kNoMemory));
                return false;
            case CSealKeys::Outcome::Cancelled:
                return false;  // the user stopped waiting: all stays as it was
            }
        }
    }
    // The backup copies hold the notes as the file on disk does; once the
    // form becomes sealed they are sealed too, at the next save, and need
    // the key they were written with.
    if (form == Protection::Encrypted && m_protection != Protection::Encrypted && !m_weakerCopies)
        m_weakerCopies = m_arKey;
    else if (form != Protection::Encrypted)
        m_weakerCopies.reset();
    m_strPassword = form == Protection::None ? CSecureBytes() : CSecureBytes(password);
    m_bOlderSeal = m_bOlderSeal && reused;
    m_arKey = form == Protection::Compatible ? std::move(key) : std::vector<quint32>();
    m_envelopeKey = std::move(sealKey);
    takeForm(form);
    return true;
}

bool CDocumentPassword::keyForSaving()
{
    if (!m_bOlderSeal || !m_envelopeKey)
        return true;
    // The file was sealed with the code-page bytes of an earlier build; it
    // is written with the UTF-8 ones, which every build reads.
    std::unique_ptr<CEnvelopeKey> key;
    switch (CSealKeys(m_doc.prompter()).derive(m_strPassword.view(), m_envelopeKey->params(), {}, key)) {
    case CSealKeys::Outcome::Done:
        m_envelopeKey = std::move(key);
        m_bOlderSeal = false;
        return true;
    case CSealKeys::Outcome::NoMemory:
        m_doc.prompter().message(QCoreApplication::translate("CEnvelope", CEnvelope::kNoMemory));
        break;
    case CSealKeys::Outcome::Cancelled:
        break;
    }
    return false;
}

bool CDocumentPassword::mayWritePlainCopy(const QString &question)
{
    return m_protection != Protection::Encrypted
        || m_doc.prompter().message(question, IPrompter::Buttons::YesNo) == IPrompter::Answer::Yes;
}

bool CDocumentPassword::isPassword(const QByteArray &password) const
{
    return m_bPassword && m_strPassword.equals(password);
}

QString CDocumentPassword::statusText() const
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

bool CDocumentPassword::ask()
{
    IPrompter::PasswordRequest request;
    request.current = m_strPassword.toByteArray();
    request.currentUtf8 = m_protection == Protection::Encrypted;
    request.allowReload = m_doc.loadedItems();
    request.duringOpen = m_bAskPassword;
    // While a file opens its header decides: only the compatible form asks here.
    request.protection = m_bAskPassword ? Protection::Compatible : m_protection;
    IPrompter::PasswordAnswer answer = m_doc.prompter().askPassword(request);
    bool reload = false;
    QByteArray password = request.current;
    // Cancel keeps the password held; a file being opened reads with it as
    // its header says, enciphered.
    Protection form = m_bAskPassword ? Protection::Compatible : m_protection;
    bool changed = false;
    if (answer.accepted) {
        password = answer.password;
        reload = answer.reload;
        if (!m_bAskPassword)
            form = answer.encrypt ? Protection::Encrypted : Protection::Compatible;
        changed = (password != request.current || (form != m_protection && !password.isEmpty())) && !reload
                  && m_doc.loadedItems();
    }
    if (password.isEmpty())
        form = Protection::None;
    // A key that was not made (out of memory, or the wait cancelled) leaves
    // the password held before: nothing changed then.
    const bool taken = set(password, form);
    if (taken && changed)
        m_doc.setModifiedFlag(true);
    if (!taken)
        reload = false;
    emit m_doc.titleChanged();
    if (reload) {
        // The file read again asks as an open of its own would.
        const bool wasAsking = std::exchange(m_bAskPassword, false);
        m_doc.reloadFromFile();
        m_bAskPassword = wasAsking;
    }
    return answer.accepted;
}

bool CDocumentPassword::unlock(const CRecordIndex &records, bool reloading)
{
    bool needed = false;
    const CRecordView first = records.empty() ? CRecordView{} : records.view(0);
    if (!records.empty() && first.m_nRemind > 0)
        needed = true;  // a header that says the document has a password
    else if (records.empty() || first.m_nKind == 0)
        needed = m_doc.settings().number(CSettings::ReqPsw) == 1;  // a file without header may be enciphered
    if (!needed) {
        set({});
        return true;
    }
    // Read again because another program changed it: the key held fits.
    if (reloading && CPasswordCheck::judge(records, m_arKey) == CPasswordCheck::Verdict::Fits)
        return true;
    // A key that turns the notes into garbage is not taken: shown, the
    // garbage would be written back by the next save. The user is asked
    // again; cancelling leaves the key held before, which must fit too.
    m_bAskPassword = true;
    bool fits = false;
    bool entered = false;
    QList<QByteArray> rejected;
    for (;;) {
        entered = ask();
        fits = CPasswordCheck::judge(records, m_arKey) != CPasswordCheck::Verdict::Wrong;
        const QByteArray tried = m_strPassword.toByteArray();
        if (fits || !entered || rejected.contains(tried) || rejected.size() + 1 >= kMaxWrongPasswords)
            break;
        rejected.append(tried);
        m_doc.prompter().message(QCoreApplication::translate("CPasswordCheck", CPasswordCheck::kSeemsWrong));
    }
    m_bAskPassword = false;
    // After a Cancel the user knows why the document did not open.
    if (!fits && entered)
        m_doc.prompter().message(QCoreApplication::translate("CPasswordCheck", CPasswordCheck::kNotOpened));
    return fits;
}

CDocumentPassword::EnvelopeOutcome CDocumentPassword::openEnvelope(const QByteArray &file, QByteArray &plain, bool reloading)
{
    IPrompter &prompter = m_doc.prompter();
    CEnvelope::Header header;
    switch (CEnvelope::readHeader(file, header)) {
    case CEnvelope::HeaderStatus::Ok:
        break;
    case CEnvelope::HeaderStatus::UnknownVersion:
        prompter.message(QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnknownVersion));
        return EnvelopeOutcome::Unreadable;
    case CEnvelope::HeaderStatus::NotEnvelope:
    case CEnvelope::HeaderStatus::Damaged:
        prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kRefused));
        return EnvelopeOutcome::Unreadable;
    }
    // Read again because another program changed it: the key held may fit.
    if (reloading && m_envelopeKey && m_envelopeKey->fits(header) && m_envelopeKey->open(file, plain))
        return EnvelopeOutcome::Opened;
    // As with the compatible cipher: a refused password is asked again; the
    // same one twice, too many, or Cancel end the asking.
    m_bAskPassword = true;
    bool opened = false;
    std::vector<CSecureBytes> rejected;
    IPrompter::PasswordRequest request;
    request.current = m_strPassword.toByteArray();
    request.duringOpen = true;
    request.protection = Protection::Encrypted;
    request.currentUtf8 = m_protection == Protection::Encrypted;
    for (;;) {
        IPrompter::PasswordAnswer answer = prompter.askPassword(request);
        request.current = answer.password;
        request.currentUtf8 = true;
        if (!answer.accepted)
            break;
        if (std::any_of(rejected.cbegin(), rejected.cend(),
                        [&answer](const CSecureBytes &r) { return r.equals(answer.password); }))
            break;
        std::unique_ptr<CEnvelopeKey> key;
        bool olderForm = false;
        const CSealKeys::OpenOutcome outcome =
            CSealKeys(prompter).open(file, header, answer.password, answer.olderSealBytes, plain, key, olderForm);
        if (outcome == CSealKeys::OpenOutcome::Cancelled)
            break;  // as Cancel in the password dialog
        if (outcome == CSealKeys::OpenOutcome::NoMemory) {
            prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kNoMemory));
            break;
        }
        if (outcome == CSealKeys::OpenOutcome::Opened) {
            m_strPassword = CSecureBytes(answer.password);
            m_envelopeKey = std::move(key);
            m_arKey.clear();
            m_weakerCopies.reset();
            m_bOlderSeal = olderForm;
            takeForm(Protection::Encrypted);
            opened = true;
            break;
        }
        rejected.push_back(CSecureBytes(answer.password));
        prompter.message(QCoreApplication::translate("CEnvelope", CEnvelope::kRefused));
        if (rejected.size() >= size_t(kMaxWrongPasswords))
            break;
    }
    request.current.fill('\0');
    m_bAskPassword = false;
    return opened ? EnvelopeOutcome::Opened : EnvelopeOutcome::Declined;
}
