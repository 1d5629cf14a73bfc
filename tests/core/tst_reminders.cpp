// Reminder rules with an injected clock, in a time zone with daylight saving
// (Central European: UTC+1 in winter, UTC+2 from the last Sunday of March to
// the last Sunday of October), so that dates roll over in local time.
#include "DocFixture.h"
#include "reminders/ReminderForm.h"
#include "reminders/LocalTime.h"
#include "reminders/Reminders.h"

#include <QtTest>

#include <ctime>
#include <limits>

namespace {

namespace R = ReminderRules;
using R::CEntries;
using R::CSpan;
using R::Verdict;

constexpr qint64 kOneMinute = 60;
constexpr qint64 kOneHour = 3600;
constexpr qint64 kOneDay = 86400;
constexpr qint64 kOneWeek = 7 * kOneDay;

qint64 utc(int y, int mo, int d, int h, int mi = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC).toSecsSinceEpoch();
}

CReminder reminder(qint32 mode, qint64 moment, qint64 lead, qint64 period, qint64 start, qint64 end, qint32 next = 0)
{
    CReminder r;
    r.mode = mode;
    r.moment = moment;
    r.lead = lead;
    r.period = period;
    r.start = start;
    r.end = end;
    r.next = next;
    return r;
}

// A document whose clock the test moves, with notes titled "n0", "n1", ...
struct CClockDoc : CDocFixture
{
    qint64 now = 0;

    explicit CClockDoc(int notes = 3)
    {
        doc->setClock([this] { return QDateTime::fromSecsSinceEpoch(now, Qt::UTC); });
        for (int i = 0; i < notes; ++i) {
            doc->appendItem("n" + QByteArray::number(i), {}, CItemTables::kRootParent, CNoteInfo{});
            doc->appendToOrder(quint32(i));
        }
    }
    CReminder at(int index) const { return CReminder::of(doc->info(index)); }
};

}  // namespace

