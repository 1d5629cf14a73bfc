// File > Import > Text into "New document" through the import commands, on
// a real document, infotree and New command, then Undo.

#include "DocFixture.h"
#include "cli/TqbProcess.h"
#include "GuiTestSupport.h"
#include "app/DocManager.h"
#include "import/ImportCommands.h"
#include "import/ImportPlaceDlg.h"
#include "tree/InfoTree.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TstImportCommands : public QObject
{
    Q_OBJECT

private slots:
    void textIntoNewDocumentThenUndo()
    {
        CDocFixture fx([](CSettings &s) {
            s.setNumber(CSettings::LastFile, 0);
            s.setNumber(CSettings::SortType, 0);
        });
        CTorviQuillbookDoc &doc = *fx.doc;
        CInfoTree tree(doc);
        connect(&doc, &CTorviQuillbookDoc::updateAllViews, &doc, [&tree](int hint) { tree.onUpdate(hint); });
        doc.appendItem("Old note", "kept in the old document", CItemTables::kRootParent, CNoteInfo{});
        tree.initialUpdate();
        QCOMPARE(tree.model().count(), 1);

        const QString path = fx.path(QStringLiteral("Recipes.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Soup\r\nwater, salt\r\n    ***\r\nTomato soup\r\ntomatoes\r\n***\r\nBread\r\nflour\r\n");
        file.close();
        fx.prompter.openFileAnswers = {path};

        CDocManager manager(doc, *fx.settings);
        QWidget window;
        CImportCommands commands(doc, tree, &window, [&manager] { return manager.fileNew(); });

        QString title;
        guitest::whenModalShows<CImportPlaceDlg>([&title](CImportPlaceDlg *dlg) {
            title = dlg->windowTitle();
            QVERIFY(dlg->button(CImportPlaceDlg::kSelectedFolder)->isChecked());
            QTest::mouseClick(dlg->button(CImportPlaceDlg::kNewDocument), Qt::LeftButton);
            dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        commands.importText();

        QCOMPARE(title, QStringLiteral("Where place imported notes?"));
        QCOMPARE(fx.prompter.chooserTitles, QStringList{QStringLiteral("Open")});
        // The new document holds only the import; the request is consumed.
        QCOMPARE(doc.m_nImport, int(CTorviQuillbookDoc::kNoImport));
        QCOMPARE(doc.titles(), (QList<QByteArray>{"Recipes", "Soup", "Tomato soup", "Bread"}));
        QCOMPARE(doc.parentLinks(), (QList<quint32>{1, 2, 3, 2}));
        QCOMPARE(doc.order(), (QList<quint32>{0, 1, 2, 3}));
        QVERIFY(doc.isModified());
        QCOMPARE(tree.model().label(tree.model().selected()), QByteArray("Recipes"));
        QVERIFY(tree.model().isExpanded(tree.model().selected()));

        // One Undo removes the whole import (after the delete warning).
        fx.prompter.answers = {IPrompter::Answer::Ok};
        tree.undo();
        QCOMPARE(tree.model().count(), 0);
        QVERIFY(doc.order().isEmpty());
        QCOMPARE(fx.prompter.unscriptedQuestions, 0);
    }

    void emptyTreeImportsAtOnceAndCancelDoesNothing()
    {
        CDocFixture fx;
        CTorviQuillbookDoc &doc = *fx.doc;
        CInfoTree tree(doc);
        tree.initialUpdate();
        QWidget window;
        int newCalls = 0;
        CImportCommands commands(doc, tree, &window, [&newCalls] { return ++newCalls > 0; });
        const QString path = fx.path(QStringLiteral("list.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a,b\n");
        file.close();
        // No item: no destination dialog (any window would be closed and fail below).
        fx.prompter.openFileAnswers = {path};
        fx.prompter.answers = {IPrompter::Answer::No};
        guitest::whenModalShows<QWidget>([](QWidget *w) { w->close(); });
        commands.importCsv();
        QCOMPARE(doc.titles(), (QList<QByteArray>{"list", "a"}));

        // With items, Cancel in the dialog ends the command.
        guitest::whenModalShows<CImportPlaceDlg>([](CImportPlaceDlg *dlg) { dlg->reject(); });
        commands.importCsv();
        QCOMPARE(doc.count(), 2);
        QCOMPARE(newCalls, 0);
        QCOMPARE(fx.prompter.chooserTitles.size(), 1);
    }

    // Files the import refuses (here over the size limit): one message at
    // the end, nothing added, and tqb says the same and saves nothing.
    void refusedMarkdownFilesAddNothingAsInTqb()
    {
        CDocFixture fx;
        CTorviQuillbookDoc &doc = *fx.doc;
        CInfoTree tree(doc);
        doc.appendItem("Old note", "", CItemTables::kRootParent, CNoteInfo{});
        tree.initialUpdate();
        const QString folder = fx.path(QStringLiteral("vault"));
        QVERIFY(QDir().mkpath(folder));
        QFile small(folder + QStringLiteral("/small.md"));
        QVERIFY(small.open(QIODevice::WriteOnly) && small.write("kept") == 4);
        small.close();
        for (int i = 0; i < 3; ++i) {
            QFile big(folder + QStringLiteral("/big%1.md").arg(i));
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(129 * 1024 * 1024));  // sparse
        }
        QWidget window;
        CImportCommands commands(doc, tree, &window, [] { return false; });
        fx.prompter.folderAnswers = {folder};
        guitest::whenModalShows<CImportPlaceDlg>([](CImportPlaceDlg *dlg) { dlg->accept(); });
        commands.importMarkdown();
        QCOMPARE(fx.prompter.messages.size(), 1);
        QVERIFY(fx.prompter.messages[0].startsWith(QStringLiteral("Nothing was imported: 3 file(s) or folder(s) could not be read.\n")));
        QCOMPARE(doc.order().size(), 1);

        const tqbtest::CRun run = tqbtest::run(fx.path(QString()), fx.path(QStringLiteral("tqb.ini")),
                                               {QStringLiteral("import-md"), QStringLiteral("t.tqb"), folder});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("tqb: ") + fx.prompter.messages[0].split(QLatin1Char('\n')).join(QLatin1Char(' ')));
        QVERIFY(!QFile::exists(fx.path(QStringLiteral("t.tqb"))));
    }
};

QTEST_MAIN(TstImportCommands)
#include "tst_importcommands.moc"
