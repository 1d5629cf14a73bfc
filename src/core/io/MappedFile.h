#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>

// A file's bytes seen through a private, read-only memory mapping: no
// buffer to allocate and zero, no copy from the page cache, and pages that
// can be given back as soon as they are decoded (they read again from the
// file if touched).
//
// A mapped file that another program cuts short would kill the process
// (SIGBUS) when a page past its new end is read. While a mapping lives,
// such a page reads as zeros instead and cutShort() says so: whatever was
// decoded from it must be thrown away.
class CMappedFile
{
public:
    CMappedFile() = default;
    ~CMappedFile();
    CMappedFile(const CMappedFile &) = delete;
    CMappedFile &operator=(const CMappedFile &) = delete;

    // Whether the platform maps files this way; where it does not, callers
    // read the file instead.
    static bool supported();

    // Maps `size` bytes of the open file `fd` (the size it had when it was
    // checked). False when the system refused; nothing is mapped then.
    bool map(int fd, qint64 size);
    void unmap();

    // The bytes as an array that does not own them: valid while this object
    // maps them. A copy that must outlive the mapping must be detached.
    const QByteArray &bytes() const { return m_bytes; }
    bool isMapped() const { return m_base != nullptr; }
    bool cutShort() const { return m_cutShort.load(std::memory_order_relaxed); }

    // `bytes`, a part of bytes(), and everything before it have been decoded
    // and will not be read again: their pages go back to the system, a few
    // megabytes at a time, so that a large file and what was decoded from it
    // are not held in full together. Pages read again come from the file.
    void consumed(QByteArrayView bytes);

private:
    friend struct CMappedFileRegistry;

    char *m_base = nullptr;
    size_t m_length = 0;
    QByteArray m_bytes;
    size_t m_dropped = 0;  // bytes before this offset went back
    std::atomic<bool> m_cutShort{false};
};
