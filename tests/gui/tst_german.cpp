// The program as a German user meets it: started under LANG=de_DE.UTF-8 (the
// test's environment), it loads its German translation and Qt's, and its
// menus, dialogs and messages speak German, with mnemonics that still differ.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "app/Translations.h"
#include "password/PasswordDlg.h"
#include "find/FindDlg.h"
#include "reminders/ReminderDlg.h"
#include "editor/NewNoteDlg.h"
#include "editor/TorviQuillbookView.h"
#include "tree/LeftView.h"
#include "TestPaths.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QXmlStreamReader>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The letters after "&" that more than one of `texts` uses.
QStringList clashes(const QStringList &texts)
{
    QMap<QChar, int> uses;
    for (const QString &text : texts) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size())
            ++uses[text[at + 1].toLower()];
    }
    QStringList out;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
        if (it.value() > 1)
            out << QString(it.key());
    }
    return out;
}

QStringList visibleTexts(QWidget *dialog)
{
    QStringList texts;
    for (QLabel *label : dialog->findChildren<QLabel *>())
        texts << label->text();
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->isVisibleTo(dialog))
            texts << button->text();
    }
    return texts;
}

// The German catalogue as the translators left it: which texts are German,
// and which English texts stay as they are on purpose.
struct CCatalogue
{
    QSet<QString> sources;
    QSet<QString> translations;  // finished ones
    QSet<QString> keptAsIs;      // finished, the same as the source
};

CCatalogue readCatalogue()
{
    CCatalogue catalogue;
    QFile file(testpaths::data(QStringLiteral("../../translations/torvi-quillbook_de.ts")));
    if (!file.open(QIODevice::ReadOnly))
        return catalogue;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
            catalogue.sources.insert(source);
        } else if (xml.name() == QLatin1String("translation")) {
            const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            const QString text = xml.readElementText();
            if (finished)
                catalogue.translations.insert(text);
            if (finished && text == source)
                catalogue.keptAsIs.insert(text);
        }
    }
    return catalogue;
}

// The entries of a menu that is open, as the user reads them.
QStringList entriesOf(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions()) {
        if (!a->isSeparator() && a->isVisible() && !a->objectName().startsWith(QLatin1String("recentFile")))
            texts << a->text();
    }
    return texts;
}

// What the context menu `target` opens on a right click shows.
QStringList contextMenuOf(QAbstractScrollArea *target)
{
    QStringList texts;
    QTimer::singleShot(0, qApp, [&texts] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            texts = entriesOf(menu);
            menu->close();
        }
    });
    const QPoint at(10, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->viewport()->mapToGlobal(at));
    QApplication::sendEvent(target->viewport(), &event);
    QTest::qWait(50);
    return texts;
}

}  // namespace

class TestGerman : public QObject
{
    Q_OBJECT

private:
    guitest::CProgramInFolder m_run;
    CMainFrame *m_frame = nullptr;

private slots:
    void initTestCase()
    {
        QCOMPARE(QLocale().language(), QLocale::German);  // from LANG, as for a user
        QVERIFY(Translations::install());
        CDocFixture maker;
        maker.addRootAndChild("Einkauf", "Brot, Milch, Äpfel");
        const QString path = m_run.dir.filePath(QStringLiteral("notizen.tqb"));
        QVERIFY(maker.doc->saveDocument(path));
        QVERIFY(m_run.start(path));
        m_frame = m_run.frame;
        m_frame->resize(760, 420);
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
    }

