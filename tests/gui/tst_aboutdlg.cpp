#include "GuiTestSupport.h"
#include "about/AboutDlg.h"
#include "about/LinkLabel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cmath>

class TestAboutDlg : public QObject
{
    Q_OBJECT

private slots:
    void showsProductAndBlueLinks();
    void linkClickOpensItsAddress_data();
    void linkClickOpensItsAddress();
    void productTextIsNoLink();
    void keysReachLinksAndOk();
    void linksReadOnADarkPalette();
};

void TestAboutDlg::showsProductAndBlueLinks()
{
    CAboutDlg dlg([](const QUrl &) {});
    dlg.show();
    // Untitled as designed; a screen reader still has its name.
    QCOMPARE(dlg.windowTitle(), QString());
    QCOMPARE(dlg.accessibleName(), QStringLiteral("About Torvi Quillbook"));
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

void TestAboutDlg::keysReachLinksAndOk()
{
    QList<QUrl> opened;
    CAboutDlg dlg([&opened](const QUrl &url) { opened.append(url); });
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto *web = dlg.findChild<CLinkLabel *>(QStringLiteral("webLink"));
    web->setFocus();
    QTest::keyClick(web, Qt::Key_Space);
    QCOMPARE(opened, QList<QUrl>{QUrl(QString::fromLatin1(CAboutDlg::kWebSite))});
    QTest::keyClick(web, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("mailLink"));

    CAboutDlg fresh([&opened](const QUrl &url) { opened.append(url); });
    fresh.show();
    QVERIFY(QTest::qWaitForWindowActive(&fresh));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(fresh.result(), int(QDialog::Accepted));
    QCOMPARE(opened.size(), 1);
}

// WCAG's contrast ratio of two colours, 1 to 21.
static double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void TestAboutDlg::linksReadOnADarkPalette()
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    CAboutDlg dlg([](const QUrl &) {});
    dlg.show();
    // The links draw no background of their own: the dialog's shows behind them.
    const QColor behind = dlg.palette().color(QPalette::Window);
    QCOMPARE(behind, QColor(53, 53, 53));
    for (const char *name : {"webLink", "mailLink"}) {
        const QColor text = dlg.findChild<CLinkLabel *>(QLatin1String(name))->palette().color(QPalette::WindowText);
        QVERIFY2(contrast(text, behind) >= 4.5, name);
    }
    QVERIFY(guitest::saveScreenshot(dlg, QStringLiteral("about-dark")));
    QApplication::setPalette(light);
    CAboutDlg lightDlg([](const QUrl &) {});
    QCOMPARE(lightDlg.findChild<CLinkLabel *>(QStringLiteral("webLink"))->palette().color(QPalette::WindowText),
             QColor(0, 0, 255));
}

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
