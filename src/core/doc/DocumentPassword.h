#pragma once

#include <QCoreApplication>

#include "crypto/SecureBytes.h"
#include "doc/Protection.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class CEnvelopeKey;
class CRecordIndex;
class CTorviQuillbookDoc;

// The document's password and what it protects with: the form of
// protection, the password in locked memory, the key of the compatible
// cipher or of the sealed form. Sets and clears them, and asks for the
// password (File > Password, and while a file opens).
class CDocumentPassword
{
public:
    static constexpr const char *kEncryptedStatus = QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "Encrypted");
    static constexpr const char *kExportNotEncrypted =
        QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "The text file will not be encrypted. Save it anyway?");

    explicit CDocumentPassword(CTorviQuillbookDoc &doc);
    ~CDocumentPassword();
    CDocumentPassword(const CDocumentPassword &) = delete;
    CDocumentPassword &operator=(const CDocumentPassword &) = delete;

    // Derives the key (the sealed form's through the front end's waitFor);
    // keeps the form of protection (none becomes the compatible form).
    bool set(const QByteArray &password);
    // The same with the form given: `password` in the bytes of that form
    // (CTypedPassword). False when no key was made (told why, unless the
    // user stopped the wait); the password held before stays then.
    bool set(const QByteArray &password, Protection form);

    QByteArray password() const { return m_strPassword.toByteArray(); }
    const std::vector<quint32> &key() const { return m_arKey; }
    bool hasPassword() const { return m_bPassword; }
    Protection protection() const { return m_protection; }
    const CEnvelopeKey *envelopeKey() const { return m_envelopeKey.get(); }
    bool isPassword(const QByteArray &password) const;  // in constant time
    QString statusText() const;
    // Before a copy of the notes is written in plain: an encrypted document
    // asks first. True: go on.
    bool mayWritePlainCopy(const QString &question);
    // Since the form became sealed, and until the next save has sealed them
    // too: the backup copies may still hold the notes in the weaker form,
    // written with this compatible key (empty: without password).
    const std::optional<std::vector<quint32>> &weakerCopies() const { return m_weakerCopies; }
    void copiesSealed() { m_weakerCopies.reset(); }
    // Before a save: the key to seal with is one of the UTF-8 bytes (a file
    // sealed by an earlier build was opened with a key of its code-page
    // bytes). False when it could not be made; told, unless the user
    // stopped the wait.
    bool keyForSaving();

    // The password dialog and its outcome; false when it was cancelled.
    bool ask();
    // While a file opens: asks until the records read with the key, or the
    // user gives up; false then. `reloading`: the file is read again after
    // another program changed it, and a held key that fits is taken.
    bool unlock(const CRecordIndex &records, bool reloading);
    enum class EnvelopeOutcome { Opened, Unreadable, Declined };
    // The document bytes inside a sealed file, asking for the password.
    EnvelopeOutcome openEnvelope(const QByteArray &file, QByteArray &plain, bool reloading);

private:
    void takeForm(Protection form);  // tells the document when the form changed

    CTorviQuillbookDoc &m_doc;
    CSecureBytes m_strPassword;
    std::vector<quint32> m_arKey;
    bool m_bPassword = false;
    Protection m_protection = Protection::None;
    std::unique_ptr<CEnvelopeKey> m_envelopeKey;
    bool m_bAskPassword = false;  // asking while a file opens
    std::optional<std::vector<quint32>> m_weakerCopies;
    bool m_bOlderSeal = false;  // the key held is of the code-page bytes
};
