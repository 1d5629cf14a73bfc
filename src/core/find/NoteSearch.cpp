#include "find/NoteSearch.h"
#include <QCoreApplication>

#include "doc/ItemTables.h"
#include "tree/InfoTree.h"

#include <QElapsedTimer>
#include <QLocale>

#include <algorithm>

CSearchSnapshot CSearchSnapshot::of(const CItemTables &tables, qsizetype unplaced)
{
    CSearchSnapshot s;
    s.titles = tables.titles();
    s.texts = tables.texts();
    s.order = tables.order();
    // Collect order puts the rows the tree could not place at the end.
    s.shown = std::max<qsizetype>(0, s.order.size() - unplaced);
    return s;
}

CSearchSnapshot CSearchSnapshot::of(const CItemTables &tables, const CInfoTree &tree)
{
    return of(tables, tree.unplacedRows().size());
}

void CHitList::append(const CSearchHit *hits, qsizetype count)
{
    while (count > 0) {
        const qsizetype offset = m_size % kChunk;
        if (offset == 0 && size_t(m_size / kChunk) == m_chunks.size())
            m_chunks.push_back(std::make_unique<CSearchHit[]>(size_t(kChunk)));
        const qsizetype n = std::min(count, kChunk - offset);
        std::copy(hits, hits + n, m_chunks.back().get() + offset);
        hits += n;
        count -= n;
        m_size += n;
    }
}

void CHitList::clear()
{
    m_chunks.clear();
    m_size = 0;
}

qsizetype CHitList::bytes() const
{
    return qsizetype(m_chunks.size()) * kChunk * qsizetype(sizeof(CSearchHit))
           + qsizetype(m_chunks.capacity() * sizeof(m_chunks[0]));
}

namespace notesearch {

QString matchCountText(qsizetype notes, qint64 milliseconds)
{
    const QString count = QLocale::c().toString(qlonglong(notes));
    if (notes == 1)
        return QCoreApplication::translate("NoteSearch", "1 note matches (%1 ms)").arg(milliseconds);
    return QCoreApplication::translate("NoteSearch", "%1 notes match (%2 ms)").arg(count).arg(milliseconds);
}

bool run(const CSearchSnapshot &snapshot, const CTextMatcher &matcher, bool titlesOnly,
         const std::atomic<bool> &cancel, const Delivery &delivery)
{
    const qsizetype shown = std::min(snapshot.shown, snapshot.order.size());
    std::vector<CSearchHit> batch;
    bool firstSent = false;
    QElapsedTimer clock;
    clock.start();
    qint64 lastSent = 0;
    const auto send = [&] {
        if (batch.empty())
            return;
        std::vector<CSearchHit> out;
        out.swap(batch);
        delivery.deliver(std::move(out));
        firstSent = true;
        lastSent = clock.elapsed();
    };
    const auto add = [&](CSearchHit hit, qsizetype step) {
        batch.push_back(hit);
        if (!firstSent ? qsizetype(batch.size()) >= delivery.firstBatch
                       : (step % 64 == 0 && clock.elapsed() - lastSent >= delivery.batchMs))
            send();
    };
    if (matcher.isEmpty())
        return true;

    // Titles first; an item whose title holds the needle is not listed again for its text.
    std::vector<bool> listed(size_t(snapshot.titles.size()), false);
    for (qsizetype i = 0; i < shown; ++i) {
        if (cancel.load(std::memory_order_relaxed))
            return false;
        const quint32 item = snapshot.order[i];
        if (item >= quint32(snapshot.titles.size()))
            continue;
        const qsizetype pos = matcher.indexIn(snapshot.titles[item]);
        if (pos >= 0) {
            listed[item] = true;
            add(CSearchHit::title(item, pos), i);
        }
    }
    if (!titlesOnly) {
        for (qsizetype i = 0; i < shown; ++i) {
            if (cancel.load(std::memory_order_relaxed))
                return false;
            const quint32 item = snapshot.order[i];
            if (item >= quint32(snapshot.texts.size()) || (item < listed.size() && listed[item]))
                continue;
            const qsizetype pos = matcher.indexIn(snapshot.texts[item]);
            if (pos >= 0)
                add(CSearchHit::text(item, pos), i);
        }
    }
    send();
    return true;
}

std::vector<CSearchHit> searchAll(const CSearchSnapshot &snapshot, const CTextMatcher &matcher, bool titlesOnly)
{
    std::vector<CSearchHit> all;
    const std::atomic<bool> never{false};
    Delivery delivery;
    delivery.deliver = [&all](std::vector<CSearchHit> &&hits) { all.insert(all.end(), hits.begin(), hits.end()); };
    run(snapshot, matcher, titlesOnly, never, delivery);
    return all;
}

Context contextLine(const QByteArray &text, qsizetype hit, qsizetype length, int before, int width)
{
    Context c;
    const qsizetype n = text.size();
    if (hit < 0 || hit > n) {
        hit = 0;
        length = 0;
    }
    length = std::min(length, n - hit);
    const qsizetype from = std::max<qsizetype>(0, hit - before);
    const qsizetype to = std::min(n, std::max(hit + length, from + width));
    c.cutBefore = from > 0;
    c.cutAfter = to < n;
    c.line.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) {
        if (i == hit)
            c.hitStart = c.line.size();
        const char ch = text[i];
        if (ch == '\r' && i + 1 < to && text[i + 1] == '\n' && i + 1 != hit) {
            continue;  // the LF that follows stands for the pair
        }
        c.line += (ch == '\t' || ch == '\r' || ch == '\n') ? ' ' : ch;
    }
    if (hit == to)
        c.hitStart = c.line.size();
    // Blanks that stood for line breaks inside the hit count once each, as kept.
    c.hitLength = 0;
    for (qsizetype i = hit; i < hit + length; ++i) {
        if (!(text[i] == '\r' && i + 1 < hit + length && text[i + 1] == '\n'))
            ++c.hitLength;
    }
    return c;
}

Context contextFor(const QByteArray &text, const CSearchHit &hit, const CTextMatcher &matcher, bool titlesOnly)
{
    qsizetype pos = -1;
    if (!hit.inTitle())
        pos = hit.position();
    else if (!titlesOnly)
        pos = matcher.indexIn(text);
    if (pos < 0 || pos + matcher.needle().size() > text.size())
        return contextLine(text, -1, 0);
    return contextLine(text, pos, matcher.needle().size());
}

}  // namespace notesearch
