// The open document written by another program (tqb add) while the program
// runs: followed when unchanged here, asked about when changed here, and
// never written over unasked.
#include "TestPaths.h"
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/DocumentLock.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/TorviQuillbookView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressDialog>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

int tqbAdd(const QString &doc, const QString &title, const QByteArray &text)
{
    QProcess tqb;
    tqb.start(testpaths::tqb(), {QStringLiteral("add"), doc, QStringLiteral("--title"), title});
    if (!tqb.waitForStarted(10000))
        return -1;
    tqb.write(text);
    tqb.closeWriteChannel();
    if (!tqb.waitForFinished(30000))
        return -1;
    return tqb.exitCode();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QPushButton *buttonTitled(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *b : box->buttons()) {
        if (b->text() == text)
            return qobject_cast<QPushButton *>(b);
    }
    return nullptr;
}

struct CRunningProgram : guitest::CProgramInFolder
{
    QString path;

    CRunningProgram()
    {
        path = dir.filePath(QStringLiteral("open.tqb"));
        CDocFixture maker;
        maker.addRootAndChild("root text", "child text");
        if (!maker.doc->saveDocument(path))
            path.clear();
    }
};

}  // namespace

class TestDiskChangeGui : public QObject
{
    Q_OBJECT

private slots:
    void unchangedDocumentShowsTheOtherProgramsNote()
    {
        CRunningProgram p;
        QVERIFY(!p.path.isEmpty());
        QVERIFY(p.start(p.path));
        QCOMPARE(tqbAdd(p.path, QStringLiteral("From tqb"), "added while open"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(p.doc().titles().contains("From tqb"), 10000);
        QVERIFY(p.app->mainFrame()->statusBar()->currentMessage().contains(QStringLiteral("changed on disk")));
        QVERIFY(!p.doc().isModified());
        // Another document opened: the note about the first one goes.
        const QString other = p.dir.filePath(QStringLiteral("other.tqb"));
        CDocFixture maker;
        maker.addRootAndChild();
        QVERIFY(maker.doc->saveDocument(other));
        QVERIFY(p.doc().openDocument(other));
        QCOMPARE(p.app->mainFrame()->statusBar()->currentMessage(), QString());
    }

    // Changed here too: the question comes; "Keep my version" and the next
    // save writes ours; the other program's note is gone only by that choice.
    void modifiedDocumentAsksAndKeeps()
    {
        CRunningProgram p;
        QVERIFY(p.start(p.path));
        p.doc().setText(0, "changed here");
        p.doc().setModifiedFlag(true);
        QString asked;
        guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            buttonTitled(box, QStringLiteral("Keep my version"))->click();
        });
        QCOMPARE(tqbAdd(p.path, QStringLiteral("From tqb"), "theirs"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!asked.isEmpty(), 10000);
        QVERIFY(asked.contains(QStringLiteral("has been changed on disk by another program")));
        QVERIFY(!p.doc().titles().contains("From tqb"));
        QVERIFY(p.doc().saveCommand());
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(p.path));
        QCOMPARE(reader.doc->texts().value(0), QByteArray("changed here"));
    }

