// Quick capture on the offscreen platform: the capture dialog turning text
// into a note of a real infotree, and the controller's hot-key lifecycle and
// its refusal to offer stale clipboard text.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "editor/NewNoteDlg.h"
#include "editor/QuickCapture.h"
#include "platform/HotKey.h"
#include "platform/KeySender.h"
#include "platform/SelectionReader.h"
#include "platform/WindowRaiser.h"
#include "text/CodePage.h"
#include "tree/InfoTree.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

namespace {

// A document with "Projects" (holding "Old") and "Inbox" at the root.
struct CCaptureFixture
{
    CDocFixture fx;
    CCodePage page{QStringLiteral("windows-1252")};
    std::unique_ptr<CInfoTree> tree;

    CCaptureFixture()
    {
        const int projects = fx.doc->appendItem("Projects", "", CItemTables::kRootParent, CNoteInfo{});
        fx.doc->appendItem("Old", "old text", quint32(projects) + 2, CNoteInfo{});
        fx.doc->appendItem("Inbox", "", CItemTables::kRootParent, CNoteInfo{});
        fx.doc->setOrder({0, 1, 2});
        tree = std::make_unique<CInfoTree>(*fx.doc);
        tree->initialUpdate();
    }

    CInfoTree::Handle item(const QByteArray &label) const
    {
        const CTreeModel &m = tree->model();
        for (auto h = m.firstRoot(); h != CTreeModel::kNone; h = m.nextPreOrder(h)) {
            if (m.label(h) == label)
                return h;
        }
        return CTreeModel::kNone;
    }
    // Labels of the children of `label` (or of the roots).
    QList<QByteArray> children(const QByteArray &label = {}) const
    {
        QList<QByteArray> out;
        const auto parent = label.isEmpty() ? CTreeModel::kRoot : item(label);
        for (auto h : tree->model().children(parent))
            out.append(tree->model().label(h));
        return out;
    }
};

class CFakeHotKey : public IGlobalHotKey
{
public:
    bool refuse = false;
    int grabs = 0;
    int releases = 0;
    bool grabbed = false;

    bool isAvailable() const override { return true; }
    bool grab(QKeyCombination key) override
    {
        ++grabs;
        if (key != CQuickCapture::kHotKey || refuse) {
            setErrorString(QStringLiteral("taken"));
            return false;
        }
        grabbed = true;
        return true;
    }
    void release() override
    {
        if (grabbed)
            ++releases;
        grabbed = false;
    }
    bool isGrabbed() const override { return grabbed; }
    void press() { Q_EMIT activated(); }
};

class CFakeReader : public ISelectionReader
{
public:
    std::optional<QString> next;
    bool isAvailable() const override { return true; }
    void fetch(Done done) override { done(next); }
};

class CFakeRaiser : public IWindowRaiser
{
public:
    int raised = 0;
    bool isAvailable() const override { return true; }
    void bringForward(QWidget *) override { ++raised; }
};

// Stands for the other program: answers Ctrl+C by copying, or not at all.
class CFakeKeys : public IKeySender
{
public:
    std::optional<QString> copies;
    QList<QKeyCombination> sent;
    bool isAvailable() const override { return true; }
    bool send(QKeyCombination keys) override
    {
        sent.append(keys);
        if (copies)
            QGuiApplication::clipboard()->setText(*copies);
        return true;
    }
};

}  // namespace

