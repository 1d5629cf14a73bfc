// The user guide against the program: every key it lists does what it says,
// and every toolbar button it names is called so on the toolbar.
#include "TestPaths.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/QuickCapture.h"
#include "editor/TorviQuillbookView.h"
#include "tree/LeftView.h"
#include "DocFixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QDesktopServices>
#include <QtTest>

namespace {

QString guideText()
{
    QFile file(testpaths::data(QStringLiteral("../../doc/guide/index.html")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString plain(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString text = html;
    text.remove(tag);
    return text.replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&amp;"), QStringLiteral("&")).trimmed();
}

struct GuideKeys
{
    QString command;
    QStringList keys;
};

// The rows of the guide's table of keys: the keys, and the command's name
// as the menus give it.
QList<GuideKeys> guideKeys(const QString &guide)
{
    QList<GuideKeys> rows;
    const qsizetype start = guide.indexOf(QStringLiteral("<table id=\"keys\">"));
    const qsizetype end = guide.indexOf(QStringLiteral("</table>"), start);
    if (start < 0 || end < 0)
        return rows;
    const QString table = guide.mid(start, end - start);
    static const QRegularExpression row(QStringLiteral("<tr><td>(.*?)</td><td><b>(.*?)</b>"));
    static const QRegularExpression key(QStringLiteral("<kbd>(.*?)</kbd>"));
    for (const QRegularExpressionMatch &r : row.globalMatch(table)) {
        GuideKeys entry{plain(r.captured(2)), {}};
        for (const QRegularExpressionMatch &k : key.globalMatch(r.captured(1)))
            entry.keys.append(k.captured(1));
        rows.append(entry);
    }
    return rows;
}

// A command's name as its menu entry shows it: no mnemonic, no key hint.
QString menuName(const QAction *action)
{
    QString text = action->text().section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.trimmed();
}

QList<QAction *> commands(CMainFrame *frame)
{
    QList<QAction *> found;
    for (QAction *a : frame->findChildren<QAction *>()) {
        if (!a->objectName().isEmpty() && frame->action(a->objectName()) == a)
            found.append(a);
    }
    return found;
}

// Enter in the open label editor, as the user ends naming an item.
void endLabelEdit(CLeftView *tree)
{
    if (auto *editor = tree->findChild<QLineEdit *>())
        QTest::keyClick(editor, Qt::Key_Return);
}

// Takes the addresses the program hands to the desktop.
class CUrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

}  // namespace

class TestGuide : public QObject
{
    Q_OBJECT

private slots:
    // Help (F1) opens the guide found beside the program, as installed; the
    // build tree's layout leads to the sources' guide.
    void helpOpensTheGuide()
    {
        guitest::CProgramInFolder run;
        QVERIFY(run.start());
        CUrlCatcher catcher;
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
        run.frame->action(QStringLiteral("help"))->trigger();
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(catcher.urls.size(), 1);
        QVERIFY2(catcher.urls[0].isLocalFile(), qPrintable(catcher.urls[0].toString()));
        QCOMPARE(QFileInfo(catcher.urls[0].toLocalFile()).canonicalFilePath(),
                 QFileInfo(testpaths::data(QStringLiteral("../../doc/guide/index.html"))).canonicalFilePath());
    }

    void guideKeysAreBoundToTheirCommands()
    {
        const QList<GuideKeys> rows = guideKeys(guideText());
        QVERIFY(rows.size() >= 20);

        QTemporaryDir dir;
        CDocFixture fixture;
        for (const char *title : {"First", "Second", "Third"})
            fixture.doc->appendToOrder(
                quint32(fixture.doc->appendItem(title, "text", CItemTables::kRootParent, CNoteInfo{})));
        const QString path = dir.filePath(QStringLiteral("keys.tqb"));
        QVERIFY(fixture.doc->saveDocument(path));
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        CLeftView *tree = frame->itemView();
        CTorviQuillbookDoc &doc = app.document();
        // Deleting asks first: yes.
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                for (QMessageBox::StandardButton yes : {QMessageBox::Yes, QMessageBox::Ok}) {
                    if (QAbstractButton *button = box->button(yes)) {
                        button->click();
                        return;
                    }
                }
            }
        });
        answerer.start(10);

        const QList<QAction *> all = commands(frame);
        for (const GuideKeys &row : rows) {
            QVERIFY2(!row.keys.isEmpty(), qPrintable(row.command));
            for (const QString &keyText : row.keys) {
                const QKeySequence key = QKeySequence::fromString(keyText, QKeySequence::PortableText);
                QVERIFY2(!key.isEmpty() && key.toString(QKeySequence::PortableText) == keyText, qPrintable(keyText));
                const QString what = row.command + QStringLiteral(": ") + keyText;
                if (row.command == QLatin1String("Quick capture")) {
                    QCOMPARE(key, QKeySequence(CQuickCapture::kHotKey));
                    continue;
                }
                QList<QAction *> named;
                std::copy_if(all.begin(), all.end(), std::back_inserter(named),
                             [&](QAction *a) { return menuName(a) == row.command; });
                QVERIFY2(named.size() == 1, qPrintable(what));
                QAction *action = named.first();
                if (action->shortcuts().contains(key)) {
                    // The key belongs to this command alone, or Qt would run none.
                    for (QAction *other : all)
                        QVERIFY2(other == action || !other->shortcuts().contains(key), qPrintable(what));
                    continue;
                }
                // Keys of the tree itself: pressed there, they must do the command.
                tree->setFocus();
                tree->setCurrentIndex(tree->model()->index(0, 0));
                const qsizetype before = doc.order().size();
                QTest::keyClick(tree, key[0].key(), key[0].keyboardModifiers());
                if (action->objectName() == QLatin1String("insertNote")) {
                    QVERIFY2(doc.order().size() == before + 1, qPrintable(what));
                    endLabelEdit(tree);
                } else if (action->objectName() == QLatin1String("deleteItem")) {
                    QVERIFY2(doc.order().size() < before, qPrintable(what));
                } else if (action->objectName() == QLatin1String("rename")) {
                    QVERIFY2(tree->infoTree().model().isEditing(), qPrintable(what));
                    endLabelEdit(tree);
                } else {
                    QFAIL(qPrintable(what + QStringLiteral(" is not bound")));
                }
            }
        }
    }

    // One name for each toolbar button: the guide and the empty document's
    // hint call a button by its tooltip.
    void toolbarButtonsAreCalledByTheirTooltips()
    {
        QTemporaryDir dir;
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        QStringList tooltips;
        for (QAction *a : frame->findChild<QToolBar *>()->actions())
            tooltips.append(a->toolTip());

        QStringList named;
        static const QRegularExpression inGuide(
            QStringLiteral("toolbar\\s+button\\s+\"([^\"]+)\"|\"([^\"]+)\"\\s+toolbar\\s+button"));
        for (const QRegularExpressionMatch &m : inGuide.globalMatch(guideText()))
            named.append(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));
        QVERIFY(named.size() >= 4);
        static const QRegularExpression inHint(QStringLiteral("\\(toolbar\\) (.+) icon"));
        const QRegularExpressionMatch hint = inHint.match(frame->noteView()->toPlainText());
        QVERIFY(hint.hasMatch());
        named.append(hint.captured(1));
        for (const QString &name : std::as_const(named))
            QVERIFY2(tooltips.contains(name), qPrintable(name));
    }
};

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"
