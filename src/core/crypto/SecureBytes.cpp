#include "crypto/SecureBytes.h"

#include <sodium.h>

#include <cstring>
#include <utility>

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

CSecureBytes::CSecureBytes(std::size_t size)
{
    if (size == 0)
        return;
    m_data = sodiumReady() ? static_cast<unsigned char *>(sodium_malloc(size)) : nullptr;
    if (!m_data) {
        m_failed = true;
        return;
    }
    sodium_memzero(m_data, size);
    m_size = size;
}

CSecureBytes::CSecureBytes(QByteArrayView bytes) : CSecureBytes(std::size_t(bytes.size()))
{
    if (m_data)
        std::memcpy(m_data, bytes.data(), m_size);
}

CSecureBytes::~CSecureBytes()
{
    clear();
}

CSecureBytes::CSecureBytes(CSecureBytes &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_failed(std::exchange(other.m_failed, false))
{
}

CSecureBytes &CSecureBytes::operator=(CSecureBytes &&other) noexcept
{
    if (this != &other) {
        clear();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_failed = std::exchange(other.m_failed, false);
    }
    return *this;
}

void CSecureBytes::clear()
{
    if (m_data)
        sodium_free(m_data);  // wipes before it frees
    m_data = nullptr;
    m_size = 0;
    m_failed = false;
}

bool CSecureBytes::equals(QByteArrayView other) const
{
    if (std::size_t(other.size()) != m_size)
        return false;
    return m_size == 0 || sodium_memcmp(m_data, other.data(), m_size) == 0;
}