    void menusSpeakGerman()
    {
        QStringList titles;
        for (QAction *menu : m_frame->menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, (QStringList{"Da&tei", "&Bearbeiten", "E&instellungen", "&Hilfe"}));
        QVERIFY(clashes(titles).isEmpty());
        QCOMPARE(m_frame->action(QStringLiteral("fileNew"))->text(), QStringLiteral("&Neu\tStrg+N"));
        QCOMPARE(m_frame->action(QStringLiteral("editPaste"))->text(), QStringLiteral("E&infügen\tStrg+V"));
        QCOMPARE(m_frame->action(QStringLiteral("autoSave"))->text(), QStringLiteral("Automatisch speichern"));
        QCOMPARE(m_frame->action(QStringLiteral("addRootFolder"))->toolTip(), QStringLiteral("Stammordner"));
        // Each menu's mnemonics still lead to one entry each.
        for (QMenu *menu : m_frame->menuBar()->findChildren<QMenu *>()) {
            QStringList entries;
            for (QAction *a : menu->actions())
                entries << a->text();
            QVERIFY2(clashes(entries).isEmpty(), qPrintable(menu->title() + QLatin1String(": ") + clashes(entries).join(',')));
        }
        const QStringList panes{m_frame->statusBar()->findChild<QLabel *>(QStringLiteral("messagePane"))->text(),
                                m_frame->statusBar()->findChild<QLabel *>(QStringLiteral("passwordPane"))->text()};
        QCOMPARE(panes, (QStringList{"Bereit", " Kein Passwortschutz  "}));
        QVERIFY(guitest::saveScreenshot(*m_frame, QStringLiteral("window-german")));
    }

    void findDialogSpeaksGerman()
    {
        m_frame->action(QStringLiteral("findReplace"))->trigger();
        CFindDlg *find = m_frame->findDialog();
        QVERIFY(QTest::qWaitForWindowExposed(find));
        QCOMPARE(find->windowTitle(), QStringLiteral("Suchen / Ersetzen"));
        QCOMPARE(find->findNextButton()->text(), QStringLiteral("&Weitersuchen"));
        QVERIFY2(clashes(visibleTexts(find)).isEmpty(), qPrintable(clashes(visibleTexts(find)).join(',')));
        QVERIFY(guitest::saveScreenshot(*find, QStringLiteral("find-german")));
        find->hide();
    }

    // Qt's own texts come in German too: the standard buttons.
    void dialogsWithQtsButtonsSpeakGerman()
    {
        QStringList texts;
        QString title;
        guitest::whenModalShows<CReminderDlg>([&](CReminderDlg *dlg) {
            title = dlg->windowTitle();
            texts = visibleTexts(dlg);
            QVERIFY(guitest::saveScreenshot(*dlg, QStringLiteral("reminder-german")));
            dlg->reject();
        });
        m_frame->action(QStringLiteral("reminder"))->trigger();
        QCOMPARE(title, QStringLiteral("Erinnerung einstellen"));
        QVERIFY2(texts.contains(QStringLiteral("Abbrechen")), qPrintable(texts.join('|')));
        QVERIFY2(texts.contains(QStringLiteral("Erinnern &ab")), qPrintable(texts.join('|')));
        QVERIFY2(clashes(texts).isEmpty(), qPrintable(clashes(texts).join(',')));
    }

