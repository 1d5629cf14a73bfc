// The password generator dialog and its command: the settings it starts
// from and keeps, Next, and OK handing the password to the clipboard, to the
// editor's caret and, when asked, to the reminder dialog.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "reminders/ReminderDlg.h"
#include "generator/PasswordGenDlg.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

class TstPasswordGenDlg : public QObject
{
    Q_OBJECT

private slots:
    void startsFromTheSettingsAndDrawsAgain()
    {
        CDocFixture f;
        CPasswordGenDlg dlg(*f.settings);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Password Generator"));
        QCOMPARE(dlg.lengthList()->count(), 122);
        QCOMPARE(dlg.lengthList()->item(0)->text(), QStringLiteral("6"));
        QCOMPARE(dlg.lengthList()->item(121)->text(), QStringLiteral("127"));
        QCOMPARE(dlg.lengthList()->currentRow(), 4);
        QVERIFY(dlg.numbersBox()->isChecked() && dlg.lettersBox()->isChecked());
        QVERIFY(!dlg.specialBox()->isChecked() && !dlg.reminderBox()->isChecked());
        const QString first = dlg.password();
        QCOMPARE(first.size(), 10);
        for (QChar c : first)
            QVERIFY(c.isLetterOrNumber() && c.unicode() < 128);
        guitest::saveScreenshot(dlg, QStringLiteral("password-generator"));

        // Only digits, length 6.
        dlg.lengthList()->setCurrentRow(0);
        guitest::clickCheckBox(dlg.lettersBox());
        QTest::mouseClick(dlg.nextButton(), Qt::LeftButton);
        QCOMPARE(dlg.password().size(), 6);
        for (QChar c : dlg.password())
            QVERIFY(c.isDigit());

        // No class ticked: Next leaves the password shown.
        const QString shown = dlg.password();
        guitest::clickCheckBox(dlg.numbersBox());
        QTest::mouseClick(dlg.nextButton(), Qt::LeftButton);
        QCOMPARE(dlg.password(), shown);
    }

    // A damaged stored length selects the default entry (length 10), never
    // no entry and a password of five characters.
    void aStoredLengthOutsideTheListGivesTheDefault()
    {
        CDocFixture f;
        CPasswordGenSettings stored;
        stored.quantity = 500;
        stored.special = 1;
        stored.numbers = 0;
        stored.letters = 0;
        stored.store(*f.settings);
        CPasswordGenDlg dlg(*f.settings);
        QCOMPARE(dlg.lengthList()->currentRow(), 4);
        QCOMPARE(dlg.password().size(), 10);
        for (QChar c : dlg.password())
            QVERIFY(!c.isLetterOrNumber());
    }

    void okCopiesInsertsAndKeepsTheChoices()
    {
        CDocFixture f;
        QString inserted;
        guitest::whenModalShows<CPasswordGenDlg>([](CPasswordGenDlg *dlg) {
            dlg->lengthList()->setCurrentRow(10);
            guitest::clickCheckBox(dlg->specialBox());
            // The user's own change to the field counts.
            dlg->passwordEdit()->setFocus();
            dlg->passwordEdit()->selectAll();
            QTest::keyClicks(dlg->passwordEdit(), QStringLiteral("my own pw"));
            QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
        });
        QVERIFY(PasswordGenCommand::run(*f.doc, f.prompter, [&inserted](const QString &p) { inserted = p; }, nullptr));
        QCOMPARE(inserted, QStringLiteral("my own pw"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("my own pw"));
        const CPasswordGenSettings kept = CPasswordGenSettings::load(*f.settings);
        QCOMPARE(kept.quantity, 10);
        QCOMPARE(kept.numbers, 1);
        QCOMPARE(kept.letters, 1);
        QCOMPARE(kept.special, 1);
        QCOMPARE(kept.reminder, 0);
        QVERIFY(f.prompter.messages.isEmpty());
    }

    void cancelChangesNothing()
    {
        CDocFixture f;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        bool called = false;
        guitest::whenModalShows<CPasswordGenDlg>([](CPasswordGenDlg *dlg) {
            guitest::clickCheckBox(dlg->specialBox());
            dlg->reject();
        });
        QVERIFY(!PasswordGenCommand::run(*f.doc, f.prompter, [&called](const QString &) { called = true; }, nullptr));
        QVERIFY(!called);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QCOMPARE(CPasswordGenSettings::load(*f.settings), CPasswordGenSettings{});
    }

    // "Set reminder" opens the reminder dialog for the current note after
    // the password was inserted.
    void setReminderOpensTheReminderDialogAfterInserting()
    {
        CDocFixture f;
        f.doc->appendItem("Bank", {}, CItemTables::kRootParent, CNoteInfo{});
        f.doc->setOrder({0});
        f.doc->m_nCurItem = 0;
        QStringList steps;
        guitest::whenModalShows<CPasswordGenDlg>([](CPasswordGenDlg *dlg) {
            guitest::clickCheckBox(dlg->reminderBox());
            QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
        });
        guitest::whenModalShowsNext<CReminderDlg>([&steps](CReminderDlg *dlg) {
            steps << QStringLiteral("reminder");
            dlg->reject();
        });
        QVERIFY(PasswordGenCommand::run(*f.doc, f.prompter,
                                        [&steps](const QString &p) { steps << QStringLiteral("insert %1").arg(p.size()); },
                                        nullptr));
        QCOMPARE(steps, (QStringList{QStringLiteral("insert 10"), QStringLiteral("reminder")}));
        QCOMPARE(CPasswordGenSettings::load(*f.settings).reminder, 1);
    }
};

QTEST_MAIN(TstPasswordGenDlg)
#include "tst_passwordgendlg.moc"
