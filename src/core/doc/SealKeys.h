#pragma once

#include <QCoreApplication>

#include "crypto/Envelope.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>
#include <optional>

class IPrompter;

// Derives the keys of the sealed form, through the front end's waitFor()
// (a file may ask for seconds and a gigabyte per attempt, and the window
// must keep answering), and opens a sealed file with a typed password.
class CSealKeys
{
public:
    static constexpr const char *kDeriving = QT_TRANSLATE_NOOP("CSealKeys", "Deriving the key from the password...");

    enum class Outcome { Done, NoMemory, Cancelled };

    explicit CSealKeys(IPrompter &prompter) : m_prompter(prompter) {}

    // A key for `password`; an empty `salt` draws a fresh one.
    Outcome derive(QByteArrayView password, const CEnvelope::Params &params, QByteArrayView salt,
                   std::unique_ptr<CEnvelopeKey> &key);

    enum class OpenOutcome { Opened, Refused, NoMemory, Cancelled };
    // The document inside `file`, whose header is `header`. The password's
    // UTF-8 bytes are tried first, then `olderBytes` (the code-page bytes
    // earlier builds sealed with). Opened: `key` is the key that opened it,
    // and `olderForm` says whether that was the older bytes'.
    OpenOutcome open(QByteArrayView file, const CEnvelope::Header &header, QByteArrayView password,
                     const std::optional<QByteArray> &olderBytes, QByteArray &plain,
                     std::unique_ptr<CEnvelopeKey> &key, bool &olderForm);

private:
    IPrompter &m_prompter;
};
