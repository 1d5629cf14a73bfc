#pragma once

#include "import/ImportSink.h"
#include "text/CodePage.h"

#include <cstdlib>
#include <vector>

// A sink that checks what a parser hands over: every parent is an item made
// before (or the destination), never one that does not exist; with a code
// page, every byte of titles and texts is one the page defines (a byte it
// leaves undefined would make a document that no longer converts to text).
class CCheckingSink : public IImportSink
{
public:
    explicit CCheckingSink(const CCodePage *page = nullptr) : m_page(page) {}

    int add(int parent, const QByteArray &title, const QByteArray &text) override
    {
        if (parent != kDestination && (parent < 0 || parent >= m_count))
            std::abort();
        if (m_page) {
            for (const QByteArray *bytes : {&title, &text}) {
                for (const char c : *bytes) {
                    if (!m_page->maps(quint8(c)))
                        std::abort();
                }
            }
        }
        m_bytes += size_t(title.size() + text.size());
        return m_count++;
    }
    int count() const { return m_count; }
    size_t bytes() const { return m_bytes; }

private:
    const CCodePage *m_page;
    int m_count = 0;
    size_t m_bytes = 0;
};