class TestReminders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Before anything breaks a time down; a POSIX rule needs no zone files.
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
    }

    // ------------------------------------------------------ conversions

    void spansComeBackAsEntered_data()
    {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<int>("unit");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<qint64>("shownCount");
        QTest::addColumn<int>("shownUnit");
        QTest::newRow("2 years are 730 days") << 2LL << int(R::kYear) << 63072000LL << 2LL << int(R::kYear);
        QTest::newRow("6 months are 183 days") << 6LL << int(R::kMonth) << 15811200LL << 6LL << int(R::kMonth);
        QTest::newRow("1 month is 30 days") << 1LL << int(R::kMonth) << 2592000LL << 1LL << int(R::kMonth);
        QTest::newRow("3 weeks") << 3LL << int(R::kWeek) << 1814400LL << 3LL << int(R::kWeek);
        QTest::newRow("8 days") << 8LL << int(R::kDay) << 691200LL << 8LL << int(R::kDay);
        QTest::newRow("25 hours") << 25LL << int(R::kHour) << 90000LL << 25LL << int(R::kHour);
        QTest::newRow("50 minutes") << 50LL << int(R::kMinute) << 3000LL << 50LL
                                    << int(R::kMinute);
    }

    void spansComeBackAsEntered()
    {
        QFETCH(qint64, count);
        QFETCH(int, unit);
        QFETCH(qint64, seconds);
        QFETCH(qint64, shownCount);
        QFETCH(int, shownUnit);
        QCOMPARE(R::amountSeconds(count, unit), std::optional<qint64>(seconds));
        QCOMPARE(R::spanToCountAndUnit(seconds), (CSpan{shownCount, shownUnit}));
    }

    void spansAFewSecondsShort()
    {
        QCOMPARE(R::spanToCountAndUnit(3599), (CSpan{1, R::kHour}));
        QCOMPARE(R::spanToCountAndUnit(119), (CSpan{2, R::kMinute}));
        QCOMPARE(R::spanToCountAndUnit(0), (CSpan{0, R::kMinute}));
        QCOMPARE(R::spanToCountAndUnit(84672), (CSpan{1, R::kDay}));  // 98% of a day
        QCOMPARE(R::amountSeconds(1, -1), std::nullopt);
        QCOMPARE(R::amountSeconds(1, 6), std::nullopt);
        QCOMPARE(R::toleranceSeconds(1, R::kMonth), std::optional<qint64>(2628000));
        QCOMPARE(R::toleranceSeconds(1, R::kYear), std::optional<qint64>(31536000));
    }

    // ------------------------------------------------------ placement

    void toleranceIsLimitedAndSplit()
    {
        const qint64 d = utc(2023, 6, 10, 10);
        CEntries e{d, CReminder::kTill, 0, kOneDay, 2 * kOneDay, 50, 0};
        const CReminder r = R::compute(e, d - 30 * kOneDay);
        QCOMPARE(r.end - r.start, 84672);  // 98% of the period
        QCOMPARE(r.end - d, 42336);        // the window around the moment
        QCOMPARE(d - r.start, 42336);
    }

    void sliderEnds()
    {
        const qint64 d = utc(2023, 6, 10, 10);
        const qint64 now = d - 30 * kOneDay;
        CEntries e{d, CReminder::kTill, kOneDay, kOneWeek, 2 * kOneDay, 0, 0};
        const CReminder before = R::compute(e, now);
        QCOMPARE(before.end, d);
        QCOMPARE(before.start, d - 2 * kOneDay);

        e.mode = CReminder::kFrom;
        e.slider = 100;
        const CReminder after = R::compute(e, now);
        QCOMPARE(after.start, d);
        QCOMPARE(after.end, d + 2 * kOneDay);
    }

    void tillWindowsLeadUpToTheMoment()
    {
        const qint64 d = utc(2023, 6, 30, 10);
        // Lead 10 days, weekly windows of 2 hours around the moment: the first
        // window is the last one ending after U = D - I.
        const CReminder r = R::compute({d, CReminder::kTill, 10 * kOneDay, kOneWeek, 2 * kOneHour, 50, 0}, d - 60 * kOneDay);
        QCOMPARE(r.start, d - kOneHour - kOneWeek);
        QCOMPARE(r.end, d + kOneHour - kOneWeek);

        // A moment already reached: U is now, and the window ending after it comes.
        const qint64 now = d + 3 * kOneDay;
        const CReminder late = R::compute({d, CReminder::kTill, kOneDay, kOneWeek, 2 * kOneHour, 50, 0}, now);
        QCOMPARE(late.start, d - kOneHour + kOneWeek);
    }

    void tillWindowEndingBeforeLeadStartMovesOnePeriod()
    {
        // Lead 30 days, period 1 day, all of the tolerance before the moment:
        // F = D ends after U, so the window steps back until F <= U, then on once.
        const qint64 d = utc(2023, 6, 30, 10);
        const CReminder r = R::compute({d, CReminder::kTill, 30 * kOneDay, kOneDay, kOneHour, 0, 0}, d - 60 * kOneDay);
        QCOMPARE(r.end, d - 29 * kOneDay);
        // A window that already ends at U moves on by exactly one period.
        const CReminder early = R::compute({d, CReminder::kTill, 0, kOneDay, kOneHour, 0, 0}, d - 60 * kOneDay);
        QCOMPARE(early.end, d + kOneDay);
    }

    void fromWithTimeBeforeStartsOnePeriodLater()
    {
        const qint64 d = utc(2023, 6, 30, 10);
        const CReminder r = R::compute({d, CReminder::kFrom, kOneDay, kOneDay, 2 * kOneHour, 50, 0}, d - kOneDay);
        QCOMPARE(r.start, d - kOneHour + kOneDay);
        QCOMPARE(r.end, d + kOneHour + kOneDay);
    }

    // ------------------------------------------------------ revalidation

    void rollOverInLocalTime_data()
    {
        QTest::addColumn<qint64>("moment");
        QTest::addColumn<int>("next");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("31 Jan + month, common year") << utc(2023, 1, 31, 9) << int(CReminder::kNextMonth)
                                                     << utc(2023, 3, 3, 9);
        QTest::newRow("31 Jan + month, leap year") << utc(2024, 1, 31, 9) << int(CReminder::kNextMonth)
                                                   << utc(2024, 3, 2, 9);
        QTest::newRow("29 Feb + year") << utc(2024, 2, 29, 9) << int(CReminder::kNextYear) << utc(2025, 3, 1, 9);
        QTest::newRow("31 Dec + week") << utc(2023, 12, 31, 9) << int(CReminder::kNextWeek) << utc(2024, 1, 7, 9);
        // 10:00 local on the day before the spring change is 10:00 summer time after it: 23 hours.
        QTest::newRow("into summer time") << utc(2023, 3, 25, 9) << int(CReminder::kNextDay) << utc(2023, 3, 26, 8);
        QTest::newRow("into winter time") << utc(2023, 10, 28, 8) << int(CReminder::kNextDay) << utc(2023, 10, 29, 9);
    }

    void rollOverInLocalTime()
    {
        QFETCH(qint64, moment);
        QFETCH(int, next);
        QFETCH(qint64, expected);
        QCOMPARE(R::rollOver(moment, next), std::optional<qint64>(expected));

        // The same through revalidation: the window keeps its place around the new date.
        CReminder r = reminder(CReminder::kTill, moment, kOneDay, kOneDay, moment - kOneHour, moment + 2 * kOneHour, next);
        QCOMPARE(R::revalidate(r, moment + 3 * kOneHour), Verdict::Keep);
        QCOMPARE(r.moment, expected);
        QCOMPARE(r.start, expected - kOneHour);
        QCOMPARE(r.end, expected + 2 * kOneHour);
    }

    // A period of whole days keeps the wall-clock time across the changes of
    // the clocks (Europe/Berlin); only a time the spring change skips moves
    // on by the gap, that day. Hours stay plain seconds.
    void wholeDaysKeepTheWallClock_data()
    {
        QTest::addColumn<qint64>("period");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("start");
        const auto at = [](int mo, int d, int h, int mi = 0) { return QDateTime(QDate(2023, mo, d), QTime(h, mi)); };
        QTest::newRow("02:30 daily, the day the clocks skip it") << kOneDay << at(3, 24, 2, 30) << at(3, 26, 0)
                                                                 << at(3, 26, 3, 30);
        QTest::newRow("02:30 daily, the day after") << kOneDay << at(3, 24, 2, 30) << at(3, 27, 0) << at(3, 27, 2, 30);
        QTest::newRow("09:00 daily into summer time") << kOneDay << at(3, 24, 9) << at(3, 28, 0) << at(3, 28, 9);
        QTest::newRow("09:00 daily into winter time") << kOneDay << at(10, 27, 9) << at(10, 31, 0) << at(10, 31, 9);
        QTest::newRow("09:00 weekly") << kOneWeek << at(3, 20, 9) << at(3, 21, 0) << at(3, 27, 9);
        // 22:00 winter time plus 10 hours is 09:00 summer time.
        QTest::newRow("every 5 hours") << 5 * kOneHour << at(3, 25, 22) << at(3, 26, 6) << at(3, 26, 9);
    }

    void wholeDaysKeepTheWallClock()
    {
        QFETCH(qint64, period);
        QFETCH(QDateTime, moment);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, start);
        const QByteArray zone = qgetenv("TZ");
        const bool berlin = QFile::exists(QStringLiteral("/usr/share/zoneinfo/Europe/Berlin"));
        qputenv("TZ", berlin ? QByteArray("Europe/Berlin") : zone);
        tzset();
        const auto local = [](const QDateTime &t) {
            return *LocalTime::build(t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute());
        };
        const qint64 d = local(moment);
        // "Remind from", windows of 30 minutes from the moment, for 30 days.
        CReminder r = reminder(CReminder::kFrom, d, 30 * kOneDay, period, d, d + 30 * kOneMinute);
        QCOMPARE(R::revalidate(r, local(now)), Verdict::Keep);
        const qint64 expected = local(start);
        QCOMPARE(QDateTime::fromSecsSinceEpoch(r.start), QDateTime::fromSecsSinceEpoch(expected));
        QCOMPARE(r.end, expected + 30 * kOneMinute);

        // Announced windows move on the same way, and back to the wall-clock
        // time the day after a skipped one.
        if (period == kOneDay) {
            CReminder walk = reminder(CReminder::kFrom, d, 30 * kOneDay, period, d, d + 30 * kOneMinute);
            for (int i = 0; i < 5; ++i)
                QCOMPARE(R::advance(walk), Verdict::Keep);
            QCOMPARE(LocalTime::fields(walk.start)->hour, moment.time().hour());
            QCOMPARE(LocalTime::fields(walk.start)->minute, moment.time().minute());

            // The placement from the dialog's entries: "till", a week ahead.
            CEntries in;
            in.moment = local(moment.addDays(7));
            in.lead = 7 * kOneDay;
            in.period = kOneDay;
            in.tolerance = 2 * kOneHour;
            const CReminder placed = R::compute(in, d - kOneDay);
            QCOMPARE(LocalTime::fields(placed.start)->hour, (moment.time().hour() + 23) % 24);  // an hour before
        }
        qputenv("TZ", zone);
        tzset();
    }

    void windowsCatchUpWithNow()
    {
        // Before the moment, a window that ended moves on to the first one not ended.
        const qint64 d = utc(2023, 6, 30, 10);
        CReminder r = reminder(CReminder::kTill, d, 30 * kOneDay, kOneDay, d - 30 * kOneDay, d - 30 * kOneDay + kOneHour);
        const qint64 now = d - 10 * kOneDay + 2 * kOneHour;
        QCOMPARE(R::revalidate(r, now), Verdict::Keep);
        QCOMPARE(r.start, d - 9 * kOneDay);
        QCOMPARE(r.end, d - 9 * kOneDay + kOneHour);

        // After the moment, the window containing it comes back until it has ended.
        CReminder late = reminder(CReminder::kTill, d, kOneDay, kOneDay, d + kOneDay - kOneHour, d + kOneDay + kOneHour);
        QCOMPARE(R::revalidate(late, d + 30 * kOneMinute), Verdict::Keep);
        QCOMPARE(late.start, d - kOneHour);
        // Ended, no repeat-next unit: cleared.
        QCOMPARE(R::revalidate(late, d + 2 * kOneHour), Verdict::Drop);
        QCOMPARE(late.mode, qint32(CReminder::kNone));
        QCOMPARE(late.moment, 0);
        QCOMPARE(late.start, 0);
        QCOMPARE(late.end, 0);
    }

    void boundedForAnyStoredValues_data()
    {
        QTest::addColumn<qint64>("period");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("moment");
        const qint64 lo = std::numeric_limits<qint32>::min();
        const qint64 hi = std::numeric_limits<qint32>::max();
        QTest::newRow("1 s period from the far past") << 1LL << lo << hi;
        QTest::newRow("1 s period, moment in the far past") << 1LL << lo << lo;
        QTest::newRow("period 0") << 0LL << lo << hi;
        QTest::newRow("negative period") << -kOneDay << lo << hi;
        QTest::newRow("window at the end of the range") << 1LL << hi << hi;
    }

    void boundedForAnyStoredValues()
    {
        // A loop stepping one period at a time would run for billions of steps.
        QFETCH(qint64, period);
        QFETCH(qint64, start);
        QFETCH(qint64, moment);
        for (qint32 next = 0; next <= 4; ++next) {
            for (qint32 mode : {0, 1}) {
                CReminder r = reminder(mode, moment, std::numeric_limits<qint32>::max(), period, start, start, next);
                const Verdict v = R::revalidate(r, utc(2023, 6, 1, 0));
                if (v == Verdict::Drop)
                    QVERIFY(!r.isSet());
                else if (r.repeats() && r.moment >= utc(2023, 6, 1, 0))
                    QVERIFY(r.end >= utc(2023, 6, 1, 0));  // caught up with now
            }
        }
    }

    // ------------------------------------------------------ due check

    void noRemindersNothingDue()
    {
        CClockDoc f;
        f.now = utc(2023, 6, 1, 12);
        QCOMPARE(Reminders::dueCheck(*f.doc).index, -1);
        QVERIFY(!f.doc->isModified());
    }

    void earlierWindowFirstOtherAtNextCheck()
    {
        CClockDoc f;
        const qint64 d = utc(2023, 6, 10, 12);
        f.now = d;
        // Note 2 is listed first but its window starts later than note 0's.
        QVERIFY(Reminders::set(*f.doc, 2, reminder(0, d + kOneDay, kOneDay, kOneWeek, d - kOneHour, d + 2 * kOneDay)));
        QVERIFY(Reminders::set(*f.doc, 0, reminder(0, d + kOneDay, kOneDay, kOneWeek, d - 2 * kOneHour, d + 2 * kOneDay)));
        QVERIFY(Reminders::set(*f.doc, 0, f.at(0)));  // listed once
        QCOMPARE(f.doc->reminders(), (QList<quint32>{2, 0}));

        const Reminders::CDue first = Reminders::dueCheck(*f.doc);
        QCOMPARE(first.index, 0);
        QCOMPARE(first.moment, qint32(d + kOneDay));
        QCOMPARE(f.at(0).start, d - 2 * kOneHour + kOneWeek);
        QVERIFY(f.doc->isModified());

        f.now += 30;
        QCOMPARE(Reminders::dueCheck(*f.doc).index, 2);
        f.now += 30;
        QCOMPARE(Reminders::dueCheck(*f.doc).index, -1);
        QCOMPARE(f.doc->reminders().size(), 2);
    }

    void tieGoesToEarlierListPlace()
    {
        CClockDoc f;
        const qint64 d = utc(2023, 6, 10, 12);
        f.now = d;
        for (int i : {1, 0})
            QVERIFY(Reminders::set(*f.doc, i, reminder(1, d, 0, kOneWeek, d, d + kOneHour)));
        QCOMPARE(Reminders::dueCheck(*f.doc).index, 1);
        QCOMPARE(Reminders::dueCheck(*f.doc).index, 0);
    }

    void endedReminderLeavesListWithoutAnnouncement()
    {
        CClockDoc f;
        const qint64 d = utc(2023, 6, 10, 12);
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, d, kOneDay, kOneWeek, d - kOneHour, d + kOneHour)));
        f.doc->setReminders(QList<quint32>{99} + f.doc->reminders());  // outside the table: skipped, kept
        f.now = d + 2 * kOneHour;
        QCOMPARE(Reminders::dueCheck(*f.doc).index, -1);
        QCOMPARE(f.doc->reminders(), (QList<quint32>{99}));
        QVERIFY(!f.at(1).isSet());
        QVERIFY(f.doc->hasReminders());  // the stray entry is still listed
        f.doc->setReminders({});
        Reminders::dueCheck(*f.doc);
        QVERIFY(!f.doc->hasReminders());
        QVERIFY(!f.doc->isModified());  // revalidation alone does not modify
    }

    void longAbsenceOneAnnouncementPerMissedUnit()
    {
        CClockDoc f;
        const qint64 d = utc(2023, 6, 10, 10);  // 12:00 local, summer time throughout
        QVERIFY(Reminders::set(*f.doc, 0, reminder(0, d, 3 * kOneDay, kOneDay, d - kOneHour, d + kOneHour, CReminder::kNextDay)));
        f.now = d + 5 * kOneDay + 2 * kOneHour;
        QList<qint32> announced;
        for (int check = 0; check < 20; ++check) {
            const Reminders::CDue due = Reminders::dueCheck(*f.doc);
            if (due.index >= 0)
                announced.append(due.moment);
            f.now += 30;
        }
        QCOMPARE(announced.size(), 5);
        for (int i = 0; i < announced.size(); ++i)
            QCOMPARE(announced[i], qint32(d + (i + 1) * kOneDay));
        // Caught up: the next date waits for its window.
        QCOMPARE(f.at(0).moment, d + 6 * kOneDay);
        QCOMPARE(f.at(0).start, d + 6 * kOneDay - kOneHour);
    }

    void periodZeroIsOneWindow_data()
    {
        QTest::addColumn<qint64>("period");
        QTest::addColumn<int>("next");
        QTest::newRow("0, no next") << 0LL << 0;
        QTest::newRow("negative, no next") << -kOneDay << 0;
        QTest::newRow("0, next week") << 0LL << int(CReminder::kNextWeek);
    }

    void periodZeroIsOneWindow()
    {
        QFETCH(qint64, period);
        QFETCH(int, next);
        CClockDoc f;
        const qint64 d = utc(2023, 6, 10, 12);
        QVERIFY(Reminders::set(*f.doc, 0, reminder(1, d, 0, period, d, d + kOneDay, next)));
        f.now = d + kOneHour;
        int announcements = 0;
        for (int check = 0; check < 10; ++check, f.now += 30)
            announcements += Reminders::dueCheck(*f.doc).index == 0 ? 1 : 0;
        QCOMPARE(announcements, 1);
        if (next == 0) {
            QVERIFY(!f.at(0).isSet());
            QVERIFY(f.doc->reminders().isEmpty());
        } else {
            QCOMPARE(f.at(0).moment, d + kOneWeek);  // the series moved to the next week
            QCOMPARE(f.at(0).start, d + kOneWeek);
        }
    }

    void windowPastTheStoredRangeStaysAsStored()
    {
        CClockDoc f;
        const qint32 hi = std::numeric_limits<qint32>::max();
        // "from" with a lead that puts the reference time beyond 2038.
        QVERIFY(Reminders::set(*f.doc, 0, reminder(1, hi - kOneHour, kOneDay, kOneWeek, hi - 2 * kOneWeek, hi - 2 * kOneWeek + 1)));
        const CNoteInfo stored = f.doc->info(0);
        f.now = qint64(hi) - 10;
        QCOMPARE(Reminders::dueCheck(*f.doc).index, -1);
        QCOMPARE(f.doc->info(0), stored);
    }

    // ------------------------------------------------------ the list and the file

    void listFollowsSetClearAndLoad()
    {
        CClockDoc f(4);
        const qint64 d = utc(2023, 6, 10, 12);
        f.now = d;
        QVERIFY(Reminders::set(*f.doc, 3, reminder(0, d + kOneWeek, kOneDay, kOneWeek, d + 5 * kOneDay, d + 6 * kOneDay)));
        QVERIFY(Reminders::set(*f.doc, 1, reminder(1, d + kOneWeek, kOneDay, kOneWeek, d + 8 * kOneDay, d + 9 * kOneDay, 3)));
        QVERIFY(!Reminders::set(*f.doc, 4, reminder(0, d, 0, kOneWeek, d, d)));
        QCOMPARE(Reminders::listOrder(*f.doc), (std::vector<int>{1, 3}));  // same moment: index order
        QVERIFY(Reminders::set(*f.doc, 2, reminder(0, d + kOneDay, kOneDay, kOneWeek, d, d + kOneHour)));
        QCOMPARE(Reminders::listOrder(*f.doc), (std::vector<int>{2, 1, 3}));  // earlier moment first
        QVERIFY(Reminders::clear(*f.doc, 2));

        f.doc->setPassword("ab");
        const QByteArray bytes = f.doc->writeToBytes();
        f.prompter.passwordAnswers.append({true, "ab", false});
        QVERIFY(f.doc->readFromBytes(bytes));
        QCOMPARE(f.doc->reminders(), (QList<quint32>{1, 3}));  // file order
        QVERIFY(f.doc->hasReminders());
        QCOMPARE(f.at(1), reminder(1, d + kOneWeek, kOneDay, kOneWeek, d + 8 * kOneDay, d + 9 * kOneDay, 3));

        QVERIFY(Reminders::clear(*f.doc, 1));
        QCOMPARE(f.doc->reminders(), (QList<quint32>{3}));
        QCOMPARE(f.doc->info(1).m_nRemind, -1);
        QVERIFY(!Reminders::clear(*f.doc, -1));
    }

    // ------------------------------------------------------ the setting dialog's rules

    void confirmedDefaultsGiveWeeklyReminderMovedOnAWeek()
    {
        CClockDoc f;
        f.now = utc(2023, 6, 10, 10, 17) + 25;  // 12:17:25 local
        const qint64 d = f.now - 25;
        const CReminderForm form = CReminderForm::opening(f.at(0), f.now);
        QVERIFY(form.hasReminder);
        QCOMPARE(form.time, QTime(12, 17));
        const CReminderForm::Result result = form.compute(f.now);
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(result.reminder, reminder(0, d, 30 * kOneDay, kOneWeek, d - kOneDay, d + kOneDay));

        QVERIFY(Reminders::confirmDialog(*f.doc, 0, true, result.reminder));
        QVERIFY(f.doc->isModified());
        QCOMPARE(f.at(0).start, d + 6 * kOneDay);  // already begun: moved on without a popup
        QCOMPARE(f.doc->reminders(), (QList<quint32>{0}));

        QVERIFY(Reminders::confirmDialog(*f.doc, 0, false, {}));
        QVERIFY(f.doc->reminders().isEmpty());
        QVERIFY(!f.at(0).isSet());
    }

    void storedValuesOpenAsEntered()
    {
        const qint64 d = utc(2023, 6, 10, 10);
        const CReminderForm form = CReminderForm::opening(reminder(1, d, 183 * kOneDay, kOneDay, 0, 84672, 2), d);
        QCOMPARE(form.modeIndex, int(CReminderForm::kRemindFrom));
        QCOMPARE(form.counts[CReminderForm::kIn], QStringLiteral("6"));
        QCOMPARE(form.units[CReminderForm::kIn], int(R::kMonth));
        QCOMPARE(form.counts[CReminderForm::kTolerance], QStringLiteral("1"));
        QCOMPARE(form.units[CReminderForm::kTolerance], int(R::kDay));
        QCOMPARE(form.nextIndex, 2);
        QCOMPARE(form.date, QDate(2023, 6, 10));
        QCOMPARE(form.time, QTime(12, 0));

        // Every slider position comes back from the window it produced.
        for (int mode : {CReminderForm::kRemindFrom, CReminderForm::kRemindTill}) {
            for (int slider : {0, 25, 50, 100}) {
                CReminderForm f = CReminderForm::defaults(d);
                f.modeIndex = mode;
                f.slider = slider;
                f.counts[CReminderForm::kTolerance] = QStringLiteral("10");
                f.units[CReminderForm::kTolerance] = R::kHour;
                const CReminderForm::Result r = f.compute(d);
                QVERIFY(r.ok);
                QCOMPARE(CReminderForm::opening(r.reminder, d).slider, slider);
            }
        }
    }

    void formRefusesDatesBeyondTheRange()
    {
        CReminderForm form = CReminderForm::defaults(utc(2023, 6, 10, 10));
        form.date = QDate(2038, 3, 1);
        const CReminderForm::Result r = form.compute(utc(2023, 6, 10, 10));
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QString::fromLatin1(CReminderForm::kOutOfRange));
        QCOMPARE(r.field, CReminderForm::kMoment);
    }
};

QTEST_GUILESS_MAIN(TestReminders)
#include "tst_reminders.moc"
