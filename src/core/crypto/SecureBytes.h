#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>

// Bytes that must not outlive their use: kept in memory that is locked
// against swapping, fenced by guard pages and wiped when let go. Passwords
// and keys live here.
class CSecureBytes
{
public:
    CSecureBytes() = default;
    explicit CSecureBytes(std::size_t size);  // zero-filled
    explicit CSecureBytes(QByteArrayView bytes);
    ~CSecureBytes();
    CSecureBytes(CSecureBytes &&other) noexcept;
    CSecureBytes &operator=(CSecureBytes &&other) noexcept;
    CSecureBytes(const CSecureBytes &) = delete;
    CSecureBytes &operator=(const CSecureBytes &) = delete;

    unsigned char *data() { return m_data; }
    const unsigned char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // False when the memory could not be had (a size was asked for).
    bool isValid() const { return !m_failed; }
    QByteArrayView view() const { return {reinterpret_cast<const char *>(m_data), qsizetype(m_size)}; }
    // A copy in ordinary memory, for the moment it is handed on.
    QByteArray toByteArray() const { return view().toByteArray(); }
    // Compared in constant time.
    bool equals(QByteArrayView other) const;
    void clear();

private:
    unsigned char *m_data = nullptr;
    std::size_t m_size = 0;
    bool m_failed = false;
};

// Makes sure the crypto library is ready; false when it cannot work here.
bool sodiumReady();