    // Enter at the question decides nothing: the edits stay, and so does the
    // other program's file, until the user chooses.
    void enterAtTheQuestionKeepsTheEdits()
    {
        CRunningProgram p;
        QVERIFY(p.start(p.path));
        QVERIFY(p.activate());
        p.frame->notePane()->moveCursor(QTextCursor::End);
        QTest::keyClicks(p.frame->notePane(), QStringLiteral(" typed"));
        QVERIFY(p.doc().isModified());
        const QByteArray typed = p.doc().m_strCurText;
        QVERIFY(typed.endsWith(" typed"));
        bool asked = false;
        guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
            asked = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(tqbAdd(p.path, QStringLiteral("From tqb"), "theirs"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(asked, 10000);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY(p.doc().isModified());
        QCOMPARE(p.doc().m_strCurText, typed);
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(p.path));
        QVERIFY(reader.doc->titles().contains("From tqb"));
    }

    // Ctrl+S on a modified document while tqb adds notes to its file: every
    // note tqb reported as added survives; where tqb saved between the
    // program's read and its rename the program asks (answered Reload here).
    void savingWhileTqbAddsLosesNothing()
    {
        CRunningProgram p;
        QVERIFY(p.start(p.path));
        CMainFrame *frame = p.app->mainFrame();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        int questions = 0;
        QTimer answerer;
        answerer.setInterval(5);
        connect(&answerer, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (QPushButton *reload = box ? buttonTitled(box, QStringLiteral("Reload")) : nullptr) {
                ++questions;
                reload->click();
            } else if (box) {
                box->close();
            }
        });
        answerer.start();

        QStringList added;
        for (int i = 0; i < 15; ++i) {
            p.doc().setText(0, "changed here " + QByteArray::number(i));
            p.doc().setModifiedFlag(true);
            QProcess tqb;
            const QString title = QStringLiteral("tqb %1").arg(i);
            tqb.start(testpaths::tqb(), {QStringLiteral("add"), p.path, QStringLiteral("--title"), title});
            QVERIFY(tqb.waitForStarted(10000));
            tqb.write("from tqb");
            tqb.closeWriteChannel();
            QTest::qWait((i * 7) % 40);  // the save lands at different points of tqb's run
            QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
            // A question answered meanwhile may have seen tqb end already.
            QVERIFY(tqb.state() == QProcess::NotRunning || tqb.waitForFinished(30000));
            QCOMPARE(tqb.readAllStandardError(), QByteArray());
            QCOMPARE(tqb.exitCode(), 0);
            added << title;
        }
        QTRY_VERIFY(!QApplication::activeModalWidget());
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(p.path));
        for (const QString &title : added)
            QVERIFY2(reader.doc->titles().contains(title.toLatin1()), qPrintable(title));
        qInfo("the program asked %d time(s)", questions);
    }

    // Cancelled question: a later Save asks again, and Cancel leaves the
    // other program's file as it wrote it.
    void saveRefusesToOverwriteUnasked()
    {
        CRunningProgram p;
        QVERIFY(p.start(p.path));
        p.doc().setText(0, "changed here");
        p.doc().setModifiedFlag(true);
        int questions = 0;
        guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
            ++questions;
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(tqbAdd(p.path, QStringLiteral("From tqb"), "theirs"), 0);
        QTRY_COMPARE_WITH_TIMEOUT(questions, 1, 10000);
        guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
            ++questions;
            box->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!p.doc().saveCommand());
        QCOMPARE(questions, 2);
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(p.path));
        QVERIFY(reader.doc->titles().contains("From tqb"));
        QCOMPARE(reader.doc->texts().value(0), QByteArray("root text"));
    }

    // Ctrl+S over what a power cut left at the lock's name saves at once,
    // without a question or a wait.
    void ctrlSSavesOverABrokenLockFile_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"empty", "garbage", "folder", "dangling link"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void ctrlSSavesOverABrokenLockFile()
    {
        QFETCH(QString, kind);
        CRunningProgram p;
        QVERIFY(p.start(p.path));
        QVERIFY(p.activate());
        const QString lock = p.dir.filePath(QStringLiteral(".open.tqb.lock"));
        QFile file(lock);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(lock));
        else if (kind == QLatin1String("dangling link"))
            QVERIFY(QFile::link(p.dir.filePath(QStringLiteral("gone")), lock));
        else
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kind == QLatin1String("empty") ? "" : "\x02garbled\xff") >= 0);
        file.close();
        p.doc().setText(0, "changed here");
        p.doc().setModifiedFlag(true);
        QStringList shown;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                shown << modal->metaObject()->className();
                modal->close();
            }
        });
        watcher.start(5);
        QElapsedTimer took;
        took.start();
        QTest::keyClick(p.frame, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(took.elapsed() < 3000);
        QCOMPARE(shown, QStringList());
        QVERIFY(!p.doc().isModified());
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(p.path));
        QCOMPARE(reader.doc->texts().value(0), QByteArray("changed here"));
    }

    // A live lock (another writer at work): Ctrl+S waits with a busy window
    // while the program goes on handling events; Cancel stops waiting and
    // saves nothing; a writer that finishes during the wait lets the save go on.
    void aHeldLockIsWaitedForWithoutFreezing_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("the other writer finishes") << false;
    }
    void aHeldLockIsWaitedForWithoutFreezing()
    {
        QFETCH(bool, cancel);
        CRunningProgram p;
        QVERIFY(p.start(p.path));
        QVERIFY(p.activate());
        const QByteArray before = bytesOf(p.path);
        auto other = std::make_unique<CDocumentLock>(p.path);
        QVERIFY(other->lock(0));
        p.doc().setText(0, "changed here");
        p.doc().setModifiedFlag(true);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QString label;
        int ticksWhenShown = -1;
        guitest::whenModalShowsNext<QProgressDialog>([&](QProgressDialog *dialog) {
            label = dialog->labelText();
            ticksWhenShown = ticks;
            QTimer::singleShot(200, dialog, [&, dialog] {
                if (cancel)
                    dialog->findChild<QPushButton *>()->click();
                else
                    other.reset();
            });
        });
        QTest::keyClick(p.frame, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(label, QStringLiteral("%1 is being written by another program. Waiting until it is done...").arg(p.path));
        QVERIFY(ticksWhenShown > 10);  // the timers ran while the save waited
        QVERIFY(ticks > ticksWhenShown);
        QCOMPARE(p.doc().isModified(), cancel);
        QCOMPARE(bytesOf(p.path) == before, cancel);
    }
};

QTEST_MAIN(TestDiskChangeGui)
#include "tst_diskchange.moc"
