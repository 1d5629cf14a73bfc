#include "GuiTestSupport.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/LinkLabel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestAboutDlg : public QObject
{
    Q_OBJECT

private slots:
    void showsProductAndBlueLinks();
    void linkClickOpensItsAddress_data();
    void linkClickOpensItsAddress();
    void productTextIsNoLink();
};

void TestAboutDlg::showsProductAndBlueLinks()
{
    CAboutDlg dlg([](const QUrl &) {});
    dlg.show();
    QVERIFY(dlg.windowTitle().isEmpty());
    auto *product = dlg.findChild<QLabel *>(QStringLiteral("product"));
    QVERIFY(product);
    QCOMPARE(product->text(), QStringLiteral("Torvi Quillbook Version 2.4"));

    const QColor blue(0, 0, 255);
    int blueLabels = 0;
    for (QLabel *label : dlg.findChildren<QLabel *>()) {
        if (label->palette().color(QPalette::WindowText) == blue)
            ++blueLabels;
    }
    QCOMPARE(blueLabels, 2);
    QCOMPARE(dlg.findChild<CLinkLabel *>(QStringLiteral("webLink"))->palette().color(QPalette::WindowText), blue);
    QCOMPARE(dlg.findChild<CLinkLabel *>(QStringLiteral("mailLink"))->palette().color(QPalette::WindowText), blue);
    QVERIFY(guitest::saveScreenshot(dlg, QStringLiteral("about")));

    QTest::mouseClick(dlg.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void TestAboutDlg::linkClickOpensItsAddress_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QUrl>("expected");
    QTest::newRow("web site") << QStringLiteral("webLink") << QUrl(QStringLiteral("https://torvi-quillbook.example.org"));
    QTest::newRow("e-mail") << QStringLiteral("mailLink")
                            << QUrl(QStringLiteral("mailto:support@torvi-quillbook.example.org"));
}

void TestAboutDlg::linkClickOpensItsAddress()
{
    QFETCH(QString, link);
    QList<QUrl> opened;
    CAboutDlg dlg([&opened](const QUrl &url) { opened.append(url); });
    dlg.show();
    auto *label = dlg.findChild<CLinkLabel *>(link);
    QVERIFY(label);
    QTest::mouseClick(label, Qt::LeftButton);
    QTEST(opened.value(0), "expected");
    QCOMPARE(opened.size(), 1);
    QVERIFY(dlg.isVisible());

    // A right click, or a press that leaves the link before release, opens nothing.
    QTest::mouseClick(label, Qt::RightButton);
    QTest::mousePress(label, Qt::LeftButton);
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
    QCOMPARE(opened.size(), 1);
}

void TestAboutDlg::productTextIsNoLink()
{
    int opened = 0;
    CAboutDlg dlg([&opened](const QUrl &) { ++opened; });
    dlg.show();
    QTest::mouseClick(dlg.findChild<QLabel *>(QStringLiteral("product")), Qt::LeftButton);
    QCOMPARE(opened, 0);
}

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
