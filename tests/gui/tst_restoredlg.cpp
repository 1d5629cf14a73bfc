#include "GuiTestSupport.h"
#include "backup/RestoreDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QList<QPair<QString, QString>> kRows{
    {QStringLiteral("notes.bk0"), QStringLiteral("May 04 2026")},
    {QStringLiteral("notes.bk1"), QStringLiteral("May 03 2026")},
    {QStringLiteral("readme.txt"), QStringLiteral("June 01 2025")},
};

QPushButton *restoreButton(CRestoreDlg &dlg)
{
    return dlg.findChild<QPushButton *>(QStringLiteral("restore"));
}

}  // namespace

class TestRestoreDlg : public QObject
{
    Q_OBJECT

private slots:
    void emptyFolderCannotBeRestored();
    void listsRowsInGivenOrder();
    void longEntriesAreNotCut();
    void selectingRowChoosesItsName();
};

void TestRestoreDlg::emptyFolderCannotBeRestored()
{
    CRestoreDlg dlg({});
    dlg.show();
    QPushButton *restore = restoreButton(dlg);
    QVERIFY(restore);
    QVERIFY(!restore->isEnabled());
    QTest::mouseClick(restore, Qt::LeftButton);
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.chosenName().isEmpty());
}

void TestRestoreDlg::listsRowsInGivenOrder()
{
    CRestoreDlg dlg(kRows);
    dlg.show();
    auto *list = dlg.findChild<QTreeWidget *>(QStringLiteral("files"));
    QVERIFY(list);
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Backup file"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Date"));
    QCOMPARE(list->columnWidth(0), 155);
    QCOMPARE(list->columnWidth(1), 110);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(list->topLevelItemCount(), 3);
    for (int i = 0; i < kRows.size(); ++i) {
        QCOMPARE(list->topLevelItem(i)->text(0), kRows[i].first);
        QCOMPARE(list->topLevelItem(i)->text(1), kRows[i].second);
        QCOMPARE(list->topLevelItem(i)->textAlignment(0) & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
    }
}

void TestRestoreDlg::longEntriesAreNotCut()
{
    const QList<QPair<QString, QString>> rows{
        {QStringLiteral("a-rather-long-document-name.bk0"), QStringLiteral("September 30 2026")},
        {QStringLiteral("short.bk1"), QStringLiteral("May 01 2026")},
    };
    CRestoreDlg dlg(rows);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto *list = dlg.findChild<QTreeWidget *>(QStringLiteral("files"));
    const QFontMetrics metrics(list->font());
    for (int column = 0; column < 2; ++column) {
        const QTreeWidgetItem *item = list->topLevelItem(0);
        QVERIFY2(list->visualItemRect(item).isValid(), "row not laid out");
        QVERIFY(list->columnWidth(column) > metrics.horizontalAdvance(item->text(column)));
    }
    QVERIFY(guitest::saveScreenshot(dlg, QStringLiteral("restore")));
}

void TestRestoreDlg::selectingRowChoosesItsName()
{
    CRestoreDlg dlg(kRows);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto *list = dlg.findChild<QTreeWidget *>(QStringLiteral("files"));
    QPushButton *restore = restoreButton(dlg);
    // Nothing chosen yet: restoring would open the folder itself.
    QVERIFY(!restore->isEnabled());

    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QCOMPARE(dlg.chosenName(), QStringLiteral("notes.bk1"));
    QVERIFY(restore->isEnabled());

    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(dlg.chosenName(), QStringLiteral("readme.txt"));

    // Ctrl+click takes the selection away; the last choice stays.
    const QRect third = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, third.center());
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(dlg.chosenName(), QStringLiteral("readme.txt"));

    QTest::mouseClick(restore, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestRestoreDlg)
#include "tst_restoredlg.moc"
