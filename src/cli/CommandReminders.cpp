#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/TorviQuillbookDoc.h"
#include "reminders/LocalTime.h"
#include "reminders/Reminders.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTime>

namespace {

QString localText(qint64 seconds)
{
    const std::optional<CLocalFields> f = LocalTime::fields(seconds);
    if (!f)
        return QStringLiteral("-");
    return QStringLiteral("%1-%2-%3 %4:%5")
        .arg(f->year, 4, 10, QLatin1Char('0'))
        .arg(f->month, 2, 10, QLatin1Char('0'))
        .arg(f->day, 2, 10, QLatin1Char('0'))
        .arg(f->hour, 2, 10, QLatin1Char('0'))
        .arg(f->minute, 2, 10, QLatin1Char('0'));
}

// The reminders as the due check would leave them at `at`: each listed one
// revalidated, the ended ones left out. Only the document in memory changes.
void revalidateAll(CItemTables &tables, qint64 at)
{
    QList<quint32> kept;
    for (const quint32 index : tables.reminders()) {
        if (!tables.isItem(index))
            continue;
        CNoteInfo info = tables.info(index);
        CReminder r = CReminder::of(info);
        if (!r.isSet() || ReminderRules::revalidate(r, at) == ReminderRules::Verdict::Drop)
            continue;
        if (r.storeInto(info))  // a window beyond the stored range stays as stored
            tables.setInfo(index, info);
        kept.append(index);
    }
    tables.setReminders(std::move(kept));
}

}  // namespace

int runReminders(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const auto doc = session.makeReader();
    if (!doc->openDocument(session.file(0), false))
        return CCliSession::kFailure;

    qint64 at = doc->now().toSecsSinceEpoch();
    const QString &moment = session.args().at;
    if (!moment.isEmpty()) {
        const QDate date = QDate::fromString(moment.left(10), QStringLiteral("yyyy-MM-dd"));
        const QTime time = QTime::fromString(moment.mid(11), QStringLiteral("HH:mm"));
        const std::optional<qint64> built =
            LocalTime::build(date.year(), date.month(), date.day(), time.hour(), time.minute());
        if (!built)
            return CCliSession::fail(QStringLiteral("the moment %1 cannot be represented").arg(moment));
        at = *built;
    }
    revalidateAll(*doc, at);

    QByteArray out;
    QJsonArray array;
    for (const int index : Reminders::listOrder(*doc)) {
        const CReminder r = CReminder::of(doc->info(index));
        const QString title = session.codePage().toUnicode(doc->title(index));
        const bool begun = r.start <= at;
        const QString mode = r.mode == CReminder::kFrom ? QStringLiteral("from") : QStringLiteral("till");
        if (session.args().json) {
            array.append(QJsonObject{{"index", index},
                                     {"title", title},
                                     {"mode", mode},
                                     {"moment", r.moment},
                                     {"lead", r.lead},
                                     {"period", r.period},
                                     {"start", r.start},
                                     {"end", r.end},
                                     {"next", r.next},
                                     {"begun", begun}});
        } else {
            out += QStringLiteral("%1%2\t%3\t%4\t%5\n")
                       .arg(begun ? QStringLiteral("*") : QString())
                       .arg(index)
                       .arg(localText(r.moment), mode, title)
                       .toUtf8();
        }
    }
    if (session.args().json)
        out = QJsonDocument(array).toJson(QJsonDocument::Indented);
    return CConsole::write(out) ? CCliSession::kSuccess : CCliSession::kFailure;
}
