#pragma once

#include <QCoreApplication>

#include "text/TextMatch.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class CInfoTree;
class CItemTables;

// Search all notes: every item shown in the tree whose title or text holds
// the needle, under the matching rule of Find next (CTextMatcher). Titles
// that match come first, then texts, each in tree order; an item is listed
// once, under its title when both hold the needle.
//
// A search reads a snapshot of the tables, not the tables: the lists share
// their data with the document (a copy costs nothing), and an edit made
// while the search runs detaches the document's lists, so a search can run
// on another thread and outlive the document.
struct CSearchSnapshot
{
    QList<QByteArray> titles;
    QList<QByteArray> texts;
    QList<quint32> order;   // the tree order; its first `shown` entries are items in the tree
    qsizetype shown = 0;

    // The items the tree shows: rows it could not place stay out, and so do
    // deleted rows, which are no longer in the order.
    static CSearchSnapshot of(const CItemTables &tables, qsizetype unplaced = 0);
    static CSearchSnapshot of(const CItemTables &tables, const CInfoTree &tree);
};

// One listed item: 8 bytes. `where` holds the position of the first hit,
// with the top bit set when it lies in the title.
struct CSearchHit
{
    static constexpr quint32 kInTitle = 0x80000000u;

    quint32 item = 0;
    quint32 where = 0;

    bool inTitle() const { return (where & kInTitle) != 0; }
    qsizetype position() const { return qsizetype(where & ~kInTitle); }
    static CSearchHit title(quint32 item, qsizetype pos) { return {item, quint32(pos) | kInTitle}; }
    static CSearchHit text(quint32 item, qsizetype pos) { return {item, quint32(pos)}; }
};
static_assert(sizeof(CSearchHit) == 8);

// The hits of a search, in fixed-size chunks: appending never moves or
// copies what is there, and the unused room is at most one chunk.
class CHitList
{
public:
    static constexpr qsizetype kChunk = 4096;

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const CSearchHit &at(qsizetype i) const { return m_chunks[size_t(i / kChunk)][size_t(i % kChunk)]; }
    void append(const CSearchHit *hits, qsizetype count);
    void append(const std::vector<CSearchHit> &hits) { append(hits.data(), qsizetype(hits.size())); }
    void clear();
    // The memory the hits take, chunks and their index.
    qsizetype bytes() const;

private:
    std::vector<std::unique_ptr<CSearchHit[]>> m_chunks;
    qsizetype m_size = 0;
};

namespace notesearch {

// Status texts of the search.
inline constexpr const char *kUnmappable = QT_TRANSLATE_NOOP("notesearch", "The code page %1 cannot hold every character of \"%2\".");
inline constexpr const char *kSearching = QT_TRANSLATE_NOOP("notesearch", "Searching...");
QString matchCountText(qsizetype notes, qint64 milliseconds);  // "N notes match (12 ms)"

// How a search hands its hits over while it runs: the first batch as soon
// as it holds `firstBatch` hits (or the search ends), then about every
// `batchMs` milliseconds, and the rest at the end.
struct Delivery
{
    int firstBatch = 50;
    int batchMs = 40;
    std::function<void(std::vector<CSearchHit> &&)> deliver;
};

// Runs a search. False when it was cancelled (the hits delivered so far are
// then a prefix of the full list). `cancel` is read between items.
bool run(const CSearchSnapshot &snapshot, const CTextMatcher &matcher, bool titlesOnly,
         const std::atomic<bool> &cancel, const Delivery &delivery);
// The whole list at once (tests, tqb).
std::vector<CSearchHit> searchAll(const CSearchSnapshot &snapshot, const CTextMatcher &matcher, bool titlesOnly);

// A line of context around a hit: up to `before` bytes before it and the
// rest of `width` after it, tabs and line breaks shown as blanks (a CR LF as
// one). `hit` -1 takes the start of the text.
struct Context
{
    QByteArray line;
    qsizetype hitStart = 0;   // in `line`
    qsizetype hitLength = 0;
    bool cutBefore = false;   // the line starts inside the text
    bool cutAfter = false;    // the text goes on after the line
};
Context contextLine(const QByteArray &text, qsizetype hit, qsizetype length, int before = 40, int width = 120);
// The context a listed item shows: around the first hit in its text, or
// the start of the text when only the title holds the needle (or only
// titles were searched).
Context contextFor(const QByteArray &text, const CSearchHit &hit, const CTextMatcher &matcher, bool titlesOnly);

}  // namespace notesearch
