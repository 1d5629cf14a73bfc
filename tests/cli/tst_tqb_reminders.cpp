// tqb reminders as a process: what a script is told about the reminders of a
// document at a given moment, plain and as JSON, with and without a password.

#include "TqbProcess.h"
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint64 kHour = 3600;
constexpr qint64 kDay = 86400;
constexpr qint64 kWeek = 7 * kDay;

qint64 utc(int y, int mo, int d, int h)
{
    return QDateTime(QDate(y, mo, d), QTime(h, 0), Qt::UTC).toSecsSinceEpoch();
}

using namespace tqbtest;

QJsonObject note(const QString &title, int remind, std::array<qint64, 5> times, int next)
{
    QJsonArray t;
    for (qint64 v : times)
        t.append(v);
    return item(1, title, QString(), {0, 1, 2, 3, 4}, 0, remind, t, next);
}

// Times in central European summer time (UTC+2): 12:00 local is 10:00 UTC.
const qint64 kAlpha = utc(2023, 6, 20, 10);
const qint64 kBeta = utc(2023, 6, 15, 10);
const qint64 kGamma = utc(2023, 6, 1, 10);
const qint64 kEpsilon = utc(2023, 5, 31, 10);
const QString kAt = QStringLiteral("2023-06-15 11:30");

QByteArray sampleJson()
{
    const QJsonArray items{
        note("Root", -1, {0, 0, 0, 0, 0}, 0),
        // till, window begun at the moment asked about
        note("Alpha", 0, {kAlpha, kWeek, kDay, kAlpha - 5 * kDay - kHour, kAlpha - 5 * kDay + kHour}, 0),
        // from, window not begun yet
        note("Beta", 1, {kBeta, kDay, kWeek, kBeta, kBeta + 2 * kHour}, 0),
        // ended without a repeat-next unit: left out
        note("Gamma", 0, {kGamma, kDay, kWeek, kGamma - kHour, kGamma + kHour}, 0),
        // the same moment as Beta: after it by index
        note("Delta", 0, {kBeta, kDay, kWeek, kBeta + kDay, kBeta + kDay + kHour}, 0),
        // ended, repeat next month: 31 May rolls over to 1 July
        note("Epsilon", 0, {kEpsilon, kDay, kWeek, kEpsilon - kHour, kEpsilon + kHour}, 3),
    };
    return documentJson(header({0, 1, 2, 3, 4}, 0, 1600000000), items);
}

}  // namespace

class TstTqbReminders : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

public:
    // One folder for the whole class; every run in the same time zone.
    TstTqbReminders()
    {
        newFolder();
        m_env = {{QStringLiteral("TZ"), QStringLiteral("CET-1CEST,M3.5.0,M10.5.0/3")}};
    }

