#include "GuiTestSupport.h"
#include "tree/ItemIcons.h"
#include "tree/SelectIconsDlg.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QtTest>

using namespace iconrules;

namespace {

const IconSet kDefaults{0, 1, 2, 3, 4};

void clickImage(CSelectIconsDlg &dlg, int image)
{
    QListWidget *list = dlg.iconList();
    QListWidgetItem *item = list->item(image);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
}

void clickTab(CSelectIconsDlg &dlg, int tab)
{
    QTest::mouseClick(dlg.tabs(), Qt::LeftButton, Qt::NoModifier, dlg.tabs()->tabRect(tab).center());
}

QPushButton *dialogButton(CSelectIconsDlg &dlg, QDialogButtonBox::StandardButton which)
{
    return dlg.findChild<QDialogButtonBox *>()->button(which);
}

QImage render(const QIcon &icon, int size, qreal dpr = 1.0)
{
    return icon.pixmap(QSize(size, size), dpr).toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

CNoteInfo infoWith(const IconSet &icons)
{
    CNoteInfo info;
    info.m_nIcons = icons;
    return info;
}

} // namespace

class TestSelectIconsDlg : public QObject
{
    Q_OBJECT

private slots:
    void clicksFillTheSlotsInTurnAndOkReturnsThem()
    {
        const CNoteInfo item = infoWith({20, 21, 22, 23, 24});
        CSelectIconsDlg dlg(selectIconsSetup(5, &item, kDefaults));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Select icons"));
        QCOMPARE(dlg.alternativeButton()->text(), QStringLiteral("Default"));
        QVERIFY(dlg.alternativeButton()->isEnabled());
        QVERIFY(dlg.branchButton()->isEnabled());
        QCOMPARE(dlg.tabs()->count(), 5);
        QCOMPARE(dlg.iconList()->count(), 60);
        const QStringList tips{"Closed root folder", "Opened root folder", "Closed subfolder",
                               "Opened subfolder", "Note"};
        for (int tab = 0; tab < 5; ++tab)
            QCOMPARE(dlg.tabs()->tabToolTip(tab), tips[tab]);

        guitest::whenModalShows<CSelectIconsDlg>([](CSelectIconsDlg *shown) {
            clickTab(*shown, 3);
            for (int image : {50, 51, 52, 53, 54})
                clickImage(*shown, image);
            QCOMPARE(shown->tabs()->currentIndex(), 3);
            QVERIFY(shown->iconList()->selectedItems().isEmpty());
            QTest::mouseClick(shown->branchButton(), Qt::LeftButton);
            guitest::saveScreenshot(*shown, QStringLiteral("selecticons-item"));
            QTest::mouseClick(dialogButton(*shown, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        // From tab 3: 3, 4, then wrapping to 0, 1, 2.
        QCOMPARE(dlg.values(), (IconSet{52, 53, 54, 50, 51}));
        QVERIFY(dlg.branch());
    }

    void defaultButtonLoadsTheDefaultsAndCancelIsRejected()
    {
        const CNoteInfo item = infoWith({20, 21, 22, 23, 24});
        CSelectIconsDlg dlg(selectIconsSetup(0, &item, {5, 6, 7, 8, 9}));
        guitest::whenModalShows<CSelectIconsDlg>([](CSelectIconsDlg *shown) {
            QTest::mouseClick(shown->alternativeButton(), Qt::LeftButton);
            QCOMPARE(shown->values(), (IconSet{5, 6, 7, 8, 9}));
            clickImage(*shown, 59);
            QTest::keyClick(shown, Qt::Key_Escape);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(!dlg.branch());
    }

    void defaultsModeHasItsOwnTitleAndNoBranch()
    {
        CSelectIconsDlg none(selectIconsSetup(-1, nullptr, kDefaults));
        QCOMPARE(none.windowTitle(), QStringLiteral("Select default icons"));
        QCOMPARE(none.alternativeButton()->text(), QStringLiteral("As Selected"));
        QVERIFY(!none.alternativeButton()->isEnabled());
        QVERIFY(!none.branchButton()->isEnabled());

        const CNoteInfo item = infoWith({30, -1, 31, 32, 33});
        CSelectIconsDlg withItem(defaultIconsSetup(4, &item, kDefaults));
        guitest::whenModalShows<CSelectIconsDlg>([](CSelectIconsDlg *shown) {
            QVERIFY(shown->alternativeButton()->isEnabled());
            QTest::mouseClick(shown->alternativeButton(), Qt::LeftButton);
            guitest::saveScreenshot(*shown, QStringLiteral("selecticons-defaults"));
            QTest::keyClick(shown, Qt::Key_Return);
        });
        QCOMPARE(withItem.exec(), int(QDialog::Accepted));
        QCOMPARE(withItem.values(), (IconSet{30, 1, 31, 32, 33}));
        QVERIFY(!withItem.branch());
    }

    void everyImageIsDrawnDistinctAndSharpWhenScaled()
    {
        const CItemIcons &icons = CItemIcons::instance();
        QSet<QByteArray> seen;
        for (int image = 0; image < CItemIcons::kCount; ++image) {
            const QImage small = render(icons.icon(image), 16);
            QVERIFY2(opaquePixels(small) > 20, qPrintable(QString::number(image)));
            // A high-DPI screen asks for twice the pixels and gets them drawn, not stretched.
            const QImage sharp = render(icons.icon(image), 16, 2.0);
            QCOMPARE(sharp.size(), QSize(32, 32));
            QVERIFY2(sharp != small.scaled(32, 32), qPrintable(QString::number(image)));
            const QByteArray bytes(reinterpret_cast<const char *>(sharp.constBits()), sharp.sizeInBytes());
            QVERIFY2(!seen.contains(bytes), qPrintable(QString::number(image) + " repeats a picture"));
            seen.insert(bytes);
        }
        QVERIFY(icons.icon(60).isNull());
        QVERIFY(icons.icon(-1).isNull());

        // A sheet of all sixty at 16 and 32 pixels, for a person to check the subjects.
        QImage sheet(10 * 56, 6 * 40, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        for (int image = 0; image < CItemIcons::kCount; ++image) {
            const QPoint at((image % 10) * 56 + 2, (image / 10) * 40 + 4);
            icons.icon(image).paint(&painter, QRect(at, QSize(16, 16)));
            icons.icon(image).paint(&painter, QRect(at + QPoint(20, 0), QSize(32, 32)));
        }
        painter.end();
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(sheet.save(folder + QStringLiteral("/item-icons.png")));
    }
};

QTEST_MAIN(TestSelectIconsDlg)
#include "tst_selecticonsdlg.moc"
