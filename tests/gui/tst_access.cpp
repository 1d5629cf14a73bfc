// What a keyboard user and a screen reader meet: every dialog of the real
// window, opened by its command, has a name for each field and a mnemonic on
// each label (unique in its dialog); the panes of the main window have names;
// Alt and a letter reach the fields of Find / Replace.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "find/FindDlg.h"
#include "reminders/Reminders.h"
#include "editor/TorviQuillbookView.h"
#include "tree/LeftView.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// The letter after a single "&", lower case; empty without one.
QString mnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return text[i + 1].toLower();
        }
    }
    return {};
}

// The problems a keyboard or screen-reader user meets in `dialog`, one a line.
QStringList problems(QDialog *dialog)
{
    QStringList found;
    const QString where = dialog->metaObject()->className() + QStringLiteral(": ");
    for (QWidget *field : dialog->findChildren<QWidget *>()) {
        const bool isField = qobject_cast<QLineEdit *>(field) || qobject_cast<QAbstractSpinBox *>(field)
            || qobject_cast<QComboBox *>(field) || qobject_cast<QAbstractItemView *>(field)
            || qobject_cast<QAbstractSlider *>(field) || qobject_cast<QPlainTextEdit *>(field)
            || qobject_cast<QTabBar *>(field);
        // The line edit and list inside a combo or spin box are parts of it.
        if (!isField || qobject_cast<QComboBox *>(field->parentWidget())
            || qobject_cast<QAbstractSpinBox *>(field->parentWidget()) || !field->isVisibleTo(dialog)
            || field->focusPolicy() == Qt::NoFocus)
            continue;
        if (accessibleName(field).trimmed().isEmpty())
            found << where + QStringLiteral("a %1 without a name").arg(field->metaObject()->className());
        // On Linux a combo box's name is its value: what it is for comes from
        // its label (the buddy relation).
        if (qobject_cast<QComboBox *>(field)
            && QAccessible::queryAccessibleInterface(field)->relations(QAccessible::Label).isEmpty())
            found << where + QStringLiteral("a combo box without a label (\"%1\")").arg(accessibleName(field));
    }
    QMap<QString, QString> letters;
    const auto take = [&](const QString &text) {
        const QString letter = mnemonic(text);
        if (letter.isEmpty())
            return false;
        if (letters.contains(letter))
            found << where + QStringLiteral("Alt+%1 for both \"%2\" and \"%3\"").arg(letter, letters[letter], text);
        letters.insert(letter, text);
        return true;
    };
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->buddy() && label->isVisibleTo(dialog) && !take(label->text()))
            found << where + QStringLiteral("the label \"%1\" has no mnemonic").arg(label->text());
    }
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->isVisibleTo(dialog))
            take(button->text());
    }
    return found;
}

struct CWindow : guitest::CProgramInFolder
{
    bool open()
    {
        CDocFixture maker;
        maker.addRootAndChild();
        CReminder soon;  // for the reminders list
        soon.mode = 1;
        soon.moment = QDateTime::currentSecsSinceEpoch() + 7 * 86400;
        soon.start = soon.moment - 86400;
        soon.end = soon.moment;
        soon.lead = 86400;
        if (!Reminders::set(*maker.doc, 1, soon))
            return false;
        const QString path = dir.filePath(QStringLiteral("access.tqb"));
        if (!maker.doc->saveDocument(path))
            return false;
        return start(path) && activate();
    }
};

}  // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void modalDialogs_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"password", "backupSettings", "reminder", "passwordGenerator", "selectIcons",
                                    "customizeToolbar", "remindersList", "importText", "about", "lockAfter"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }

    void modalDialogs()
    {
        QFETCH(QString, command);
        CWindow w;
        QVERIFY(w.open());
        QAction *action = w.frame->action(command);
        QVERIFY(action);
        if (command == QLatin1String("passwordGenerator")) {  // it inserts into the note
            w.frame->noteView()->setFocus();
            QTRY_VERIFY(action->isEnabled());
        }
        QVERIFY2(action->isEnabled(), qPrintable(command));
        QStringList found;
        bool shown = false;
        guitest::whenModalShows<QDialog>([&](QDialog *dialog) {
            shown = true;
            found = problems(dialog);
            dialog->reject();
        });
        action->trigger();
        QVERIFY2(shown, qPrintable(command));
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void findReplaceByKeys()
    {
        CWindow w;
        QVERIFY(w.open());
        w.frame->action(QStringLiteral("findReplace"))->trigger();
        CFindDlg *find = w.frame->findDialog();
        QVERIFY(QTest::qWaitForWindowExposed(find));
        QCOMPARE(problems(find), QStringList());

        QCOMPARE(find->findChildren<QLineEdit *>().size(), 2);
        find->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), find);
        QTest::keyClick(find, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(accessibleName(QApplication::focusWidget()), QStringLiteral("Replace"));
        QTest::keyClick(find, Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(accessibleName(QApplication::focusWidget()), QStringLiteral("Find"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("child"));
        QCOMPARE(find->findChildren<QLineEdit *>().first()->text() + find->findChildren<QLineEdit *>().last()->text(),
                 QStringLiteral("child"));
        QTest::keyClick(find, Qt::Key_C, Qt::AltModifier);  // Case sensitive
        QTRY_VERIFY(find->caseBox()->isChecked());
    }

    void mainWindowPanesHaveNames()
    {
        CWindow w;
        QVERIFY(w.open());
        for (QWidget *pane : {static_cast<QWidget *>(w.frame->itemView()), static_cast<QWidget *>(w.frame->noteView())}) {
            QVERIFY(!accessibleName(pane).isEmpty());
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(pane);
            QVERIFY(!face->text(QAccessible::Description).isEmpty());
        }
        QCOMPARE(accessibleName(w.frame->itemView()), QStringLiteral("Folders and notes"));
        QCOMPARE(accessibleName(w.frame->noteView()), QStringLiteral("Note"));
        QStringList panes;
        for (QLabel *label : w.frame->statusBar()->findChildren<QLabel *>())
            panes << accessibleName(label);
        QVERIFY2(panes.contains(QStringLiteral("Status")) && panes.contains(QStringLiteral("Password protection")),
                 qPrintable(panes.join(QLatin1Char(','))));
    }

    // A toolbar button is read out by its command, without the menu's tab and
    // shortcut; the search fields of the window have names too.
    void toolbarAndSearchFieldsHaveNames()
    {
        CWindow w;
        QVERIFY(w.open());
        auto *bar = w.frame->findChild<QToolBar *>(QStringLiteral("toolbar"));
        QVERIFY(bar);
        QStringList names;
        for (QToolButton *button : bar->findChildren<QToolButton *>()) {
            if (button->defaultAction())
                names << accessibleName(button);
        }
        for (const char *name : {"New", "Open", "Save", "Delete", "Reminders list", "Find/Replace", "Password"})
            QVERIFY2(names.contains(QLatin1String(name)), qPrintable(names.join(QLatin1Char('|'))));
        for (const QString &name : names)
            QVERIFY2(!name.isEmpty() && !name.contains(QLatin1Char('\t')) && !name.contains(QLatin1Char('&')),
                     qPrintable(name));
        QCOMPARE(accessibleName(w.frame->findChild<QLineEdit *>(QStringLiteral("searchField"))), QStringLiteral("Search"));
        QCOMPARE(accessibleName(w.frame->findChild<QLineEdit *>(QStringLiteral("goToField"))), QStringLiteral("Go to note"));
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
