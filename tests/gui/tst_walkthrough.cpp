// One whole session as a person has it, by keys and menus in the real
// window: a document named on the command line, folders and notes made and
// typed, a note renamed through its first line, a replacement across notes,
// a password, a print preview, a save; then a new start that must show all
// of it again.
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "password/PasswordDlg.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/TorviQuillbookView.h"
#include "find/FindDlg.h"
#include "tree/LeftView.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run : guitest::CProgramRun
{
    bool start(const QString &settings, const QString &path)
    {
        return CProgramRun::start(settings, path) && activate();
    }
    CLeftView *tree() const { return frame->itemView(); }
    CTorviQuillbookView *note() const { return frame->noteView(); }
    QString shownText() const { return note()->toPlainText(); }
    QWidget *focus() const { return QApplication::focusWidget(); }
    QStringList labels(const QModelIndex &parent = {}) const
    {
        QStringList out;
        const QAbstractItemModel *m = tree()->model();
        for (int r = 0; r < m->rowCount(parent); ++r)
            out.append(m->index(r, 0, parent).data().toString());
        return out;
    }
    QModelIndex row(const QString &label, const QModelIndex &parent = {}) const
    {
        const QAbstractItemModel *m = tree()->model();
        for (int r = 0; r < m->rowCount(parent); ++r) {
            if (m->index(r, 0, parent).data().toString() == label)
                return m->index(r, 0, parent);
        }
        return {};
    }
    // Names the item whose label editor is open, as a person types it.
    bool name(const QString &label) const
    {
        QLineEdit *editor = tree()->labelEditor();
        if (!editor || focus() != editor)
            return false;
        QTest::keyClicks(editor, label);
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor commits and closes from the event loop.
        return QTest::qWaitFor([this] { return !tree()->labelEditor(); });
    }
    void click(const QModelIndex &item) const
    {
        tree()->scrollTo(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, Qt::NoModifier, tree()->visualRect(item).center());
    }
};

}  // namespace

class TestWalkthrough : public QObject
{
    Q_OBJECT

private slots:
    void aWholeSessionComesBackAfterANewStart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kitchen.tqb"));
        const QString settings = dir.filePath(QStringLiteral("app.ini"));
        {
            QFile empty(path);  // an empty file is an empty document
            QVERIFY(empty.open(QIODevice::WriteOnly));
        }
        {
            Run run;
            QVERIFY(run.start(settings, path));
            QCOMPARE(run.frame->windowTitle(), QStringLiteral("kitchen.tqb - Torvi Quillbook"));

            // A root folder and two notes in it, named in the tree.
            run.tree()->setFocus();
            QTest::keyClick(run.tree(), Qt::Key_Insert, Qt::AltModifier);
            QVERIFY(run.name(QStringLiteral("Recipes")));
            QCOMPARE(run.labels(), QStringList{QStringLiteral("Recipes")});
            QTest::keyClick(run.tree(), Qt::Key_Insert);
            QVERIFY(run.name(QStringLiteral("Pancakes")));
            run.click(run.row(QStringLiteral("Recipes")));
            QTest::keyClick(run.tree(), Qt::Key_Insert);
            QVERIFY(run.name(QStringLiteral("Broth")));
            const QModelIndex recipes = run.row(QStringLiteral("Recipes"));
            QCOMPARE(run.labels(recipes), (QStringList{QStringLiteral("Broth"), QStringLiteral("Pancakes")}));

            // F6 to the note; Enter in the title goes to the text.
            QTest::keyClick(run.tree(), Qt::Key_F6);
            QCOMPARE(run.focus(), run.note());
            QCOMPARE(run.shownText(), QStringLiteral("Broth\n\n"));
            QTest::keyClick(run.note(), Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClick(run.note(), Qt::Key_Return);
            QTest::keyClicks(run.note(), QStringLiteral("bones, milk and salt"));
            QCOMPARE(run.shownText(), QStringLiteral("Broth\n\nbones, milk and salt"));

            run.click(run.row(QStringLiteral("Pancakes"), recipes));
            QTest::keyClick(run.tree(), Qt::Key_F6);
            QTest::keyClick(run.note(), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(run.note(), QStringLiteral("flour, eggs, milk"));
            QTest::keyClick(run.note(), Qt::Key_Return);
            QTest::keyClicks(run.note(), QStringLiteral("milk last"));
            // Typing in the first line renames the item, and its level is sorted again.
            QTest::keyClick(run.note(), Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClicks(run.note(), QStringLiteral("Alpine "));
            QCOMPARE(run.labels(recipes), (QStringList{QStringLiteral("Alpine Pancakes"), QStringLiteral("Broth")}));

            // Find / Replace over all notes: every "milk" becomes "oat milk", once.
            QTest::keyClick(run.note(), Qt::Key_F, Qt::ControlModifier);
            auto *find = run.frame->findChild<CFindDlg *>();
            QVERIFY(find && find->isVisible());
            QTest::keyClicks(find->findEdit(), QStringLiteral("milk"));
            QTest::keyClicks(find->replaceEdit(), QStringLiteral("oat milk"));
            QTest::mouseClick(find->replaceAllButton(), Qt::LeftButton);
            QCOMPARE(find->resultLabel()->text(), QStringLiteral("3 replacements made."));
            QTest::mouseClick(find->closeButton(), Qt::LeftButton);
            QVERIFY(!find->isVisible());

            // A password, a look at the print preview, and Ctrl+S.
            guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) {
                auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
                QTest::keyClicks(edit, QStringLiteral("pass-23"));
                QTest::keyClick(edit, Qt::Key_Return);
            });
            run.frame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(run.frame));
            QTest::keyClick(run.frame, Qt::Key_P, Qt::AltModifier);
            QVERIFY(run.app->document().hasPassword());
            // The test platform gives no window the focus back after a dialog.
            run.frame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(run.frame));
            bool previewed = false;
            guitest::whenModalShows<QPrintPreviewDialog>([&](QPrintPreviewDialog *dlg) {
                previewed = true;
                dlg->reject();
            });
            QTest::keyClick(run.frame, Qt::Key_P, Qt::ControlModifier);
            QVERIFY(previewed);
            run.frame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(run.frame));
            QVERIFY(run.app->document().isModified());
            QTest::keyClick(run.frame, Qt::Key_S, Qt::ControlModifier);
            QVERIFY(!run.app->document().isModified());
            guitest::saveScreenshot(*run.frame, QStringLiteral("walkthrough"));
            QVERIFY(run.frame->close());
        }

        // A new start on the same file asks for the password and shows it all.
        guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) {
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
            QTest::keyClicks(edit, QStringLiteral("pass-23"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        Run again;
        QVERIFY(again.start(settings, path));
        QCOMPARE(again.labels(), QStringList{QStringLiteral("Recipes")});
        const QModelIndex recipes = again.row(QStringLiteral("Recipes"));
        QCOMPARE(again.labels(recipes), (QStringList{QStringLiteral("Alpine Pancakes"), QStringLiteral("Broth")}));
        again.click(again.row(QStringLiteral("Alpine Pancakes"), recipes));
        QCOMPARE(again.shownText(), QStringLiteral("Alpine Pancakes\n\nflour, eggs, oat milk\noat milk last"));
        again.click(again.row(QStringLiteral("Broth"), recipes));
        QCOMPARE(again.shownText(), QStringLiteral("Broth\n\nbones, oat milk and salt"));
        QVERIFY(!again.app->document().isModified());
    }
};

QTEST_MAIN(TestWalkthrough)
#include "tst_walkthrough.moc"
