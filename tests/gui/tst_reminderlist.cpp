// The reminders list and the 30-second check with its popup, driven with keys
// and clicks: row order, Delete, Edit, "Show the note", and the announcement.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "platform/Tone.h"
#include "reminders/ReminderChecker.h"
#include "reminders/ReminderListDlg.h"
#include "reminders/ReminderPopupDlg.h"
#include "reminders/Reminders.h"
#include "text/CodePage.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtEndian>
#include <QtTest>

#include <ctime>

namespace {

constexpr qint64 kHour = 3600;
constexpr qint64 kDay = 86400;
constexpr qint64 kWeek = 7 * kDay;
const qint64 kNow = QDateTime(QDate(2023, 6, 10), QTime(10, 0), Qt::UTC).toSecsSinceEpoch();

class CFakeTone : public ITone
{
public:
    QList<std::pair<int, int>> played;
    void play(int frequencyHz, int durationMs) override { played.append({frequencyHz, durationMs}); }
};

CReminder reminder(qint32 mode, qint64 moment, qint64 start)
{
    CReminder r;
    r.mode = mode;
    r.moment = moment;
    r.lead = kDay;
    r.period = kWeek;
    r.start = start;
    r.end = start + kHour;
    return r;
}

struct CListDoc : CDocFixture
{
    qint64 now = kNow;
    CCodePage codePage;

    explicit CListDoc(const QList<QByteArray> &titles)
    {
        doc->setClock([this] { return QDateTime::fromSecsSinceEpoch(now, Qt::UTC); });
        for (const QByteArray &title : titles) {
            const int i = doc->appendItem(title, {}, CItemTables::kRootParent, CNoteInfo{});
            doc->appendToOrder(quint32(i));
        }
    }
};

QStringList column(const QTableView *view, int c)
{
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        texts.append(view->model()->index(r, c).data().toString());
    return texts;
}

}  // namespace

