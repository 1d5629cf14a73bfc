// Link actions on note text: what Open, E-mail, Call and a double-click do
// with a selection, and which targets are opened only after asking.
#include "editor/LinkActions.h"

#include <QDir>
#include <QtTest>

using namespace links;

namespace {
const QString kFolder = QDir::toNativeSeparators(QStringLiteral("/home/ann/notes/"));
const DblClickFlags kDefaults{};
const Action kCopy{Action::Copy, {}};

// The double-click on the word of `pane` that starts at `word`.
Action clickOn(const QString &pane, const QString &word, const DblClickFlags &flags = kDefaults,
               Recovery *recovery = nullptr, const QString &folder = kFolder)
{
    const qsizetype s = pane.indexOf(word);
    return doubleClick(pane, s, s + word.size(), flags, folder, recovery);
}
} // namespace

Q_DECLARE_METATYPE(links::Action)

class TestLinkActions : public QObject
{
    Q_OBJECT

private slots:
    void textClasses()
    {
        QVERIFY(isEmailAddress(QStringLiteral("ann@example.org")));
        QVERIFY(!isEmailAddress(QStringLiteral("@ann")));  // at sign first: a handle, not an address
        QVERIFY(isWebAddress(QStringLiteral("www.example.org")));
        QVERIFY(isWebAddress(QStringLiteral("ftp://files")));
        QVERIFY(isAbsolutePath(QStringLiteral("C:\\Tools\\a.exe")));
        QVERIFY(isPhoneNumber(QStringLiteral("(030)555-12")));
        QVERIFY(!isPhoneNumber(QStringLiteral("5")));
        QVERIFY(!isPhoneNumber(QStringLiteral("555 12")));
        QVERIFY(isFileName(QStringLiteral("report.pdf")));
        QVERIFY(!isFileName(QStringLiteral(".profile")));
        QVERIFY(!isFileName(QStringLiteral("end. Next")));
        QVERIFY(!isFileName(QStringLiteral("plain")));
    }

