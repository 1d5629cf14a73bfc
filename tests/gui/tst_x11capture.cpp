// Quick capture end to end on a real X server: another program holds the
// focus and a selection, Ctrl+J is typed through XTest, and the capture
// dialog appears filled from the primary selection. Without an X server it
// skips; scripts/test.sh runs it under xvfb-run.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/IdleLock.h"
#include "editor/NewNoteDlg.h"
#include "editor/QuickCapture.h"
#include "editor/TorviQuillbookView.h"
#include "password/PasswordDlg.h"
#include "platform/KeySender.h"
#include "text/CodePage.h"
#include "tree/InfoTree.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char *kOwnerSwitch = "--selection-owner";
constexpr int kWaitMs = 30000;  // only a bound on waiting; passing takes far less

bool haveX()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

// The other program: a window with focus whose selected text is the X
// primary selection.
int runSelectionOwner(int &argc, char **argv, const QString &text)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("another program"));
    edit.setText(text);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    edit.selectAll();
    QGuiApplication::clipboard()->setText(text, QClipboard::Selection);
    QTimer::singleShot(200, &app, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}

}  // namespace

class TstX11Capture : public QObject
{
    Q_OBJECT

private slots:
    void ctrlJCapturesAnotherProgramsSelection()
    {
        if (!haveX())
            QSKIP("no X server (DISPLAY is unset); scripts/test.sh runs this test under xvfb-run");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));

        CDocFixture fx;
        fx.doc->appendItem("Inbox", "", CItemTables::kRootParent, CNoteInfo{});
        fx.doc->setOrder({0});
        CInfoTree tree(*fx.doc);
        tree.initialUpdate();
        CCodePage page;
        QWidget window;
        window.setWindowTitle(QStringLiteral("Torvi Quillbook"));
        window.resize(300, 200);
        CNewNoteDlg dlg(tree, page, fx.prompter, &window);
        CQuickCapture capture(&window, dlg);
        QSignalSpy captured(&capture, &CQuickCapture::captured);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        capture.start();
        QVERIFY2(capture.isRegistered(), "the X server refused the Ctrl+J grab");

        // The other program takes the focus and selects its text.
        const QString selected = QStringLiteral("Selected elsewhere. It must arrive as a note");
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        other.setProcessEnvironment(env);
        other.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kOwnerSwitch), selected});
        QVERIFY(other.waitForStarted(kWaitMs));
        while (!other.canReadLine() && other.waitForReadyRead(kWaitMs)) {
        }
        QCOMPARE(other.readLine().trimmed(), QByteArray("ready"));
        QTRY_VERIFY_WITH_TIMEOUT(!window.isActiveWindow(), kWaitMs);
        QVERIFY(!QGuiApplication::clipboard()->ownsSelection());

        auto keys = Platform::createKeySender();
        QVERIFY(keys->isAvailable());
        QVERIFY(keys->send(CQuickCapture::kHotKey));
        QTRY_COMPARE_WITH_TIMEOUT(captured.count(), 1, kWaitMs);
        QCOMPARE(captured.at(0).at(0).toBool(), true);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Selected elsewhere."));
        QCOMPARE(dlg.textEdit()->toPlainText(), QStringLiteral("It must arrive as a note"));

        // A selection of our own (the generator's password field, say) is
        // not another program's: the next capture finds nothing new.
        QGuiApplication::clipboard()->setText(QStringLiteral("S3cret-password"), QClipboard::Selection);
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->ownsSelection(), kWaitMs);
        QVERIFY(keys->send(CQuickCapture::kHotKey));
        QTRY_COMPARE_WITH_TIMEOUT(captured.count(), 2, kWaitMs);
        QCOMPARE(captured.at(1).at(0).toBool(), false);
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Selected elsewhere."));
        QVERIFY(dlg.noteLabel()->isVisible());

        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QCOMPARE(fx.doc->titles().back(), QByteArray("Selected elsewhere."));

        window.close();
        QVERIFY(!capture.isRegistered());
        other.kill();
        other.waitForFinished(kWaitMs);
    }

    // The lock takes off the clipboard what the program put there, and
    // leaves alone a selection that another program made since.
    void lockClearsOnlyWhatTheProgramOwns()
    {
        if (!haveX())
            QSKIP("no X server (DISPLAY is unset); scripts/test.sh runs this test under xvfb-run");
        guitest::CProgramInFolder p;
        const QString path = p.dir.filePath(QStringLiteral("notes.tqb"));
        CDocFixture maker;
        maker.addRootAndChild("copied secret", "child text");
        QVERIFY(maker.doc->setPassword("lock pass", Protection::Compatible) && maker.doc->saveDocument(path));
        const auto answer = [](CPasswordDlg *dlg, bool accept) {
            if (!accept) {
                dlg->reject();
                return;
            }
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
            QTest::keyClicks(edit, QStringLiteral("lock pass"));
            QTest::keyClick(edit, Qt::Key_Return);
        };
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) { answer(dlg, true); });
        QVERIFY(p.start(path) && p.shown());
        QClipboard *clipboard = QGuiApplication::clipboard();
        p.frame->activateEditorPane();
        p.frame->noteView()->selectAll();
        QVERIFY(p.frame->commands().execute(cmd::kCopy));
        QTRY_VERIFY_WITH_TIMEOUT(clipboard->ownsClipboard(), kWaitMs);
        QVERIFY(clipboard->text(QClipboard::Clipboard).contains(QStringLiteral("copied secret")));

        const QString theirs = QStringLiteral("Selected in another program");
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        other.setProcessEnvironment(env);
        other.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kOwnerSwitch), theirs});
        QVERIFY(other.waitForStarted(kWaitMs));
        while (!other.canReadLine() && other.waitForReadyRead(kWaitMs)) {
        }
        QTRY_VERIFY_WITH_TIMEOUT(!clipboard->ownsSelection(), kWaitMs);

        bool asked = false;
        guitest::whenModalShowsNext<CPasswordDlg>([&](CPasswordDlg *dlg) {
            asked = true;
            answer(dlg, false);
        });
        QVERIFY(p.frame->commands().execute(cmd::kLock));
        QTRY_VERIFY_WITH_TIMEOUT(asked, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(clipboard->text(QClipboard::Clipboard).isEmpty(), kWaitMs);
        QCOMPARE(clipboard->text(QClipboard::Selection), theirs);
        other.kill();
        other.waitForFinished(kWaitMs);
    }
};

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], kOwnerSwitch) == 0) {
        const QString text = QString::fromLocal8Bit(argv[2]);
        int ownArgc = 1;
        return runSelectionOwner(ownArgc, argv, text);
    }
    // ctest sets the offscreen platform for every GUI test; this one needs
    // the real X server where there is one.
    if (haveX())
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TstX11Capture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_x11capture.moc"
