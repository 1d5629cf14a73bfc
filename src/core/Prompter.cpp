#include "Prompter.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

bool IPrompter::waitUntil(const QString &text, int waitMs, const std::function<bool()> &done, bool &cancelled)
{
    Q_UNUSED(text)
    cancelled = false;
    QDeadlineTimer deadline(std::max(0, waitMs));
    for (int pause = 2;; pause = std::min(pause * 2, 50)) {
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ulong(std::min<qint64>(pause, std::max<qint64>(1, deadline.remainingTime()))));
    }
}
