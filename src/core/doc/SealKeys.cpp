#include "doc/SealKeys.h"

#include "Prompter.h"
#include "crypto/SecureBytes.h"

namespace {

// What a derivation needs and makes, shared with the thread that runs it:
// after a Cancel that thread still finishes, and this lives until then.
struct CDerivation
{
    CSecureBytes password;
    CEnvelope::Params params;
    QByteArray salt;
    std::unique_ptr<CEnvelopeKey> key;
};

}  // namespace

CSealKeys::Outcome CSealKeys::derive(QByteArrayView password, const CEnvelope::Params &params, QByteArrayView salt,
                                     std::unique_ptr<CEnvelopeKey> &key)
{
    key.reset();
    auto job = std::make_shared<CDerivation>();
    job->password = CSecureBytes(password);
    job->params = params;
    job->salt = salt.toByteArray();
    const bool done = m_prompter.waitFor(QCoreApplication::translate("CSealKeys", kDeriving), [job] {
        job->key = CEnvelopeKey::derive(job->password.view(), job->params, job->salt);
    });
    if (!done)
        return Outcome::Cancelled;
    if (!job->key)
        return Outcome::NoMemory;
    key = std::move(job->key);
    return Outcome::Done;
}

CSealKeys::OpenOutcome CSealKeys::open(QByteArrayView file, const CEnvelope::Header &header, QByteArrayView password,
                                       const std::optional<QByteArray> &olderBytes, QByteArray &plain,
                                       std::unique_ptr<CEnvelopeKey> &key, bool &olderForm)
{
    olderForm = false;
    const auto attempt = [&](QByteArrayView bytes) {
        switch (derive(bytes, header.params, header.salt, key)) {
        case Outcome::NoMemory:
            return OpenOutcome::NoMemory;
        case Outcome::Cancelled:
            return OpenOutcome::Cancelled;
        case Outcome::Done:
            break;
        }
        if (key->open(file, plain))
            return OpenOutcome::Opened;
        key.reset();
        return OpenOutcome::Refused;
    };
    OpenOutcome outcome = attempt(password);
    if (outcome != OpenOutcome::Refused || !olderBytes)
        return outcome;
    outcome = attempt(*olderBytes);
    olderForm = outcome == OpenOutcome::Opened;
    return outcome;
}
