#include "GuiTestSupport.h"
#include "common/FakePrompter.h"
#include "password/PasswordDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// One open password dialog and the controls a person would use.
struct Fixture
{
    CFakePrompter prompter;
    CPasswordDlg dlg;
    QLineEdit *edit;
    QCheckBox *visible;
    QCheckBox *reload;
    QPushButton *clear;
    QPushButton *ok;

    Fixture(const QString &current, bool allowReload = false, bool duringOpen = false)
        : dlg(current, allowReload, duringOpen, guitest::latin1, prompter)
        , edit(dlg.findChild<QLineEdit *>(QStringLiteral("password")))
        , visible(dlg.findChild<QCheckBox *>(QStringLiteral("visible")))
        , reload(dlg.findChild<QCheckBox *>(QStringLiteral("reload")))
        , clear(dlg.findChild<QPushButton *>(QStringLiteral("clear")))
        , ok(dlg.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok))
    {
        dlg.show();
    }

    bool isComplete() const { return edit && visible && reload && clear && ok; }
};

const QString kRefusalStart = QStringLiteral("This password does not code for your document\n");
const QString kDuringOpenTail = QStringLiteral(
    "\nIf this a password you have used before, \nyou need to change it, since it is not workable. \nHowever, this "
    "time you are allowed to enter \nthe document without a password by clicking Cancel.");
const QString kOtherwiseTail = QStringLiteral("\nUse another password");

}  // namespace

class TestPasswordDlg : public QObject
{
    Q_OBJECT

private slots:
    void opensMaskedWithFocusInEdit_data();
    void opensMaskedWithFocusInEdit();
    void typingIsMaskedAndVisibleToggles();
    void clearEmptiesAndFocuses();
    void repeatedCharacterIsRefused_data();
    void repeatedCharacterIsRefused();
    void acceptedPasswords_data();
    void acceptedPasswords();
    void reloadChoiceIsReturned();
    void sealedTakesWhatCompatibleRefuses_data();
    void sealedTakesWhatCompatibleRefuses();
    void cancelKeepsNothing();
};

void TestPasswordDlg::opensMaskedWithFocusInEdit_data()
{
    QTest::addColumn<bool>("allowReload");
    QTest::newRow("reload allowed") << true;
    QTest::newRow("reload not allowed") << false;
}

void TestPasswordDlg::opensMaskedWithFocusInEdit()
{
    QFETCH(bool, allowReload);
    Fixture f{QStringLiteral("abcd"), allowReload};
    QVERIFY(f.isComplete());
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    QCOMPARE(f.dlg.windowTitle(), QStringLiteral("Password"));
    QCOMPARE(f.edit->text(), QStringLiteral("abcd"));
    QCOMPARE(f.edit->displayText(), QStringLiteral("****"));
    QCOMPARE(f.edit->selectedText(), QStringLiteral("abcd"));
    QVERIFY(!f.visible->isChecked());
    QVERIFY(!f.reload->isChecked());
    QCOMPARE(f.reload->isEnabled(), allowReload);
    QCOMPARE(QApplication::focusWidget(), f.edit);
    QVERIFY(guitest::saveScreenshot(f.dlg, allowReload ? QStringLiteral("password-reload")
                                                       : QStringLiteral("password")));
}

void TestPasswordDlg::typingIsMaskedAndVisibleToggles()
{
    Fixture f{QString()};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    QTest::keyClicks(f.edit, QStringLiteral("s3cret"));
    QCOMPARE(f.edit->displayText(), QStringLiteral("******"));

    guitest::clickCheckBox(f.visible);
    QVERIFY(f.visible->isChecked());
    QCOMPARE(f.edit->displayText(), QStringLiteral("s3cret"));
    QCOMPARE(QApplication::focusWidget(), f.edit);

    QTest::keyClicks(f.edit, QStringLiteral("!"));
    QCOMPARE(f.edit->displayText(), QStringLiteral("s3cret!"));

    guitest::clickCheckBox(f.visible);
    QCOMPARE(f.edit->displayText(), QStringLiteral("*******"));
    QCOMPARE(QApplication::focusWidget(), f.edit);
}

void TestPasswordDlg::clearEmptiesAndFocuses()
{
    Fixture f{QStringLiteral("old password")};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    QTest::mouseClick(f.clear, Qt::LeftButton);
    QVERIFY(f.edit->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.edit);
    QVERIFY(f.dlg.isVisible());
    QTest::keyClicks(f.edit, QStringLiteral("new"));
    QCOMPARE(f.edit->text(), QStringLiteral("new"));
}

void TestPasswordDlg::repeatedCharacterIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("duringOpen");
    QTest::addColumn<QString>("expected");
    // The message never repeats the password.
    QTest::newRow("repeated, changing") << QStringLiteral("aaaa") << false << kRefusalStart + kOtherwiseTail;
    QTest::newRow("single, during open") << QStringLiteral("x") << true << kRefusalStart + kDuringOpenTail;
    QTest::newRow("four twos, during open") << QStringLiteral("2222") << true << kRefusalStart + kDuringOpenTail;
}