class TestReminderList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
    }

    void rowsByMomentThenIndex()
    {
        CListDoc f({"Root", "Late", "Tie b", "Tie a", "Early"});
        const qint64 d = kNow + 5 * kDay;
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, d + kWeek, d)));
        QVERIFY(Reminders::set(*f.doc, 3, reminder(1, d, d)));
        QVERIFY(Reminders::set(*f.doc, 2, reminder(0, d, d)));
        QVERIFY(Reminders::set(*f.doc, 4, reminder(1, d - kDay, d)));
        f.settings->setNumber(CSettings::ReminderColumn0, 180);

        {
            CReminderListDlg dlg(*f.doc, *f.settings, f.codePage, {});
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            auto *view = dlg.findChild<QTableView *>(QStringLiteral("list"));
            QCOMPARE(dlg.windowTitle(), QStringLiteral("Reminders list"));
            QCOMPARE(column(view, 0), (QStringList{"Early", "Tie b", "Tie a", "Late"}));
            QCOMPARE(column(view, 1), (QStringList{"from", " ", "from", " "}));
            QCOMPARE(column(view, 2).first(), Reminders::dateText(d - kDay));
            QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Note"));
            QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral(" "));
            QCOMPARE(view->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Date"));
            QCOMPARE(view->columnWidth(0), 180);
            for (const char *name : {"show", "edit", "delete"})
                QVERIFY(!dlg.findChild<QPushButton *>(QLatin1String(name))->isEnabled());
            QVERIFY(guitest::saveScreenshot(dlg, QStringLiteral("reminders-list")));
            view->horizontalHeader()->resizeSection(2, 95);
        }
        QCOMPARE(f.settings->number(CSettings::ReminderColumn2), 95);  // written back on closing
    }

    // With a large font the dates and marks still show whole, unless the
    // user has set widths of their own, which are kept.
    void columnsFitWhatTheyShow()
    {
        CListDoc f({"A note with a title", "Two"});
        const qint64 d = QDateTime(QDate(2023, 12, 28), QTime(10, 0), Qt::UTC).toSecsSinceEpoch();
        QVERIFY(Reminders::set(*f.doc, 0, reminder(1, d, d)));
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, d + kDay, d)));
        f.settings->setNumber(CSettings::ReminderColumn2, 70);  // what the list once wrote back by itself
        const QFont before = QApplication::font();
        QFont large = before;
        large.setPointSize(28);
        QApplication::setFont(large);
        {
            CReminderListDlg dlg(*f.doc, *f.settings, f.codePage, {});
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            auto *view = dlg.findChild<QTableView *>(QStringLiteral("list"));
            const QFontMetrics metrics(view->font());
            QVERIFY(view->columnWidth(2) > metrics.horizontalAdvance(Reminders::dateText(d)));
            QVERIFY(view->columnWidth(1) > metrics.horizontalAdvance(QStringLiteral("from")));
            QVERIFY(view->columnWidth(0) > metrics.horizontalAdvance(QStringLiteral("A note with a title")));
            QVERIFY(guitest::saveScreenshot(dlg, QStringLiteral("reminders-list-large-font")));
            view->horizontalHeader()->resizeSection(2, 95);
        }
        QApplication::setFont(before);
        QCOMPARE(f.settings->number(CSettings::ReminderColumn2), 95);
        QCOMPARE(f.settings->number(CSettings::ReminderColumn1), CSettings::defaultNumber(CSettings::ReminderColumn1));  // a fitted width is not the user's
        CReminderListDlg again(*f.doc, *f.settings, f.codePage, {});
        QCOMPARE(again.findChild<QTableView *>(QStringLiteral("list"))->columnWidth(2), 95);
    }

    void deleteKeyClearsAndMarksModified()
    {
        CListDoc f({"One", "Two"});
        QVERIFY(Reminders::set(*f.doc, 0, reminder(0, kNow + kDay, kNow + kHour)));
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, kNow + 2 * kDay, kNow + kHour)));
        CReminderListDlg dlg(*f.doc, *f.settings, f.codePage, {});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto *view = dlg.findChild<QTableView *>(QStringLiteral("list"));
        auto *del = dlg.findChild<QPushButton *>(QStringLiteral("delete"));

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
        QVERIFY(del->isEnabled());
        QTest::keyClick(view, Qt::Key_Delete);
        QVERIFY(!CReminder::of(f.doc->info(0)).isSet());
        QCOMPARE(f.doc->reminders(), (QList<quint32>{1}));
        QVERIFY(f.doc->isModified());
        QCOMPARE(column(view, 0), QStringList{"Two"});
        QVERIFY(del->isEnabled());  // the next row moved up and is selected

        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(view->model()->rowCount(), 0);
        QVERIFY(f.doc->reminders().isEmpty());
        for (const char *name : {"show", "edit", "delete"})
            QVERIFY(!dlg.findChild<QPushButton *>(QLatin1String(name))->isEnabled());
        QVERIFY(f.doc->hasReminders());  // follows the list at the next check
        QVERIFY(dlg.isVisible());
    }

    void enterEditsAndShowChoosesNote()
    {
        CListDoc f({"One", "Two"});
        QVERIFY(Reminders::set(*f.doc, 0, reminder(0, kNow + kDay, kNow + kHour)));
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, kNow + 2 * kDay, kNow + kHour)));
        QList<int> edited;
        // The edit moves note 0's moment after note 1's: its row moves down.
        CReminderListDlg dlg(*f.doc, *f.settings, f.codePage, [&](int index) {
            edited.append(index);
            return Reminders::set(*f.doc, index, reminder(0, kNow + 3 * kDay, kNow + kHour));
        });
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto *view = dlg.findChild<QTableView *>(QStringLiteral("list"));
        view->setFocus();
        view->selectRow(0);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(edited, QList<int>{0});
        QVERIFY(dlg.isVisible());
        QCOMPARE(column(view, 0), (QStringList{"Two", "One"}));
        // The edited note stays highlighted in its new row: "Show the note"
        // and Delete act on it, not on the note that moved up.
        QCOMPARE(view->selectionModel()->selectedRows().value(0).row(), 1);
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("show")), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.chosenIndex(), 0);
    }

    void deleteAfterEditHitsTheEditedNote()
    {
        CListDoc f({"One", "Two"});
        QVERIFY(Reminders::set(*f.doc, 0, reminder(0, kNow + kDay, kNow + kHour)));
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, kNow + 2 * kDay, kNow + kHour)));
        CReminderListDlg dlg(*f.doc, *f.settings, f.codePage, [&](int index) {
            return Reminders::set(*f.doc, index, reminder(0, kNow + 3 * kDay, kNow + kHour));
        });
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto *view = dlg.findChild<QTableView *>(QStringLiteral("list"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("edit")), Qt::LeftButton);
        QTest::keyClick(view, Qt::Key_Delete);
        QVERIFY(!CReminder::of(f.doc->info(0)).isSet());
        QVERIFY(CReminder::of(f.doc->info(1)).isSet());
        QCOMPARE(column(view, 0), QStringList{"Two"});
    }

    void dueReminderShowsPopupAndShowsTheNote()
    {
        CListDoc f({"Root", "Call the bank", "Other"});
        const qint64 d = kNow + kDay;  // 12:00 local on 11 June
        QVERIFY(Reminders::set(*f.doc, 1, reminder(0, d, kNow + 10 * 60)));
        CFakeTone tone;
        QMainWindow window;
        window.showMinimized();
        CReminderChecker checker(*f.doc, tone, f.codePage, &window);
        QSignalSpy shown(&checker, &CReminderChecker::showNote);

        checker.check();  // the window has not begun: nothing
        QVERIFY(tone.played.isEmpty());

        f.now += 15 * 60;
        QString title, date;
        guitest::whenModalShows<CReminderPopupDlg>([&](CReminderPopupDlg *popup) {
            QCOMPARE(popup->windowTitle(), QStringLiteral("Reminder"));
            title = popup->findChild<QLabel *>(QStringLiteral("title"))->text();
            date = popup->findChild<QLabel *>(QStringLiteral("date"))->text();
            // A tick while the popup is open announces nothing more.
            QVERIFY(Reminders::set(*f.doc, 2, reminder(0, d, kNow)));
            checker.check();
            QVERIFY(guitest::saveScreenshot(*popup, QStringLiteral("reminder-popup")));
            QTest::mouseClick(popup->findChild<QPushButton *>(QStringLiteral("show")), Qt::LeftButton);
        });
        checker.check();
        QCOMPARE(title, QStringLiteral("Call the bank"));
        QCOMPARE(date, QLocale::system().toString(QDate(2023, 6, 11), QLocale::ShortFormat));
        QCOMPARE(tone.played, (QList<std::pair<int, int>>{{600, 2000}}));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.first().first().toInt(), 1);
        QVERIFY(!window.isMinimized());
        QVERIFY(f.doc->isModified());

        // The other due reminder comes at the next check; "Close" shows nothing.
        window.showMinimized();
        guitest::whenModalShows<CReminderPopupDlg>([](CReminderPopupDlg *popup) {
            QTest::mouseClick(popup->findChild<QPushButton *>(QStringLiteral("close")), Qt::LeftButton);
        });
        f.now += 30;
        checker.check();
        QCOMPARE(tone.played.size(), 2);
        QCOMPARE(shown.count(), 1);
        QVERIFY(window.isMinimized());
    }

    void toneSamplesAreTheAskedPitch()
    {
        const QByteArray pcm = CSampleTone::samples(600, 2000, 22050);
        QCOMPARE(pcm.size(), 2 * 44100);
        int crossings = 0;
        qint16 previous = 0;
        for (qsizetype i = 0; i < pcm.size(); i += 2) {
            const qint16 v = qFromLittleEndian<qint16>(pcm.constData() + i);
            if ((previous < 0) != (v < 0))
                ++crossings;
            previous = v;
        }
        QVERIFY(qAbs(crossings - 2 * 600 * 2) <= 2);  // two sign changes per cycle
    }
};

QTEST_MAIN(TestReminderList)
#include "tst_reminderlist.moc"