private slots:
    void plainLinesInListOrder()
    {
        QCOMPARE(fromJson(sampleJson(), QStringLiteral("plain.tqb")), 0);
        const QByteArray before = fileBytes(path(QStringLiteral("plain.tqb")));
        const CRun run = tqb({"reminders", path(QStringLiteral("plain.tqb")), "--at", kAt});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out, QByteArray("2\t2023-06-15 12:00\tfrom\tBeta\n"
                                     "4\t2023-06-15 12:00\ttill\tDelta\n"
                                     "*1\t2023-06-20 12:00\ttill\tAlpha\n"
                                     "5\t2023-07-01 12:00\ttill\tEpsilon\n"));
        QCOMPARE(fileBytes(path(QStringLiteral("plain.tqb"))), before);  // nothing saved

        // A moment after every series: only the rolled-over one is still there.
        const CRun later = tqb({"reminders", path(QStringLiteral("plain.tqb")), "--at=2023-06-25 00:00"});
        QCOMPARE(later.out, QByteArray("5\t2023-07-01 12:00\ttill\tEpsilon\n"));
    }

    void jsonWithPasswordIsDeciphered()
    {
        QCOMPARE(fromJson(sampleJson(), QStringLiteral("secret.tqb"), "secret"), 0);
        const CRun run =
            tqb({"reminders", path(QStringLiteral("secret.tqb")), "--json", "--at", kAt, "--password-stdin"},
                "secret\n");
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QJsonArray array = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(array.size(), 4);
        QList<int> indices;
        for (const QJsonValue &v : array)
            indices.append(v.toObject().value("index").toInt());
        QCOMPARE(indices, (QList<int>{2, 4, 1, 5}));

        const QJsonObject alpha = array[2].toObject();
        QCOMPARE(alpha, (QJsonObject{{"index", 1},
                                     {"title", "Alpha"},
                                     {"mode", "till"},
                                     {"moment", kAlpha},
                                     {"lead", kWeek},
                                     {"period", kDay},
                                     {"start", kAlpha - 5 * kDay - kHour},
                                     {"end", kAlpha - 5 * kDay + kHour},
                                     {"next", 0},
                                     {"begun", true}}));
        const QJsonObject epsilon = array[3].toObject();
        QCOMPARE(epsilon.value("moment").toInteger(), utc(2023, 7, 1, 10));
        QCOMPARE(epsilon.value("start").toInteger(), utc(2023, 7, 1, 10) - kHour);
        QCOMPARE(epsilon.value("next").toInt(), 3);
        QCOMPARE(epsilon.value("begun").toBool(), false);
        QCOMPARE(array[0].toObject().value("mode").toString(), QStringLiteral("from"));
    }

    void emptyListAndBadMoments()
    {
        QVERIFY(tqb({"new", path(QStringLiteral("empty.tqb"))}).exitCode == 0);
        const CRun none = tqb({"reminders", path(QStringLiteral("empty.tqb")), "--json"});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(none.out).array().size(), 0);

        for (const QStringList &args : {QStringList{"reminders", "empty.tqb", "--at", "2023-02-30 10:00"},
                                        QStringList{"reminders", "empty.tqb", "--at", "2023-06-15"},
                                        QStringList{"reminders", "empty.tqb", "--at"},
                                        QStringList{"info", "empty.tqb", "--json"}}) {
            const CRun run = tqb(args);
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains(QStringLiteral("\nTry 'tqb %1 --help'.\n").arg(args[0])), qPrintable(run.err));
        }
    }

    // A daily reminder at 02:30 in Berlin: the day the spring change skips
    // that time it comes at 03:30, the day after at 02:30 again, and across
    // the autumn change a 09:00 one stays at 09:00.
    void dailyWindowsKeepTheWallClock()
    {
        const QString zone = QFile::exists(QStringLiteral("/usr/share/zoneinfo/Europe/Berlin"))
                                 ? QStringLiteral("Europe/Berlin")
                                 : QStringLiteral("CET-1CEST,M3.5.0,M10.5.0/3");
        const qint64 spring = utc(2023, 3, 24, 1) + 30 * 60;  // 02:30 winter time
        const qint64 autumn = utc(2023, 10, 27, 7);            // 09:00 summer time
        const QJsonArray items{note("Root", -1, {0, 0, 0, 0, 0}, 0),
                               note("Night", 1, {spring, 30 * kDay, kDay, spring, spring + kHour}, 0),
                               note("Morning", 1, {autumn, 30 * kDay, kDay, autumn, autumn + kHour}, 0)};
        QFile json(path(QStringLiteral("clock.json")));
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(QJsonDocument(QJsonObject{{"format", "tqb-json/1"},
                                             {"header", QJsonObject{{"icons", QJsonArray{0, 1, 2, 3, 4}},
                                                                    {"sort", 0},
                                                                    {"created", 1600000000}}},
                                             {"items", items}})
                       .toJson());
        json.close();
        const QString file = path(QStringLiteral("clock.tqb"));
        QCOMPARE(tqb({"from-json", json.fileName(), file}).exitCode, 0);

        const auto starts = [&](const QString &at) {
            const CRun run = tqbtest::run({}, path(QStringLiteral("settings.ini")),
                                          {"reminders", file, "--json", "--at", at}, {}, {{QStringLiteral("TZ"), zone}});
            QMap<QString, qint64> out;
            for (const QJsonValue &v : QJsonDocument::fromJson(run.out).array())
                out.insert(v.toObject().value("title").toString(), v.toObject().value("start").toInteger());
            return out;
        };
        QCOMPARE(starts(QStringLiteral("2023-03-26 00:00")).value("Night"), utc(2023, 3, 26, 1) + 30 * 60);  // 03:30 CEST
        QCOMPARE(starts(QStringLiteral("2023-03-27 00:00")).value("Night"), utc(2023, 3, 27, 0) + 30 * 60);  // 02:30 CEST
        QCOMPARE(starts(QStringLiteral("2023-04-20 00:00")).value("Night"), utc(2023, 4, 20, 0) + 30 * 60);
        QCOMPARE(starts(QStringLiteral("2023-10-31 00:00")).value("Morning"), utc(2023, 10, 31, 8));  // 09:00 CET
    }
};

QTEST_GUILESS_MAIN(TstTqbReminders)
#include "tst_tqb_reminders.moc"
