#include "text/MemoryWipe.h"

#include <sodium.h>

namespace memorywipe {

void zero(void *data, qsizetype size)
{
    if (!data || size <= 0)
        return;
    // libsodium's, as the sealed form's buffers are wiped: a store to memory
    // about to be freed is not dropped by the compiler, and it is not done
    // one byte at a time over tables of hundreds of megabytes.
    sodium_memzero(data, size_t(size));
}

namespace {

// The whole allocation, also the room before and after the text that an
// earlier, longer value may have used.
template <class Pointer>
void zeroAllocation(Pointer &d, qsizetype charSize)
{
    if (!d.d_ptr() || !d.data())
        return;  // not owned: a literal or borrowed bytes
    auto *begin = reinterpret_cast<char *>(d.data()) - d.freeSpaceAtBegin() * charSize;
    zero(begin, d.constAllocatedCapacity() * charSize);
}

}  // namespace

void wipe(QByteArray &bytes)
{
    zeroAllocation(bytes.data_ptr(), 1);
    bytes = QByteArray();
}

void wipe(QString &text)
{
    zeroAllocation(text.data_ptr(), qsizetype(sizeof(QChar)));
    text = QString();
}

void zeroEntries(const QList<QByteArray> &list)
{
    // The list's own storage holds only handles; the bytes are in each entry.
    for (const QByteArray &entry : list)
        zeroAllocation(const_cast<QByteArray &>(entry).data_ptr(), 1);
}

}  // namespace memorywipe
