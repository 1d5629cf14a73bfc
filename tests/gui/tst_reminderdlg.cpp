// The reminder setting dialog driven with keys and clicks: what it stores in
// the note, its refusals with their exact messages, and "Clear".
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "reminders/ReminderDlg.h"
#include "reminders/ReminderEditing.h"
#include "reminders/Reminders.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimeEdit>
#include <QtTest>

#include <ctime>

namespace {

constexpr qint64 kDay = 86400;
constexpr qint64 kWeek = 7 * kDay;

// 2023-06-10 12:17:25 in central European summer time.
const qint64 kNow = QDateTime(QDate(2023, 6, 10), QTime(10, 17, 25), Qt::UTC).toSecsSinceEpoch();

struct Controls
{
    explicit Controls(CReminderDlg *d) : dlg(d) {}
    CReminderDlg *dlg;
    QComboBox *combo(const char *name) const { return dlg->findChild<QComboBox *>(QLatin1String(name)); }
    QLineEdit *count(const char *name) const { return combo(name)->lineEdit(); }
    QPushButton *ok() const { return dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok); }
    QPushButton *clear() const { return dlg->findChild<QPushButton *>(QStringLiteral("clear")); }
    void retype(const char *name, const QString &text) const
    {
        combo(name)->setFocus();
        count(name)->selectAll();
        QTest::keyClicks(combo(name), text);
    }
};

struct CNoteDoc : CDocFixture
{
    CNoteDoc()
    {
        doc->setClock([] { return QDateTime::fromSecsSinceEpoch(kNow, Qt::UTC); });
        doc->appendItem("Dentist", {}, CItemTables::kRootParent, CNoteInfo{});
        doc->setOrder({0});
    }
    CReminder note() const { return CReminder::of(doc->info(0)); }

    // Opens the dialog for the note as the "Reminder" command does and runs `step` in it.
    bool edit(std::function<void(Controls)> step)
    {
        guitest::whenModalShows<CReminderDlg>([step](CReminderDlg *dlg) { step(Controls(dlg)); });
        return ReminderEditing::edit(*doc, 0, prompter, nullptr);
    }
};

}  // namespace

class TestReminderDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
    }

    void confirmedDefaultsStoreWeeklyReminder()
    {
        CNoteDoc f;
        bool shown = false;
        QVERIFY(f.edit([&shown](Controls c) {
            shown = true;
            QCOMPARE(c.dlg->windowTitle(), QStringLiteral("Reminder setting"));
            auto *till = c.dlg->findChild<QRadioButton *>(QStringLiteral("remindTill"));
            QCOMPARE(till->text(), QStringLiteral("   Remind &till"));
            QVERIFY(till->isChecked());
            QCOMPARE(c.dlg->findChild<QDateEdit *>(QStringLiteral("date"))->date(), QDate(2023, 6, 10));
            QCOMPARE(c.dlg->findChild<QTimeEdit *>(QStringLiteral("time"))->time(), QTime(12, 17));
            QCOMPARE(c.combo("inCount")->currentText(), QStringLiteral("1"));
            QCOMPARE(c.combo("inUnit")->currentText(), QStringLiteral("month"));
            QCOMPARE(c.combo("eachCount")->currentText(), QStringLiteral("1"));
            QCOMPARE(c.combo("eachUnit")->currentText(), QStringLiteral("week"));
            QCOMPARE(c.combo("toleranceCount")->currentText(), QStringLiteral("2"));
            QCOMPARE(c.combo("toleranceUnit")->currentText(), QStringLiteral("day"));
            QCOMPARE(c.combo("next")->currentText(), QString());
            QCOMPARE(c.combo("inUnit")->count(), 6);
            QCOMPARE(c.combo("next")->itemText(4), QStringLiteral("year"));
            QCOMPARE(c.combo("eachCount")->itemText(16), QStringLiteral("60"));
            QCOMPARE(c.dlg->findChild<QSlider *>(QStringLiteral("slider"))->value(), 50);
            QVERIFY(guitest::saveScreenshot(*c.dlg, QStringLiteral("reminder-setting")));
            QTest::mouseClick(c.ok(), Qt::LeftButton);
        }));
        QVERIFY(shown);
        const qint64 d = kNow - 25;
        // Already begun at confirmation: the due check moved it on by a week.
        CReminder expected;
        expected.mode = CReminder::kTill;
        expected.moment = d;
        expected.lead = 30 * kDay;
        expected.period = kWeek;
        expected.start = d - kDay + kWeek;
        expected.end = d + kDay + kWeek;
        QCOMPARE(f.note(), expected);
        QCOMPARE(f.doc->reminders(), (QList<quint32>{0}));
        QVERIFY(f.doc->isModified());
        QVERIFY(f.prompter.messages.isEmpty());
    }

    void enteredValuesAreStored()
    {
        CNoteDoc f;
        QVERIFY(f.edit([](Controls c) {
            QTest::mouseClick(c.dlg->findChild<QRadioButton *>(QStringLiteral("remindFrom")), Qt::LeftButton);
            c.retype("inCount", QStringLiteral("3"));
            c.combo("inUnit")->setCurrentIndex(2);  // day
            c.retype("eachCount", QStringLiteral("2"));
            c.combo("eachUnit")->setCurrentIndex(1);  // hour
            c.retype("toleranceCount", QStringLiteral("30"));
            c.combo("toleranceUnit")->setCurrentIndex(0);  // minute
            c.combo("next")->setCurrentIndex(3);  // month
            auto *slider = c.dlg->findChild<QSlider *>(QStringLiteral("slider"));
            slider->setFocus();
            QTest::keyClick(slider, Qt::Key_End);  // 100: all after the moment
            QTest::mouseClick(c.ok(), Qt::LeftButton);
        }));
        const CReminder r = f.note();
        QCOMPARE(r.mode, qint32(CReminder::kFrom));
        QCOMPARE(r.lead, 3 * kDay);
        QCOMPARE(r.period, 7200);
        QCOMPARE(r.next, qint32(CReminder::kNextMonth));
        QCOMPARE(r.end - r.start, 1800);  // the window starts at the moment
        QCOMPARE((r.start - r.moment) % 7200, 0);
    }

    void countFieldsReadLeadingDigits()
    {
        CNoteDoc f;
        QVERIFY(!f.edit([](Controls c) {
            QVERIFY(QTest::qWaitForWindowActive(c.dlg));
            c.retype("eachCount", QStringLiteral("12a"));
            QTest::keyClick(c.combo("eachCount"), Qt::Key_Tab);
            QCOMPARE(c.combo("eachCount")->currentText(), QStringLiteral("12"));

            c.retype("inCount", QStringLiteral("0"));
            QTest::keyClick(c.combo("inCount"), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), c.combo("inCount"));
            c.dlg->reject();
        }));
        QVERIFY(!f.note().isSet());
        QVERIFY(!f.doc->isModified());
    }

    void okRefusesWithMessage_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero") << QByteArray("each") << "0" << 3 << "\"Each\" needs a whole number of at least 1.";
        QTest::newRow("letters") << QByteArray("tolerance") << "x" << 2
                                 << "\"Tolerance\" needs a whole number of at least 1.";
        QTest::newRow("four characters") << QByteArray("in") << "1000" << 0 << "Enter no more than 3 characters.";
        QTest::newRow("100 years") << QByteArray("each") << "100" << 5
                                   << "\"Each\" is too long to be stored: a span can be at most 68 years.";
    }

    void okRefusesWithMessage()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, count);
        QFETCH(int, unit);
        QFETCH(QString, message);
        CNoteDoc f;
        QStringList seen;
        QVERIFY(!f.edit([&](Controls c) {
            const QByteArray countName = field + "Count";
            c.retype(countName.constData(), count);
            c.combo((field + "Unit").constData())->setCurrentIndex(unit);
            QTest::mouseClick(c.ok(), Qt::LeftButton);
            QVERIFY(c.dlg->isVisible());  // still open after the refusal
            seen = f.prompter.messages;
            c.dlg->reject();
        }));
        QCOMPARE(seen, QStringList{message});
        QVERIFY(!f.note().isSet());
        QVERIFY(f.doc->reminders().isEmpty());
    }

    // Tab walks the rows as they are read: "Repeat next" comes before "Tolerance".
    void tabFollowsTheRows()
    {
        CNoteDoc f;
        QStringList visited;
        f.edit([&visited](Controls c) {
            c.combo("eachUnit")->setFocus();
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(c.dlg->focusWidget(), Qt::Key_Tab);
                QWidget *w = c.dlg->focusWidget();
                while (w && w->objectName().isEmpty())
                    w = w->parentWidget();
                visited << (w ? w->objectName() : QString());
            }
            c.dlg->reject();
        });
        QCOMPARE(visited, (QStringList{"next", "toleranceCount", "toleranceUnit", "slider"}));
    }

    void clearRemovesAndTwiceRestoresDefaults()
    {
        CNoteDoc f;
        CReminder r;
        r.mode = CReminder::kFrom;
        r.moment = kNow + 10 * kDay;
        r.lead = 183 * kDay;
        r.period = kDay;
        r.start = r.moment;
        r.end = r.moment + 84672;
        QVERIFY(Reminders::set(*f.doc, 0, r));

        QVERIFY(f.edit([](Controls c) {
            // Stored spans open as they were entered.
            QVERIFY(c.dlg->findChild<QRadioButton *>(QStringLiteral("remindFrom"))->isChecked());
            QCOMPARE(c.combo("inCount")->currentText(), QStringLiteral("6"));
            QCOMPARE(c.combo("inUnit")->currentText(), QStringLiteral("month"));
            QCOMPARE(c.combo("toleranceCount")->currentText(), QStringLiteral("1"));
            QCOMPARE(c.combo("toleranceUnit")->currentText(), QStringLiteral("day"));

            QTest::mouseClick(c.clear(), Qt::LeftButton);
            QCOMPARE(c.clear()->text(), QStringLiteral("Initiali&ze"));
            QCOMPARE(c.combo("inCount")->currentText(), QString());
            QCOMPARE(c.combo("eachUnit")->currentIndex(), -1);
            QVERIFY(c.dlg->findChild<QRadioButton *>(QStringLiteral("remindTill"))->isChecked());
            QCOMPARE(c.dlg->findChild<QDateEdit *>(QStringLiteral("date"))->date(), QDate(1970, 1, 1));
            QVERIFY(guitest::saveScreenshot(*c.dlg, QStringLiteral("reminder-setting-cleared")));
            QTest::mouseClick(c.ok(), Qt::LeftButton);
        }));
        QVERIFY(!f.note().isSet());
        QVERIFY(f.doc->reminders().isEmpty());
        QVERIFY(f.doc->isModified());
        QVERIFY(f.prompter.messages.isEmpty());

        QVERIFY(Reminders::set(*f.doc, 0, r));
        QVERIFY(!f.edit([](Controls c) {
            QTest::mouseClick(c.clear(), Qt::LeftButton);
            QTest::mouseClick(c.clear(), Qt::LeftButton);
            QCOMPARE(c.clear()->text(), QStringLiteral("C&lear"));
            QCOMPARE(c.combo("inCount")->currentText(), QStringLiteral("1"));
            QCOMPARE(c.combo("inUnit")->currentText(), QStringLiteral("month"));
            QCOMPARE(c.dlg->findChild<QDateEdit *>(QStringLiteral("date"))->date(), QDate(2023, 6, 10));
            c.dlg->reject();
        }));
        QCOMPARE(f.note(), r);  // Cancel changes nothing
    }

    void indexOutsideTableOpensNothing()
    {
        CNoteDoc f;
        QVERIFY(!ReminderEditing::edit(*f.doc, 1, f.prompter, nullptr));
        QVERIFY(!ReminderEditing::edit(*f.doc, -1, f.prompter, nullptr));
        QVERIFY(!f.doc->isModified());
    }
};

QTEST_MAIN(TestReminderDlg)
#include "tst_reminderdlg.moc"