class TstQuickCapture : public QObject
{
    Q_OBJECT

private slots:
    void clipboardTextBecomesANoteInTheSelectedFolder()
    {
        CCaptureFixture f;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter);
        int activations = 0;
        dlg.setActivateTreePane([&activations] { ++activations; });
        QGuiApplication::clipboard()->setText(QStringLiteral("  Call the plumber! Ask about\n\tthe boiler, "));
        QVERIFY(dlg.fillFromClipboard());
        dlg.showCentred();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("New note from coppied text"));
        QVERIFY(!dlg.isModal());
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Call the plumber!"));
        QCOMPARE(dlg.textEdit()->toPlainText(), QStringLiteral("Ask about\n\tthe boiler"));
        QVERIFY(dlg.autoTitleButton()->isChecked());
        QVERIFY(!dlg.asRootButton()->isChecked());
        guitest::saveScreenshot(dlg, QStringLiteral("capture-dialog"));

        // The dialog is modeless: the user picks the folder in the tree meanwhile.
        f.tree->model().select(f.item("Projects"));
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(activations, 1);
        QCOMPARE(f.children("Projects"), (QList<QByteArray>{"Old", "Call the plumber!"}));
        const int index = f.fx.doc->count() - 1;
        QCOMPARE(f.fx.doc->title(index), QByteArray("Call the plumber!"));
        QCOMPARE(f.fx.doc->text(index), QByteArray("Ask about\r\n\tthe boiler"));
        QCOMPARE(f.fx.doc->parentLink(index), quint32(0 + 2));
        QCOMPARE(f.tree->model().label(f.tree->model().selected()), QByteArray("Call the plumber!"));
        QVERIFY(f.fx.doc->isModified());
        QVERIFY(f.fx.prompter.messages.isEmpty());
    }

    // The toggles answer to their mnemonics.
    void togglesHaveMnemonics()
    {
        CCaptureFixture f;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter);
        dlg.showCentred();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(dlg.asRootButton()->isChecked());
        QTest::keyClick(&dlg, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(!dlg.autoTitleButton()->isChecked());
    }

    void autoTitleAndAsRootToggles()
    {
        CCaptureFixture f;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter);
        dlg.showCentred();
        dlg.capture(QStringLiteral("Idea. Details follow"));
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Idea."));
        QTest::mouseClick(dlg.asRootButton(), Qt::LeftButton);
        QVERIFY(dlg.asRootButton()->isChecked());
        dlg.titleEdit()->setText(QStringLiteral("edited"));
        // Off: the whole text into the text box, "As root folder" cleared, the edit lost.
        QTest::mouseClick(dlg.autoTitleButton(), Qt::LeftButton);
        QVERIFY(!dlg.autoTitleButton()->isChecked());
        QCOMPARE(dlg.titleEdit()->text(), QString());
        QCOMPARE(dlg.textEdit()->toPlainText(), QStringLiteral("Idea. Details follow"));
        QVERIFY(!dlg.asRootButton()->isChecked());
        // "Auto title" keeps its state for the next capture.
        dlg.capture(QStringLiteral("Next. one"));
        QCOMPARE(dlg.titleEdit()->text(), QString());
        QTest::mouseClick(dlg.autoTitleButton(), Qt::LeftButton);
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Next."));

        // As root, with something selected: the note goes to the root level.
        f.tree->model().select(f.item("Old"));
        QTest::mouseClick(dlg.asRootButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QCOMPARE(f.children(), (QList<QByteArray>{"Projects", "Inbox", "Next."}));
        QCOMPARE(f.children("Old"), QList<QByteArray>{});
    }

    // A character the document cannot hold is said, whole (an emoji is one
    // character, not two halves), and nothing typed is lost.
    void unmappableTextIsRefusedAndKept_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("named");
        QTest::newRow("rouble sign") << QStringLiteral("\u20bd") << QStringLiteral("\"\u20bd\" (U+20BD)");
        QTest::newRow("emoji") << QStringLiteral("\U0001F600") << QStringLiteral("\"\U0001F600\" (U+1F600)");
    }

    void unmappableTextIsRefusedAndKept()
    {
        QFETCH(QString, character);
        QFETCH(QString, named);
        CCaptureFixture f;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter);
        dlg.showCentred();
        dlg.capture(QStringLiteral("Price. 5 %1 per kg").arg(character));
        const int before = f.fx.doc->count();
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QCOMPARE(f.fx.doc->count(), before);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.textEdit()->toPlainText(), QStringLiteral("5 %1 per kg").arg(character));
        QCOMPARE(f.fx.prompter.messages,
                 QStringList{QStringLiteral("The character %1 cannot be kept in this document's code page "
                                            "(windows-1252). Change or remove it, then click OK again.")
                                 .arg(named)});
        // Mended by the user, it goes through.
        dlg.textEdit()->setPlainText(QStringLiteral("5 RUB per kg"));
        QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
        QCOMPARE(f.fx.doc->count(), before + 1);
        QVERIFY(!dlg.isVisible());
    }

    void cancelCreatesNothing()
    {
        CCaptureFixture f;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter);
        dlg.showCentred();
        dlg.capture(QStringLiteral("Something. here"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(f.fx.doc->count(), 3);
        // Shown again, it keeps its values.
        dlg.showCentred();
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Something."));
    }

    void hotKeyLivesFromFirstActivationToClose()
    {
        CCaptureFixture f;
        QWidget window;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter, &window);
        CFakeHotKey key;
        CFakeReader reader;
        CFakeRaiser raiser;
        CQuickCapture capture(&window, dlg, key, reader, raiser);
        QSignalSpy status(&capture, &CQuickCapture::statusMessage);
        window.show();
        QCOMPARE(key.grabs, 0);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &activate);
        QCoreApplication::sendEvent(&window, &activate);
        QCOMPARE(key.grabs, 1);
        QVERIFY(capture.isRegistered());
        QCOMPARE(status.count(), 0);

        reader.next = QStringLiteral("Captured line\nmore");
        key.press();
        QVERIFY(dlg.isVisible());
        QCOMPARE(raiser.raised, 1);
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Captured line"));
        QVERIFY(!dlg.noteLabel()->isVisible());

        // Nothing selected this time: the dialog keeps the last capture and says so.
        dlg.hide();
        dlg.textEdit()->setPlainText(QStringLiteral("typed by hand"));
        reader.next.reset();
        QSignalSpy captured(&capture, &CQuickCapture::captured);
        key.press();
        QVERIFY(dlg.isVisible());
        QCOMPARE(captured.count(), 1);
        QCOMPARE(captured.at(0).at(0).toBool(), false);
        QCOMPARE(dlg.titleEdit()->text(), QStringLiteral("Captured line"));
        QCOMPARE(dlg.textEdit()->toPlainText(), QStringLiteral("typed by hand"));
        QVERIFY(dlg.noteLabel()->isVisible());
        QCOMPARE(dlg.noteLabel()->text(), QString::fromLatin1(CNewNoteDlg::kNothingCaptured));

        // Closing the window releases the key.
        window.close();
        QCOMPARE(key.releases, 1);
        QVERIFY(!capture.isRegistered());
    }

    void anUnregistrableHotKeyIsReportedOnce()
    {
        CCaptureFixture f;
        QWidget window;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter, &window);
        CFakeHotKey key;
        key.refuse = true;
        CFakeReader reader;
        CFakeRaiser raiser;
        CQuickCapture capture(&window, dlg, key, reader, raiser);
        QSignalSpy status(&capture, &CQuickCapture::statusMessage);
        capture.start();
        capture.start();
        Q_EMIT key.grabFailed(QStringLiteral("later refusal"));
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toString(),
                 QStringLiteral("Quick capture is off: the hot key Ctrl+J could not be registered (taken)."));
        QVERIFY(!capture.isRegistered());
    }

    // Where Ctrl+C has to be sent, only a clipboard change after the keys
    // counts: a password the generator copied earlier must never be offered.
    void syntheticCopyNeverOffersTheOldClipboard()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("Pa55word-from-generator"));
        CFakeKeys keys;
        CSyntheticCopyReader reader(keys, 50);
        std::optional<std::optional<QString>> result;
        reader.fetch([&result](std::optional<QString> text) { result = std::move(text); });
        QCOMPARE(keys.sent, QList<QKeyCombination>{QKeyCombination(Qt::ControlModifier, Qt::Key_C)});
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
        QVERIFY(!result->has_value());

        keys.copies = QStringLiteral("Selected elsewhere. Yes");
        result.reset();
        reader.fetch([&result](std::optional<QString> text) { result = std::move(text); });
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
        QCOMPARE(result->value_or(QString()), QStringLiteral("Selected elsewhere. Yes"));
    }

    // The services of this session say what they can do; offscreen has no
    // hot key, and the controller reports that instead of failing silently.
    void offscreenServicesSayTheyAreUnavailable()
    {
        auto hotKey = Platform::createGlobalHotKey();
        QVERIFY(!hotKey->isAvailable());
        QVERIFY(!hotKey->grab(CQuickCapture::kHotKey));
        auto keys = Platform::createKeySender();
        QVERIFY(!keys->isAvailable());
        auto reader = Platform::createSelectionReader(*keys);
        QVERIFY(!reader->isAvailable());

        CCaptureFixture f;
        QWidget window;
        CNewNoteDlg dlg(*f.tree, f.page, f.fx.prompter, &window);
        CQuickCapture capture(&window, dlg);
        QSignalSpy status(&capture, &CQuickCapture::statusMessage);
        capture.start();
        QCOMPARE(status.count(), 1);
        QVERIFY(status.at(0).at(0).toString().startsWith(QStringLiteral("Quick capture is off")));
    }
};

QTEST_MAIN(TstQuickCapture)
#include "tst_quickcapture.moc"
