// Enter at every question the program asks, with unsaved work open: the
// answer it gives never throws that work away, nor a file on disk.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "doc/BackupFolderCheck.h"
#include "editor/TorviQuillbookView.h"
#include "password/PasswordDlg.h"
#include "tree/LeftView.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

namespace {

// The program on a saved document (Root / Child) with an edit not saved.
struct CRun : guitest::CProgramInFolder
{
    QString path;
    QString chosenFile;  // what the first file dialog picks; later ones are cancelled
    QStringList asked;
    QTimer answerer;

    bool begin()
    {
        path = savedDocument(dir.filePath(QStringLiteral("open.tqb")),
                             {{"Root", "root text", CItemTables::kRootParent}, {"Child", "child text", 2}});
        if (path.isEmpty() || !start(path) || !activate())
            return false;
        edited = doc().m_nCurItem;
        frame->notePane()->moveCursor(QTextCursor::End);
        QTest::keyClicks(frame->notePane(), QStringLiteral(" edited"));
        answerer.setInterval(5);
        QObject::connect(&answerer, &QTimer::timeout, [this] { answer(); });
        answerer.start();
        return true;
    }

    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            asked << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        } else if (auto *dlg = qobject_cast<CPasswordDlg *>(modal)) {
            guitest::clickCheckBox(dlg->findChild<QCheckBox *>(QStringLiteral("reload")));
            QTest::keyClick(dlg->findChild<QLineEdit *>(QStringLiteral("password")), Qt::Key_Return);
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            const QString file = std::exchange(chosenFile, {});
            files->selectFile(file);
            file.isEmpty() ? files->reject() : static_cast<QDialog *>(files)->accept();
        }
    }

    int edited = -1;  // the note typed into
    QByteArray editedText() const { return doc().m_nCurItem == edited ? doc().m_strCurText : doc().text(edited); }
    bool editKept() const { return doc().isModified() && editedText().endsWith(" edited"); }
};

struct CQuestion
{
    const char *name;
    std::function<void(CRun &)> ask;
    std::function<bool(CRun &)> lostNothing;
};

const QList<CQuestion> &questions()
{
    static const QList<CQuestion> all{
        {"save changes before closing",  // Enter saves
         [](CRun &r) { QVERIFY(r.doc().saveModified()); },
         [](CRun &r) {
             CDocFixture reader;
             return reader.doc->openDocument(r.path) && reader.doc->texts().value(r.edited).endsWith(" edited");
         }},
        {"read the file again", [](CRun &r) { r.doc().changePassword(); }, [](CRun &r) { return r.editKept(); }},
        {"replace an existing file",
         [](CRun &r) {
             r.chosenFile = savedDocument(r.dir.filePath(QStringLiteral("other.tqb")), {{"Other", "", CItemTables::kRootParent}});
             QCOMPARE(r.doc().chooseSavePath(r.dir.path(), QStringLiteral("*.tqb")), QString());
         },
         [](CRun &r) {
             CDocFixture reader;
             return reader.doc->openDocument(r.dir.filePath(QStringLiteral("other.tqb")))
                 && reader.doc->titles() == QList<QByteArray>{"Other"};
         }},
        {"delete a folder with its notes",
         [](CRun &r) {
             QVERIFY(r.frame->itemView()->infoTree().selectByIndex(0));
             r.frame->action(QStringLiteral("deleteItem"))->trigger();
         },
         [](CRun &r) {
             const QAbstractItemModel *tree = r.frame->itemView()->model();
             return tree->rowCount() == 1 && tree->rowCount(tree->index(0, 0)) == 1;
         }},
        {"changed on disk",
         [](CRun &r) {
             QTest::qWait(20);  // a change time of its own
             QVERIFY(!savedDocument(r.path, {{"Theirs", "", CItemTables::kRootParent}}).isEmpty());
             r.doc().checkDiskChange();
             QVERIFY(!r.doc().saveCommand());
         },
         [](CRun &r) {
             CDocFixture reader;
             return r.editKept() && reader.doc->openDocument(r.path) && reader.doc->titles() == QList<QByteArray>{"Theirs"};
         }},
        {"plain copy of an encrypted document",
         [](CRun &r) {
             QVERIFY(r.doc().setPassword("pass word", Protection::Encrypted));
             QVERIFY(!r.doc().mayWritePlainCopy());
         },
         [](CRun &r) { return r.editKept(); }},
        {"create the backup folder",  // Enter creates it: nothing is lost by that
         [](CRun &r) {
             QVERIFY(CBackupFolderCheck::accept(r.dir.filePath(QStringLiteral("copies")), r.doc().prompter()));
         },
         [](CRun &r) { return r.editKept() && QFileInfo(r.dir.filePath(QStringLiteral("copies"))).isDir(); }},
    };
    return all;
}

}  // namespace

class TestQuestions : public QObject
{
    Q_OBJECT

private slots:
    void enterLosesNothing_data()
    {
        QTest::addColumn<int>("question");
        for (int i = 0; i < questions().size(); ++i)
            QTest::newRow(questions()[i].name) << i;
    }

    void enterLosesNothing()
    {
        QFETCH(int, question);
        const CQuestion &q = questions()[question];
        CRun run;
        QVERIFY(run.begin());
        q.ask(run);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY2(!run.asked.isEmpty(), "no question was asked");
        QVERIFY2(q.lostNothing(run), qPrintable(run.asked.join(QStringLiteral(" | "))));
    }
};

QTEST_MAIN(TestQuestions)
#include "tst_questions.moc"