    // Every dialog a command opens keeps a mnemonic on each field's label, one
    // per letter, in German.
    void dialogMnemonics_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"password", "backupSettings", "passwordGenerator", "selectIcons", "importText", "lockAfter"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }

    void dialogMnemonics()
    {
        QFETCH(QString, command);
        if (command == QLatin1String("passwordGenerator"))
            m_frame->activateEditorPane();
        else
            m_frame->activateTreePane();
        QStringList texts;
        QStringList unmarked;  // labels of a field without a mnemonic
        guitest::whenModalShows<QDialog>([&](QDialog *dlg) {
            texts = visibleTexts(dlg);
            for (QLabel *label : dlg->findChildren<QLabel *>()) {
                if (label->buddy() && label->isVisibleTo(dlg) && !label->text().contains(QLatin1Char('&')))
                    unmarked << label->text();
            }
            dlg->reject();
        });
        QTRY_VERIFY(m_frame->action(command)->isEnabled());
        m_frame->action(command)->trigger();
        QVERIFY(!texts.isEmpty());
        QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join('|')));
        QVERIFY2(clashes(texts).isEmpty(), qPrintable(clashes(texts).join(',') + QLatin1String(": ") + texts.join('|')));
    }

    // Every entry of every menu, the context menus of the tree and the note
    // included, is German: a text the catalogue does not hold as a finished
    // translation, or an English source it does not keep as it is, was left
    // out of the translation.
    void everyMenuEntryIsTranslated()
    {
        const CCatalogue catalogue = readCatalogue();
        QVERIFY(catalogue.translations.size() > 100);
        QMap<QString, QStringList> shown;  // menu, its entries
        m_frame->itemView()->setFocus();
        m_frame->itemView()->setCurrentIndex(m_frame->itemView()->model()->index(0, 0));
        shown.insert(QStringLiteral("tree (folder)"), contextMenuOf(m_frame->itemView()));
        m_frame->itemView()->expandAll();
        m_frame->itemView()->setCurrentIndex(m_frame->itemView()->indexBelow(m_frame->itemView()->currentIndex()));
        shown.insert(QStringLiteral("tree (note)"), contextMenuOf(m_frame->itemView()));
        shown.insert(QStringLiteral("note"), contextMenuOf(m_frame->notePane()));
        for (QMenu *menu : m_frame->findChildren<QMenu *>()) {
            menu->popup(QPoint(0, 0));
            shown.insert(menu->title() + QLatin1Char(' ') + menu->objectName(), entriesOf(menu));
            menu->close();
        }
        QStringList untranslated;
        for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
            QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
            for (const QString &text : it.value()) {
                // "Name..." may be made of "Name" and the dots.
                const QString words = catalogue.translations.contains(text) || !text.endsWith(QLatin1String("..."))
                    ? text : text.chopped(3);
                const bool german = catalogue.translations.contains(words)
                    && (!catalogue.sources.contains(words) || catalogue.keptAsIs.contains(words));
                if (!german || text.contains(QLatin1String("Ctrl")))
                    untranslated << it.key() + QLatin1String(": ") + text;
            }
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    // File's entries and the New-note dialog's buttons each have a mnemonic of
    // their own in German too.
    void fileMenuAndNewNoteMnemonics()
    {
        auto *file = m_frame->menuBar()->findChild<QMenu *>(QStringLiteral("menuFile"));
        QStringList entries;
        for (const QAction *a : file->actions()) {
            if (!a->isSeparator() && !a->objectName().startsWith(QLatin1String("recentFile")))
                entries << a->text();
        }
        auto *newNote = m_frame->findChild<CNewNoteDlg *>();
        QVERIFY(newNote);
        const QStringList buttons{newNote->autoTitleButton()->text(), newNote->asRootButton()->text()};
        for (const QStringList &texts : {entries, buttons}) {
            QVERIFY2(clashes(texts).isEmpty(), qPrintable(texts.join(QLatin1Char('|'))));
            for (const QString &text : texts)
                QVERIFY2(text.contains(QLatin1Char('&')), qPrintable(text));
        }
        QVERIFY(entries.contains(QStringLiteral("&Importieren")) && entries.contains(QStringLiteral("&Wiederherstellen")));
    }

    // A message from the core, through the window's prompter; Cancel keeps the branch.
    void messagesSpeakGerman()
    {
        m_frame->activateTreePane();
        const qsizetype items = m_run.doc().order().size();
        QString shown;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            shown = box->text();
            box->button(QMessageBox::Cancel)->click();
        });
        m_frame->action(QStringLiteral("deleteItem"))->trigger();
        QCOMPARE(shown, QStringLiteral("ACHTUNG! Damit werden der ausgewählte Ordner und alle Unterordner gelöscht. "
                                       "Möchten Sie fortfahren?"));
        QCOMPARE(m_run.doc().order().size(), items);
    }
};

QTEST_MAIN(TestGerman)
#include "tst_german.moc"
