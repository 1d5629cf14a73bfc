#pragma once

#include "find/NoteSearch.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>

#include <memory>
#include <vector>

// Runs one search at a time on a thread of its own, over a snapshot, so the
// window stays responsive. Hits come back on the runner's thread in batches
// (hitsFound), then finished(); a search that was cancelled or replaced by a
// newer one sends nothing more. Destroying the runner cancels and waits for
// the thread, which only ever reads its snapshot.
class CSearchRunner : public QObject
{
    Q_OBJECT

public:
    explicit CSearchRunner(QObject *parent = nullptr);
    ~CSearchRunner() override;

    // Cancels any running search, then starts this one.
    void start(CSearchSnapshot snapshot, const CTextMatcher &matcher, bool titlesOnly);
    void cancel();
    bool isRunning() const { return m_running; }
    // Waits until the thread is idle (tests, benchmarks).
    void waitForIdle() { m_pool.waitForDone(); }

signals:
    // The next hits, in list order.
    void hitsFound(const std::vector<CSearchHit> &hits);
    // The search went through: `count` items listed, `elapsedMs` since start().
    void finished(qsizetype count, qint64 elapsedMs);

private:
    QThreadPool m_pool;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_generation = 0;
    qsizetype m_count = 0;
    bool m_running = false;
    QElapsedTimer m_clock;
};
