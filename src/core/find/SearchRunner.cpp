#include "find/SearchRunner.h"

#include <QPointer>

CSearchRunner::CSearchRunner(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

CSearchRunner::~CSearchRunner()
{
    cancel();
    m_pool.waitForDone();
}

void CSearchRunner::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
    m_cancel.reset();
    ++m_generation;  // whatever the old search still posts is dropped
    m_running = false;
}

void CSearchRunner::start(CSearchSnapshot snapshot, const CTextMatcher &matcher, bool titlesOnly)
{
    cancel();
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_running = true;
    m_count = 0;
    m_clock.start();
    const quint64 generation = m_generation;
    // Posted calls run on this object's thread and check that they still
    // belong to the newest search; the runner outlives its thread's work.
    const auto post = [this, generation](std::function<void()> call) {
        QMetaObject::invokeMethod(this, [this, generation, call = std::move(call)] {
            if (generation == m_generation)
                call();
        }, Qt::QueuedConnection);
    };
    m_pool.start([this, post, cancelFlag = m_cancel, snapshot = std::move(snapshot), matcher, titlesOnly] {
        notesearch::Delivery delivery;
        delivery.deliver = [this, post](std::vector<CSearchHit> &&hits) {
            auto shared = std::make_shared<std::vector<CSearchHit>>(std::move(hits));
            post([this, shared] {
                m_count += qsizetype(shared->size());
                emit hitsFound(*shared);
            });
        };
        if (notesearch::run(snapshot, matcher, titlesOnly, *cancelFlag, delivery)) {
            post([this] {
                m_running = false;
                emit finished(m_count, m_clock.elapsed());
            });
        }
    });
}