    void openDecidesInOrder_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<Action>("action");
        QTest::newRow("nothing selected") << QString() << kFolder << Action{Action::Message, openHelpMessage()};
        QTest::newRow("quoted mail address")
            << QStringLiteral("\" ann@example.org \"") << kFolder
            << Action{Action::Open, QStringLiteral("MailTo:ann@example.org")};
        QTest::newRow("web address") << QStringLiteral("www.example.org") << kFolder
                                     << Action{Action::Open, QStringLiteral("www.example.org")};
        QTest::newRow("quoted path") << QStringLiteral("\"C:\\My Tools\\a.exe\"") << kFolder
                                     << Action{Action::Open, QStringLiteral("C:\\My Tools\\a.exe")};
        QTest::newRow("phone number") << QStringLiteral("555-1234") << kFolder
                                      << Action{Action::Call, QStringLiteral("555-1234")};
        QTest::newRow("file name") << QStringLiteral("plan.txt") << kFolder
                                   << Action{Action::Open, kFolder + QStringLiteral("plan.txt")};
        // A folder no longer than a drive root, or none: a bare name goes nowhere.
        QTest::newRow("drive root folder") << QStringLiteral("plan.txt") << QStringLiteral("C:\\") << Action{};
        QTest::newRow("no folder") << QStringLiteral("plan.txt") << QString() << Action{};
        QTest::newRow("plain words") << QStringLiteral("just words") << kFolder << Action{};
    }

    void openDecidesInOrder()
    {
        QFETCH(QString, selection);
        QFETCH(QString, folder);
        QFETCH(Action, action);
        QCOMPARE(links::open(selection, folder), action);
        if (selection.isEmpty()) {
            QVERIFY(openHelpMessage().startsWith(
                QStringLiteral("Select the pathname to the file (document or program) including extention  or a URL "
                               "address \nfor example,\t")));
        }
    }

    void emailAndCallTakeAnyTextButNone()
    {
        QCOMPARE(email(QStringLiteral("  ")).kind, Action::Message);
        QVERIFY(email(QString()).target.startsWith(QStringLiteral("Select an e-mail address.\nFor example: ")));
        QCOMPARE(email(QStringLiteral(" bob ")), (Action{Action::Open, QStringLiteral("MailTo:bob")}));
        QCOMPARE(call(QString()), (Action{Action::Message, QStringLiteral("Select a phone number.")}));
        QCOMPARE(call(QStringLiteral(" 0301 ")), (Action{Action::Call, QStringLiteral("0301")}));
    }

    void doubleClickFollowsTheFlags()
    {
        const QString pane = QStringLiteral("T\n\nmail ann@example.org or www.example.org, 555-1234 or notes.txt");
        QCOMPARE(clickOn(pane, QStringLiteral("ann@example.org")),
                 (Action{Action::Open, QStringLiteral("MailTo:ann@example.org")}));
        QCOMPARE(clickOn(pane, QStringLiteral("ann@example.org"), {true, false, false, true}), kCopy);
        QCOMPARE(clickOn(pane, QStringLiteral("www.example.org,")),
                 (Action{Action::Open, QStringLiteral("www.example.org,")}));
        QCOMPARE(clickOn(pane, QStringLiteral("www.example.org,"), {false, true, false, true}), kCopy);
        // A phone number is dialled only with "DblP"; without, it has no "." and is copied.
        QCOMPARE(clickOn(pane, QStringLiteral("555-1234"), {true, true, true, true}),
                 (Action{Action::Call, QStringLiteral("555-1234")}));
        QCOMPARE(clickOn(pane, QStringLiteral("555-1234")), kCopy);
        QCOMPARE(clickOn(pane, QStringLiteral("notes.txt")), (Action{Action::Open, kFolder + QStringLiteral("notes.txt")}));
        QCOMPARE(clickOn(pane, QStringLiteral("notes.txt"), {true, true, false, false}), kCopy);
        QCOMPARE(clickOn(pane, QStringLiteral("notes.txt"), kDefaults, nullptr, QString()), kCopy);
        QCOMPARE(clickOn(pane, QStringLiteral("mail")), kCopy);
        QCOMPARE(doubleClick(pane, 4, 4, kDefaults, kFolder), Action{});
    }

    void aQuotedPathIsRecoveredFromOneWord()
    {
        const QString pane = QStringLiteral("T\n\nrun \"C:\\My Big Tools\\app.exe\" now");
        const QString path = QStringLiteral("C:\\My Big Tools\\app.exe");
        const qsizetype open = pane.indexOf(QLatin1Char('"'));
        const qsizetype close = pane.lastIndexOf(QLatin1Char('"'));

        // The word with the opening quote.
        Recovery r;
        QCOMPARE(clickOn(pane, QStringLiteral("\"C:\\My"), kDefaults, &r), (Action{Action::Open, path}));
        QVERIFY(r.accepted);
        QCOMPARE(r.showFrom, open);
        QCOMPARE(r.showTo, close + 1);

        // A word in the middle: the closing quote after it, a "." just before that.
        r = {};
        QCOMPARE(clickOn(pane, QStringLiteral("Big"), kDefaults, &r), (Action{Action::Open, path}));
        QCOMPARE(r.showFrom, open);
        QCOMPARE(r.showTo, close);

        // The word with the closing quote.
        r = {};
        QCOMPARE(clickOn(pane, QStringLiteral("Tools\\app.exe\""), kDefaults, &r), (Action{Action::Open, path}));
        QCOMPARE(r.candidate, QLatin1Char('"') + path + QLatin1Char('"'));

        // No closing quote anywhere after an opening one: nothing is made up.
        const QString open_ = QStringLiteral("T\n\n\"C:\\half.txt and more");
        r = {};
        QCOMPARE(clickOn(open_, QStringLiteral("\"C:\\half.txt"), kDefaults, &r),
                 (Action{Action::Open, QStringLiteral("C:\\half.txt")}));
        QVERIFY(!r.accepted);

        // A quote at the very end with no "." before it: no candidate, no
        // position of -1 used as an end.
        const QString bare = QStringLiteral("\"");
        r = recoverQuotedPath(bare, 0, 0);
        QVERIFY(!r.accepted);
        r = recoverQuotedPath(QStringLiteral("ab \"cd"), 0, 2);
        QVERIFY(!r.accepted);
    }

    void aCandidateNeverRunsOverLines()
    {
        const QString pane = QStringLiteral("T\n\n\"first line\nsecond.txt\" end");
        const Recovery r = recoverQuotedPath(pane, pane.indexOf(QStringLiteral("second")),
                                             pane.indexOf(QStringLiteral("second")) + 6);
        QVERIFY(!r.accepted);
    }

    void onlyWebAndMailOpenWithoutAsking_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("opens");
        QTest::newRow("https") << QStringLiteral("https://example.org/a") << true;
        QTest::newRow("HTTP in capitals") << QStringLiteral("HTTP://example.org") << true;
        QTest::newRow("ftp") << QStringLiteral("ftp://files.example.org") << true;
        QTest::newRow("www without scheme") << QStringLiteral("www.example.org") << true;
        QTest::newRow("mailto, mixed case") << QStringLiteral("MailTo:ann@example.org") << true;
        QTest::newRow("program path") << QStringLiteral("C:\\Tools\\a.exe") << false;
        QTest::newRow("absolute path") << QStringLiteral("/usr/bin/xterm") << false;
        QTest::newRow("file URL") << QStringLiteral("file:///etc/passwd") << false;
        QTest::newRow("other scheme") << QStringLiteral("some-app://run") << false;
    }

    void onlyWebAndMailOpenWithoutAsking()
    {
        QFETCH(QString, target);
        QFETCH(bool, opens);
        QCOMPARE(opensWithoutAsking(target), opens);
    }

    void targetKindsAndDirectUrls()
    {
        QCOMPARE(targetKind(QStringLiteral("C:\\Tools\\a.exe")), TargetKind::LocalPath);
        QCOMPARE(targetKind(QStringLiteral("notes.txt")), TargetKind::LocalPath);
        QCOMPARE(targetKind(QStringLiteral("some-app://run")), TargetKind::OtherUrl);
        QCOMPARE(directUrl(QStringLiteral("www.example.org")), QStringLiteral("http://www.example.org"));
        QCOMPARE(directUrl(QStringLiteral("https://x.org")), QStringLiteral("https://x.org"));
        QCOMPARE(QString::fromLatin1(kOpenQuestion).arg(QStringLiteral("a.exe")), QStringLiteral("Open a.exe?"));
    }

    void localLinkIsRelativeInsideTheDocumentFolder()
    {
        const QString folder = QDir::toNativeSeparators(QStringLiteral("/home/ann/notes/"));
        QCOMPARE(localLink(QStringLiteral("/home/ann/notes/plan.txt"), folder), QStringLiteral("\"plan.txt\""));
        QCOMPARE(localLink(QStringLiteral("/home/ann/notes/sub/a b.txt"), folder),
                 QLatin1Char('"') + QDir::toNativeSeparators(QStringLiteral("sub/a b.txt")) + QLatin1Char('"'));
        QCOMPARE(localLink(QStringLiteral("/srv/x.txt"), folder),
                 QLatin1Char('"') + QDir::toNativeSeparators(QStringLiteral("/srv/x.txt")) + QLatin1Char('"'));
        QCOMPARE(localLink(QStringLiteral("/srv/x.txt"), QString()),
                 QLatin1Char('"') + QDir::toNativeSeparators(QStringLiteral("/srv/x.txt")) + QLatin1Char('"'));
    }
};

QTEST_GUILESS_MAIN(TestLinkActions)
#include "tst_linkactions.moc"
