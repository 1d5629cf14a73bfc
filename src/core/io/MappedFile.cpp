#include "io/MappedFile.h"

#include <algorithm>
#include <mutex>

#if defined(Q_OS_LINUX)
#include <csignal>
#include <sys/mman.h>
#include <unistd.h>
#define TQB_MAPPED_FILES 1
#endif

#ifdef TQB_MAPPED_FILES

// The mappings alive in the process, for the SIGBUS handler: a page of one
// of them that lies past the end of a file cut short is replaced by a page
// of zeros, and the mapping marked. A fault anywhere else goes on to the
// handler that was there before, or kills the process as it would have.
struct CMappedFileRegistry
{
    static constexpr int kSlots = 16;
    static inline std::atomic<CMappedFile *> live[kSlots] = {};
    static inline struct sigaction previous = {};
    static inline size_t pageSize = 4096;

    static void install()
    {
        static std::once_flag once;
        std::call_once(once, [] {
            pageSize = size_t(::sysconf(_SC_PAGESIZE));
            struct sigaction action = {};
            action.sa_sigaction = &handle;
            action.sa_flags = SA_SIGINFO;
            sigemptyset(&action.sa_mask);
            ::sigaction(SIGBUS, &action, &previous);
        });
    }

    static bool add(CMappedFile *file)
    {
        install();
        for (auto &slot : live) {
            CMappedFile *expected = nullptr;
            if (slot.compare_exchange_strong(expected, file))
                return true;
        }
        return false;  // too many at once: the caller reads the file instead
    }

    static void remove(CMappedFile *file)
    {
        for (auto &slot : live) {
            CMappedFile *expected = file;
            slot.compare_exchange_strong(expected, nullptr);
        }
    }

    static void handle(int signal, siginfo_t *info, void *context)
    {
        const auto address = reinterpret_cast<char *>(info->si_addr);
        for (auto &slot : live) {
            CMappedFile *file = slot.load();
            if (!file || address < file->m_base || address >= file->m_base + file->m_length)
                continue;
            const auto page = reinterpret_cast<char *>(reinterpret_cast<quintptr>(address) & ~quintptr(pageSize - 1));
            // mmap is a plain system call here, safe in a handler.
            if (::mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
                file->m_cutShort.store(true, std::memory_order_relaxed);
                return;  // the read runs again and finds zeros
            }
        }
        if (previous.sa_flags & SA_SIGINFO) {
            if (previous.sa_sigaction) {
                previous.sa_sigaction(signal, info, context);
                return;
            }
        } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
            previous.sa_handler(signal);
            return;
        }
        // Not ours: the fault happens again and takes its default course.
        ::signal(SIGBUS, SIG_DFL);
    }
};

#endif

CMappedFile::~CMappedFile()
{
    unmap();
}

bool CMappedFile::supported()
{
#ifdef TQB_MAPPED_FILES
    return true;
#else
    return false;
#endif
}

bool CMappedFile::map(int fd, qint64 size)
{
    unmap();
#ifdef TQB_MAPPED_FILES
    if (size <= 0)
        return false;
    void *base = ::mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (base == MAP_FAILED)
        return false;
    m_base = static_cast<char *>(base);
    m_length = size_t(size);
    m_cutShort = false;
    if (!CMappedFileRegistry::add(this)) {
        ::munmap(base, m_length);
        m_base = nullptr;
        m_length = 0;
        return false;
    }
    // Read once from start to end: the system may read ahead further.
    ::madvise(base, m_length, MADV_SEQUENTIAL);
    m_bytes = QByteArray::fromRawData(m_base, qsizetype(size));
    return true;
#else
    Q_UNUSED(fd) Q_UNUSED(size)
    return false;
#endif
}

void CMappedFile::unmap()
{
#ifdef TQB_MAPPED_FILES
    if (!m_base)
        return;
    m_bytes = QByteArray();
    CMappedFileRegistry::remove(this);
    ::munmap(m_base, m_length);
    m_base = nullptr;
    m_length = 0;
    m_dropped = 0;
#endif
}

void CMappedFile::consumed(QByteArrayView bytes)
{
#ifdef TQB_MAPPED_FILES
    if (!m_base || bytes.isEmpty() || bytes.data() < m_base || bytes.data() >= m_base + m_length)
        return;
    const auto end = size_t(bytes.data() + bytes.size() - m_base);
    // One call per few megabytes: each costs a system call and a TLB flush.
    constexpr size_t kStep = size_t(8) << 20;
    if (end < m_length && end - m_dropped < kStep)
        return;
    const size_t pageSize = CMappedFileRegistry::pageSize;
    const size_t last = end == m_length ? m_length : end & ~(pageSize - 1);
    if (last > m_dropped)
        ::madvise(m_base + m_dropped, last - m_dropped, MADV_DONTNEED);  // only advice: no error to handle
    m_dropped = last;
#else
    Q_UNUSED(bytes)
#endif
}
