#pragma once

#include "crypto/SecureBytes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

// The strong form of a protected document: the bytes of a document without
// password, sealed in authenticated chunks under a key derived from the
// password. Every byte is laid out in doc/encrypted-format.md.
class CEnvelope
{
public:
    // No document without envelope can start with these bytes: its first
    // WORD is a record count and, unless that is the escape 0xFFFF, the next
    // WORD is the class tag 0xFFFF; here neither WORD is 0xFFFF.
    static constexpr char kMagic[8] = {'T', 'Q', 'B', 'C', 'R', 'Y', 'P', 'T'};
    static constexpr quint8 kVersion = 1;
    static constexpr quint8 kArgon2id = 2;  // Argon2id, version 1.3
    static constexpr qsizetype kSaltSize = 16;
    static constexpr qsizetype kStreamHeaderSize = 24;
    static constexpr qsizetype kSaltOffset = 18;
    static constexpr qsizetype kStreamHeaderOffset = kSaltOffset + kSaltSize;
    static constexpr qsizetype kHeaderSize = kStreamHeaderOffset + kStreamHeaderSize;  // 58
    static constexpr qsizetype kChunkSize = 65536;  // plain bytes per chunk
    static constexpr qsizetype kChunkOverhead = 17;  // tag byte and authenticator
    static constexpr quint32 kDefaultPasses = 3;
    static constexpr quint32 kDefaultMemoryKiB = 65536;
    // A file asking for more is refused before any work: its header may have
    // been changed to keep the program busy or to exhaust memory. The work is
    // passes times memory; the cap lets either grow sixteen times the default.
    static constexpr quint32 kMaxPasses = 64;
    static constexpr quint32 kMaxMemoryKiB = 1u << 20;  // 1 GiB
    static constexpr quint64 kMaxWorkKiB = quint64(16) * kDefaultPasses * kDefaultMemoryKiB;

    static constexpr const char *kRefused =
        QT_TRANSLATE_NOOP("CEnvelope", "The password is wrong, or the file was changed or cut short.");
    static constexpr const char *kNoMemory =
        QT_TRANSLATE_NOOP("CEnvelope", "There is not enough memory to derive the key from the password.");

    struct Params
    {
        quint32 passes = kDefaultPasses;
        quint32 memoryKiB = kDefaultMemoryKiB;
        bool operator==(const Params &) const = default;
    };
    struct Header
    {
        quint8 version = kVersion;
        Params params;
        QByteArray salt;
    };
    enum class HeaderStatus { Ok, NotEnvelope, UnknownVersion, Damaged };

    static bool isEnvelope(QByteArrayView bytes);
    static HeaderStatus readHeader(QByteArrayView bytes, Header &header);
    // "argon2id, 65536 KiB, 3 passes"
    static QString describe(const Params &params);
};

// The key of one protected document, derived once from its password, with
// the salt and cost it was derived with. Held in locked memory, wiped when
// it is let go.
class CEnvelopeKey
{
public:
    // Null when the memory for the derivation could not be had. An empty
    // `salt` draws a fresh one.
    static std::unique_ptr<CEnvelopeKey> derive(QByteArrayView password, const CEnvelope::Params &params,
                                                QByteArrayView salt = {});

    const CEnvelope::Params &params() const { return m_params; }
    const QByteArray &salt() const { return m_salt; }
    // Whether a file with this header was sealed with a key like this one.
    bool fits(const CEnvelope::Header &header) const
    {
        return header.params == m_params && header.salt == m_salt;
    }

    // The document bytes inside a file; false (and `plain` empty) when the
    // key does not open it or any byte was changed, added or cut off.
    bool open(QByteArrayView file, QByteArray &plain) const;
    // The whole file for `plain`, in memory.
    QByteArray seal(QByteArrayView plain) const;

private:
    friend class CEnvelopeWriter;
    CEnvelopeKey() = default;
    CSecureBytes m_key;
    CEnvelope::Params m_params;
    QByteArray m_salt;
};

// Seals what is written to it into `target` chunk by chunk, with a fresh
// stream header: a document is never held whole in plain beside the file.
// finish() writes the last chunk; without it the file is not complete.
class CEnvelopeWriter : public QIODevice
{
public:
    CEnvelopeWriter(QIODevice &target, const CEnvelopeKey &key);
    ~CEnvelopeWriter() override;

    // Every piece written to the target is shown to `observer` too.
    void observeOutput(std::function<void(QByteArrayView)> observer) { m_observer = std::move(observer); }
    // False when the target refused a byte at any point.
    bool finish();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool pushChunk(bool last);
    bool put(const char *data, qsizetype size);

    QIODevice &m_target;
    std::function<void(QByteArrayView)> m_observer;
    QByteArray m_header;
    CSecureBytes m_state;
    CSecureBytes m_plain;  // the chunk being filled
    qsizetype m_used = 0;
    QByteArray m_sealed;
    bool m_first = true;
    bool m_failed = false;
    bool m_finished = false;
};