void TestPasswordDlg::repeatedCharacterIsRefused()
{
    QFETCH(QString, typed);
    QFETCH(bool, duringOpen);
    Fixture f{QString(), false, duringOpen};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    if (!duringOpen)
        QTest::mouseClick(f.dlg.findChild<QRadioButton *>(QStringLiteral("compatible")), Qt::LeftButton);
    QTest::keyClicks(f.edit, typed);
    QTest::mouseClick(f.ok, Qt::LeftButton);

    QTEST(f.prompter.messages.value(0), "expected");
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.messageButtons.value(0), IPrompter::Buttons::Ok);
    QVERIFY(f.dlg.isVisible());
    QCOMPARE(f.dlg.result(), int(QDialog::Rejected));
    QCOMPARE(f.edit->selectedText(), typed);
    QCOMPARE(QApplication::focusWidget(), f.edit);

    // Typing replaces the selected refused password.
    QTest::keyClicks(f.edit, QStringLiteral("ok-now"));
    QTest::keyClick(f.edit, Qt::Key_Return);
    QCOMPARE(f.dlg.result(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.password(), QStringLiteral("ok-now"));
    QCOMPARE(f.prompter.messages.size(), 1);
}

void TestPasswordDlg::acceptedPasswords_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the fixed value") << QString() << QStringLiteral("22222") << QStringLiteral("22222");
    QTest::newRow("empty means none") << QStringLiteral("abc") << QString() << QString();
    // The current password opens selected, so typing replaces it.
    QTest::newRow("replacing the current") << QStringLiteral("ab") << QStringLiteral("cd") << QStringLiteral("cd");
    QTest::newRow("latin-1 letters") << QString() << QStringLiteral("caf\u00e9s") << QStringLiteral("caf\u00e9s");
}

void TestPasswordDlg::acceptedPasswords()
{
    QFETCH(QString, current);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    Fixture f{current, false, true};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    if (typed.isEmpty())
        QTest::mouseClick(f.clear, Qt::LeftButton);
    else
        guitest::typeText(f.edit, typed);
    QTest::mouseClick(f.ok, Qt::LeftButton);
    QVERIFY(f.prompter.messages.isEmpty());
    QCOMPARE(f.dlg.result(), int(QDialog::Accepted));
    QVERIFY(!f.dlg.isVisible());
    QCOMPARE(f.dlg.password(), expected);
    QCOMPARE(f.dlg.passwordBytes(), expected.toLatin1());
    QVERIFY(!f.dlg.reload());
}

void TestPasswordDlg::reloadChoiceIsReturned()
{
    Fixture f{QStringLiteral("wrong"), true};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    QTest::mouseClick(f.clear, Qt::LeftButton);
    QTest::keyClicks(f.edit, QStringLiteral("right"));
    guitest::clickCheckBox(f.reload);
    QTest::mouseClick(f.ok, Qt::LeftButton);
    QCOMPARE(f.dlg.result(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.passwordBytes(), QByteArray("right"));
    QVERIFY(f.dlg.reload());
}

void TestPasswordDlg::sealedTakesWhatCompatibleRefuses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("compatibleRefusal");
    QTest::newRow("outside the code page") << QStringLiteral("k\u0436m")
                                           << QStringLiteral("The password contains characters that cannot be "
                                                             "stored in this document's code page.");
    QTest::newRow("repeated") << QStringLiteral("zz") << kRefusalStart + kOtherwiseTail;
}

void TestPasswordDlg::sealedTakesWhatCompatibleRefuses()
{
    QFETCH(QString, typed);
    Fixture f{QString()};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    QTest::mouseClick(f.dlg.findChild<QRadioButton *>(QStringLiteral("compatible")), Qt::LeftButton);
    guitest::typeText(f.edit, typed);
    QCOMPARE(f.edit->text(), typed);
    QTest::mouseClick(f.ok, Qt::LeftButton);
    QTEST(f.prompter.messages.value(0), "compatibleRefusal");
    QVERIFY(f.dlg.isVisible());
    QCOMPARE(f.edit->selectedText(), typed);

    QTest::mouseClick(f.dlg.findChild<QRadioButton *>(QStringLiteral("strong")), Qt::LeftButton);
    QTest::mouseClick(f.ok, Qt::LeftButton);
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.dlg.result(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.passwordBytes(), typed.toUtf8());
}

void TestPasswordDlg::cancelKeepsNothing()
{
    Fixture f{QStringLiteral("kept"), true};
    QVERIFY(QTest::qWaitForWindowActive(&f.dlg));
    QTest::keyClicks(f.edit, QStringLiteral("more"));
    guitest::clickCheckBox(f.reload);
    QTest::keyClick(f.edit, Qt::Key_Escape);
    QCOMPARE(f.dlg.result(), int(QDialog::Rejected));
    QVERIFY(!f.dlg.isVisible());
    QVERIFY(!f.dlg.reload());
    QVERIFY(f.prompter.messages.isEmpty());
}

QTEST_MAIN(TestPasswordDlg)
#include "tst_passworddlg.moc"
