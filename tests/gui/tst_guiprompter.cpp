#include "GuiTestSupport.h"
#include "app/GuiPrompter.h"
#include "password/PasswordDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

CGuiPrompter latin1Prompter()
{
    return CGuiPrompter(guitest::latin1, [](const QByteArray &bytes) { return QString::fromLatin1(bytes); });
}

}  // namespace

class TestGuiPrompter : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxShowsTextAndButtons_data();
    void messageBoxShowsTextAndButtons();
    void passwordIsAskedInCodePage();
    void refusalIsShownInMessageBoxOverDialog();
    void cancelledPasswordIsNotAccepted();
    void typedNameTakesTheFilterExtension()
    {
        QCOMPARE(CGuiPrompter::defaultExtension(QStringLiteral("Text Files (*.txt)")), QStringLiteral(".txt"));
        QCOMPARE(CGuiPrompter::defaultExtension(QStringLiteral("Torvi Quillbook Files (*.tqb);;All Files (*.*)")),
                 QStringLiteral(".tqb"));
        QCOMPARE(CGuiPrompter::defaultExtension(QStringLiteral("All Files (*.*)")), QString());
    }
};

void TestGuiPrompter::messageBoxShowsTextAndButtons_data()
{
    QTest::addColumn<IPrompter::Buttons>("buttons");
    QTest::addColumn<QMessageBox::StandardButtons>("shown");
    QTest::addColumn<QMessageBox::StandardButton>("pressed");
    QTest::addColumn<IPrompter::Answer>("answer");
    QTest::newRow("ok") << IPrompter::Buttons::Ok << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Ok
                        << IPrompter::Answer::Ok;
    QTest::newRow("ok/cancel: cancel") << IPrompter::Buttons::OkCancel
                                       << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel)
                                       << QMessageBox::Cancel << IPrompter::Answer::Cancel;
    QTest::newRow("yes/no/cancel: no")
        << IPrompter::Buttons::YesNoCancel
        << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << QMessageBox::No
        << IPrompter::Answer::No;
    QTest::newRow("yes/no/cancel: yes")
        << IPrompter::Buttons::YesNoCancel
        << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << QMessageBox::Yes
        << IPrompter::Answer::Yes;
}

void TestGuiPrompter::messageBoxShowsTextAndButtons()
{
    QFETCH(IPrompter::Buttons, buttons);
    QFETCH(QMessageBox::StandardButtons, shown);
    QFETCH(QMessageBox::StandardButton, pressed);
    CGuiPrompter prompter = latin1Prompter();
    QString title, text;
    QMessageBox::StandardButtons seen;
    guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        seen = box->standardButtons();
        QTest::mouseClick(box->button(pressed), Qt::LeftButton);
    });
    const IPrompter::Answer answer = prompter.message(QStringLiteral("The data was not saved!"), buttons);
    QCOMPARE(title, QStringLiteral("Torvi Quillbook"));
    QCOMPARE(text, QStringLiteral("The data was not saved!"));
    QCOMPARE(seen, shown);
    QTEST(answer, "answer");
}

void TestGuiPrompter::passwordIsAskedInCodePage()
{
    CGuiPrompter prompter = latin1Prompter();
    QString shownPassword;
    guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
        auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
        shownPassword = edit->text();
        edit->selectAll();
        guitest::typeText(edit, QStringLiteral("n\u00e9w"));
        guitest::clickCheckBox(dlg->findChild<QCheckBox *>(QStringLiteral("reload")));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const IPrompter::PasswordAnswer answer =
        prompter.askPassword({QByteArray("caf\xe9"), true, false, Protection::Compatible});
    QCOMPARE(shownPassword, QStringLiteral("caf\u00e9"));
    QVERIFY(answer.accepted);
    QCOMPARE(answer.password, QByteArray("n\xe9w"));
    QVERIFY(answer.reload);
}

void TestGuiPrompter::refusalIsShownInMessageBoxOverDialog()
{
    CGuiPrompter prompter = latin1Prompter();
    QString refusal;
    guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
        auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
        QTest::keyClicks(edit, QStringLiteral("zz"));
        // The refusal runs its own message box inside the OK click.
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            refusal = box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(dlg->isVisible());
        QTest::keyClicks(edit, QStringLiteral("22222"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const IPrompter::PasswordAnswer answer = prompter.askPassword({QByteArray(), false, true});
    QVERIFY(refusal.startsWith(QStringLiteral("This password does not code for your document\n\nIf this")));
    QVERIFY(!refusal.contains(QStringLiteral("zz")));
    QVERIFY(answer.accepted);
    QCOMPARE(answer.password, QByteArray("22222"));
}

void TestGuiPrompter::cancelledPasswordIsNotAccepted()
{
    CGuiPrompter prompter = latin1Prompter();
    guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) {
        QTest::keyClicks(dlg->findChild<QLineEdit *>(QStringLiteral("password")), QStringLiteral("typed"));
        QTest::mouseClick(dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    const IPrompter::PasswordAnswer answer = prompter.askPassword({QByteArray("old"), false, false});
    QVERIFY(!answer.accepted);
    QVERIFY(answer.password.isEmpty());
}

QTEST_MAIN(TestGuiPrompter)
#include "tst_guiprompter.moc"
