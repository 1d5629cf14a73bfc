#include "crypto/Envelope.h"

#include <QBuffer>
#include <QtEndian>

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace {

using State = crypto_secretstream_xchacha20poly1305_state;

static_assert(CEnvelope::kStreamHeaderSize == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
static_assert(CEnvelope::kChunkOverhead == crypto_secretstream_xchacha20poly1305_ABYTES);
static_assert(CEnvelope::kSaltSize == crypto_pwhash_SALTBYTES);
static_assert(CEnvelope::kArgon2id == crypto_pwhash_ALG_ARGON2ID13);

constexpr qsizetype kKeySize = crypto_secretstream_xchacha20poly1305_KEYBYTES;
constexpr qsizetype kSealedChunk = CEnvelope::kChunkSize + CEnvelope::kChunkOverhead;

const unsigned char *bytesOf(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

QByteArray headerBytes(const CEnvelope::Params &params, const QByteArray &salt, const unsigned char *streamHeader)
{
    QByteArray header(CEnvelope::kHeaderSize, Qt::Uninitialized);
    char *p = header.data();
    std::memcpy(p, CEnvelope::kMagic, sizeof CEnvelope::kMagic);
    p[8] = char(CEnvelope::kVersion);
    p[9] = char(CEnvelope::kArgon2id);
    qToLittleEndian(params.passes, p + 10);
    qToLittleEndian(params.memoryKiB, p + 14);
    std::memcpy(p + CEnvelope::kSaltOffset, salt.constData(), CEnvelope::kSaltSize);
    std::memcpy(p + CEnvelope::kStreamHeaderOffset, streamHeader, CEnvelope::kStreamHeaderSize);
    return header;
}

}  // namespace

bool CEnvelope::isEnvelope(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(kMagic, sizeof kMagic));
}

CEnvelope::HeaderStatus CEnvelope::readHeader(QByteArrayView bytes, Header &header)
{
    if (!isEnvelope(bytes))
        return HeaderStatus::NotEnvelope;
    if (bytes.size() < 9)
        return HeaderStatus::Damaged;
    header.version = quint8(bytes[8]);
    if (header.version != kVersion)
        return HeaderStatus::UnknownVersion;
    if (bytes.size() < kHeaderSize || quint8(bytes[9]) != kArgon2id)
        return HeaderStatus::Damaged;
    header.params.passes = qFromLittleEndian<quint32>(bytes.data() + 10);
    header.params.memoryKiB = qFromLittleEndian<quint32>(bytes.data() + 14);
    header.salt = bytes.sliced(kSaltOffset, kSaltSize).toByteArray();
    const Params &p = header.params;
    if (p.passes < crypto_pwhash_OPSLIMIT_MIN || p.passes > kMaxPasses
        || quint64(p.memoryKiB) * 1024 < crypto_pwhash_MEMLIMIT_MIN || p.memoryKiB > kMaxMemoryKiB
        || quint64(p.passes) * p.memoryKiB > kMaxWorkKiB)
        return HeaderStatus::Damaged;
    return HeaderStatus::Ok;
}

QString CEnvelope::describe(const Params &params)
{
    return QStringLiteral("argon2id, %1 KiB, %2 passes").arg(params.memoryKiB).arg(params.passes);
}

// ------------------------------------------------------------------ key

std::unique_ptr<CEnvelopeKey> CEnvelopeKey::derive(QByteArrayView password, const CEnvelope::Params &params,
                                                   QByteArrayView salt)
{
    if (!sodiumReady())
        return nullptr;
    std::unique_ptr<CEnvelopeKey> key(new CEnvelopeKey);
    key->m_params = params;
    if (salt.size() == CEnvelope::kSaltSize) {
        key->m_salt = salt.toByteArray();
    } else {
        key->m_salt = QByteArray(CEnvelope::kSaltSize, Qt::Uninitialized);
        randombytes_buf(key->m_salt.data(), size_t(key->m_salt.size()));
    }
    key->m_key = CSecureBytes(kKeySize);
    if (!key->m_key.isValid())
        return nullptr;
    if (crypto_pwhash(key->m_key.data(), kKeySize, password.data(), quint64(password.size()),
                      bytesOf(key->m_salt), params.passes, size_t(params.memoryKiB) * 1024,
                      crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return nullptr;  // out of memory
    return key;
}

bool CEnvelopeKey::open(QByteArrayView file, QByteArray &plain) const
{
    plain.clear();
    CEnvelope::Header header;
    if (CEnvelope::readHeader(file, header) != CEnvelope::HeaderStatus::Ok || !fits(header))
        return false;
    CSecureBytes state(sizeof(State));
    if (!state.isValid())
        return false;
    auto *st = reinterpret_cast<State *>(state.data());
    if (crypto_secretstream_xchacha20poly1305_init_pull(st, bytesOf(file) + CEnvelope::kStreamHeaderOffset,
                                                        m_key.data())
        != 0)
        return false;
    const QByteArrayView sealed = file.sliced(CEnvelope::kHeaderSize);
    // Every chunk carries its overhead: the plain text is shorter than this.
    plain = QByteArray(std::max<qsizetype>(sealed.size(), 1), Qt::Uninitialized);
    const auto fail = [&plain] {
        sodium_memzero(plain.data(), size_t(plain.size()));
        plain.clear();
        return false;
    };
    qsizetype at = 0;
    qsizetype out = 0;
    bool first = true;
    for (;;) {
        const qsizetype remaining = sealed.size() - at;
        if (remaining < CEnvelope::kChunkOverhead)
            return fail();  // cut short: no room for a chunk
        // Only the last chunk may be shorter than a full one, and only the
        // last one carries the final tag: a file cut at a chunk boundary
        // ends in a chunk without it.
        const bool last = remaining <= kSealedChunk;
        const qsizetype length = last ? remaining : kSealedChunk;
        unsigned long long plainLength = 0;
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(
                st, reinterpret_cast<unsigned char *>(plain.data()) + out, &plainLength, &tag, bytesOf(sealed) + at,
                quint64(length), first ? bytesOf(file) : nullptr, first ? quint64(CEnvelope::kHeaderSize) : 0)
            != 0)
            return fail();
        const unsigned char expected = last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                            : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
        if (tag != expected)
            return fail();
        out += qsizetype(plainLength);
        at += length;
        first = false;
        if (last)
            break;
    }
    plain.truncate(out);
    return true;
}

QByteArray CEnvelopeKey::seal(QByteArrayView plain) const
{
    QByteArray file;
    {
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        CEnvelopeWriter writer(buffer, *this);
        writer.write(plain.data(), plain.size());
        writer.finish();  // memory takes every byte
    }
    return file;
}

// --------------------------------------------------------------- writer

CEnvelopeWriter::CEnvelopeWriter(QIODevice &target, const CEnvelopeKey &key)
    : m_target(target), m_state(sizeof(State)), m_plain(std::size_t(CEnvelope::kChunkSize)),
      m_sealed(kSealedChunk, Qt::Uninitialized)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    unsigned char streamHeader[CEnvelope::kStreamHeaderSize];
    if (!m_state.isValid() || !m_plain.isValid() || !key.m_key.isValid() || key.m_key.isEmpty()
        || crypto_secretstream_xchacha20poly1305_init_push(reinterpret_cast<State *>(m_state.data()), streamHeader,
                                                           key.m_key.data())
               != 0) {
        m_failed = true;
        return;
    }
    m_header = headerBytes(key.m_params, key.m_salt, streamHeader);
}

CEnvelopeWriter::~CEnvelopeWriter() = default;

qint64 CEnvelopeWriter::readData(char *data, qint64 maxSize)
{
    Q_UNUSED(data) Q_UNUSED(maxSize)
    return -1;
}

qint64 CEnvelopeWriter::writeData(const char *data, qint64 size)
{
    if (m_failed || m_finished)
        return -1;
    qint64 taken = 0;
    while (taken < size) {
        // A full chunk goes out only when more follows: the last one, full
        // or not, must carry the final tag.
        if (m_used == CEnvelope::kChunkSize && !pushChunk(false))
            return -1;
        const qsizetype n = qsizetype(std::min<qint64>(CEnvelope::kChunkSize - m_used, size - taken));
        std::memcpy(m_plain.data() + m_used, data + taken, size_t(n));
        m_used += n;
        taken += n;
    }
    return size;
}

bool CEnvelopeWriter::put(const char *data, qsizetype size)
{
    for (qsizetype at = 0; at < size;) {
        const qint64 written = m_target.write(data + at, size - at);
        if (written <= 0)
            return false;
        at += qsizetype(written);
    }
    if (m_observer)
        m_observer(QByteArrayView(data, size));
    return true;
}

bool CEnvelopeWriter::pushChunk(bool last)
{
    if (m_first && !put(m_header.constData(), m_header.size())) {
        m_failed = true;
        return false;
    }
    unsigned long long length = 0;
    const unsigned char tag =
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
    // The header is bound to the first chunk: no byte of it can change unnoticed.
    crypto_secretstream_xchacha20poly1305_push(reinterpret_cast<State *>(m_state.data()),
                                               reinterpret_cast<unsigned char *>(m_sealed.data()), &length,
                                               m_plain.data(), quint64(m_used),
                                               m_first ? bytesOf(m_header) : nullptr,
                                               m_first ? quint64(m_header.size()) : 0, tag);
    sodium_memzero(m_plain.data(), size_t(m_used));
    m_used = 0;
    m_first = false;
    if (!put(m_sealed.constData(), qsizetype(length))) {
        m_failed = true;
        return false;
    }
    return true;
}

bool CEnvelopeWriter::finish()
{
    if (m_failed || m_finished)
        return false;
    const bool pushed = pushChunk(true);
    m_finished = true;
    return pushed;
}
