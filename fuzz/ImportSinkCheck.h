#pragma once

#include "import/ImportSink.h"

#include <cstdlib>
#include <vector>

// A sink that checks what a parser hands over: every parent is an item made
// before (or the destination), never one that does not exist.
class CCheckingSink : public IImportSink
{
public:
    int add(int parent, const QByteArray &title, const QByteArray &text) override
    {
        if (parent != kDestination && (parent < 0 || parent >= m_count))
            std::abort();
        m_bytes += size_t(title.size() + text.size());
        return m_count++;
    }
    int count() const { return m_count; }
    size_t bytes() const { return m_bytes; }

private:
    int m_count = 0;
    size_t m_bytes = 0;
};
