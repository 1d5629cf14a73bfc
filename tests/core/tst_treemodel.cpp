#include "TreeTestSupport.h"

#include <QTest>

using namespace treetest;

namespace {

// Records every notice as a line of text.
struct Recorder : ITreeObserver
{
    QStringList log;
    const CTreeModel *model = nullptr;
    Handle selectedDuringChanging = CTreeModel::kNone;

    void rowsAboutToBeInserted(Handle p, int f, int l) override { log << QStringLiteral("ins? %1 %2 %3").arg(p).arg(f).arg(l); }
    void rowsInserted(Handle p, int f, int l) override { log << QStringLiteral("ins %1 %2 %3").arg(p).arg(f).arg(l); }
    void rowsAboutToBeRemoved(Handle p, int f, int l) override { log << QStringLiteral("rem? %1 %2 %3").arg(p).arg(f).arg(l); }
    void rowsRemoved(Handle p, int f, int l) override { log << QStringLiteral("rem %1 %2 %3").arg(p).arg(f).arg(l); }
    void rowsAboutToBeMoved(Handle sp, int sr, Handle dp, int dr) override
    {
        log << QStringLiteral("mov? %1 %2 %3 %4").arg(sp).arg(sr).arg(dp).arg(dr);
    }
    void rowsMoved(Handle sp, int sr, Handle dp, int dr) override
    {
        log << QStringLiteral("mov %1 %2 %3 %4").arg(sp).arg(sr).arg(dp).arg(dr);
    }
    void childrenAboutToBeReordered(Handle p) override { log << QStringLiteral("ord? %1").arg(p); }
    void childrenReordered(Handle p, const std::vector<int> &m) override
    {
        QStringList rows;
        for (int r : m)
            rows << QString::number(r);
        log << QStringLiteral("ord %1 %2").arg(p).arg(rows.join(QLatin1Char(' ')));
    }
    void modelAboutToBeReset() override { log << QStringLiteral("reset?"); }
    void modelReset() override { log << QStringLiteral("reset"); }
    void selectionChanging(Handle o, Handle n) override
    {
        selectedDuringChanging = model ? model->selected() : 0;
        log << QStringLiteral("sel? %1 %2").arg(o).arg(n);
    }
    void selectionChanged(Handle o, Handle n) override { log << QStringLiteral("sel %1 %2").arg(o).arg(n); }
    void labelEditBegun(Handle h) override { log << QStringLiteral("edit %1").arg(h); }
    void labelEditEnded(Handle h, bool a, const QByteArray &t) override
    {
        log << QStringLiteral("edited %1 %2 %3").arg(h).arg(a).arg(QString::fromLatin1(t));
    }
};

}  // namespace

class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void insertPositionsAndRows()
    {
        CTreeModel m;
        const Handle b = m.insertLast(0, "B", 0);
        const Handle a = m.insertFirst(0, "A", 0);
        const Handle c = m.insertAfter(0, b, "C", 0);
        const Handle a1 = m.insertLast(a, "a1", 4, 7);
        m.insertAfter(a, kNoneAfter(), "a0", 4);
        QCOMPARE(dump(m), QByteArray("A(a0,a1),B,C"));
        QCOMPARE(m.rowOf(a), 0);
        QCOMPARE(m.rowOf(b), 1);
        QCOMPARE(m.rowOf(c), 2);
        QCOMPARE(m.rowOf(a1), 1);
        QCOMPARE(m.parent(a1), a);
        QCOMPARE(m.data(a1), 7);
        QCOMPARE(m.insertAfter(b, a1, "x", 0), CTreeModel::kNone);  // a1 is not a child of b
        QCOMPARE(m.insertLast(9999, "x", 0), CTreeModel::kNone);
        QVERIFY(consistent(m));
    }

    void deleteRenumbersAndHandlesAreNeverReused()
    {
        CTreeModel m;
        const Handle a = m.insertLast(0, "A", 0);
        const Handle b = m.insertLast(0, "B", 0);
        const Handle b1 = m.insertLast(b, "b1", 0);
        const Handle c = m.insertLast(0, "C", 0);
        QVERIFY(m.deleteItem(b));
        QCOMPARE(dump(m), QByteArray("A,C"));
        QCOMPARE(m.rowOf(c), 1);
        QVERIFY(!m.isValid(b1));
        QCOMPARE(m.count(), 2);
        m.clear();
        QCOMPARE(m.count(), 0);
        const Handle d = m.insertLast(0, "D", 0);
        QVERIFY(d != a && d != b && d != b1 && d != c);
        QVERIFY(d > c);
    }

    void moveWithinAndAcross()
    {
        CTreeModel m;
        Recorder rec;
        const Handle a = m.insertLast(0, "A", 0);
        const Handle b = m.insertLast(0, "B", 0);
        const Handle c = m.insertLast(0, "C", 0);
        const Handle c1 = m.insertLast(c, "c1", 0);
        m.addObserver(&rec);
        QVERIFY(m.moveItem(a, 0, CTreeModel::Pos::last()));
        QCOMPARE(dump(m), QByteArray("B,C(c1),A"));
        QCOMPARE(rec.log, QStringList({"mov? 0 0 0 3", "mov 0 0 0 3"}));
        QVERIFY(m.moveItem(a, 0, CTreeModel::Pos::first()));
        QCOMPARE(dump(m), QByteArray("A,B,C(c1)"));
        QVERIFY(m.moveItem(b, c, CTreeModel::Pos::afterItem(c1)));
        QCOMPARE(dump(m), QByteArray("A,C(c1,B)"));
        // After itself: stays.
        rec.log.clear();
        QVERIFY(m.moveItem(a, 0, CTreeModel::Pos::afterItem(a)));
        QCOMPARE(dump(m), QByteArray("A,C(c1,B)"));
        QVERIFY(rec.log.isEmpty());
        // Into its own branch: refused.
        QVERIFY(!m.moveItem(c, c1, CTreeModel::Pos::last()));
        QVERIFY(!m.moveItem(c, c, CTreeModel::Pos::last()));
        QCOMPARE(dump(m), QByteArray("A,C(c1,B)"));
        QCOMPARE(m.parent(b), c);
        QVERIFY(consistent(m));
    }

    void sortIsStableAndReorderChecksThePermutation()
    {
        CTreeModel m;
        Recorder rec;
        const Handle p = m.insertLast(0, "P", 0);
        const Handle x1 = m.insertLast(p, "b", 0, 1);
        const Handle x2 = m.insertLast(p, "a", 0, 2);
        const Handle x3 = m.insertLast(p, "b", 0, 3);
        const Handle x4 = m.insertLast(p, "a", 0, 4);
        m.addObserver(&rec);
        m.sortChildren(p, [&](Handle l, Handle r) { return m.label(l) < m.label(r); });
        QCOMPARE(dump(m, p, true), QByteArray("a#2,a#4,b#1,b#3"));
        QCOMPARE(rec.log, QStringList({QStringLiteral("ord? %1").arg(p), QStringLiteral("ord %1 2 0 3 1").arg(p)}));
        QCOMPARE(m.rowOf(x4), 1);
        rec.log.clear();
        m.sortChildren(p, [&](Handle l, Handle r) { return m.label(l) < m.label(r); });
        QVERIFY(rec.log.isEmpty());  // nothing moved, nothing told
        QVERIFY(!m.reorderChildren(p, {x1, x1, x2, x3}));
        QVERIFY(!m.reorderChildren(p, {x1, x2}));
        QVERIFY(m.reorderChildren(p, {x1, x2, x3, x4}));
        QCOMPARE(dump(m, p, true), QByteArray("b#1,a#2,b#3,a#4"));
        QVERIFY(consistent(m));
    }

    void visibleWalkSkipsCollapsed()
    {
        CTreeModel m;
        const Handle a = m.insertLast(0, "A", 0);
        const Handle a1 = m.insertLast(a, "a1", 0);
        m.insertLast(a1, "a11", 0);
        const Handle b = m.insertLast(0, "B", 0);
        QCOMPARE(m.nextVisible(a), b);
        m.setExpanded(a, true);
        QCOMPARE(m.nextVisible(a), a1);
        QCOMPARE(m.nextVisible(a1), b);
        m.ensureVisible(find(m, "a11"));
        QVERIFY(m.isExpanded(a1));
        QCOMPARE(m.nextVisible(a1), find(m, "a11"));
        QCOMPARE(m.nextVisible(find(m, "a11")), b);
        QCOMPARE(m.branch(a).size(), size_t(3));
        QCOMPARE(m.depth(find(m, "a11")), 2);
    }

    void selectionNoticesComeInTwoSteps()
    {
        CTreeModel m;
        Recorder rec;
        rec.model = &m;
        const Handle a = m.insertLast(0, "A", 0);
        const Handle b = m.insertLast(0, "B", 0);
        m.select(a);
        m.addObserver(&rec);
        m.select(b);
        QCOMPARE(rec.log, QStringList({QStringLiteral("sel? %1 %2").arg(a).arg(b), QStringLiteral("sel %1 %2").arg(a).arg(b)}));
        QCOMPARE(rec.selectedDuringChanging, a);  // still on the old item
        rec.log.clear();
        m.select(b);
        QVERIFY(rec.log.isEmpty());
    }

    void deletingTheSelectionSelectsANeighbour()
    {
        CTreeModel m;
        const Handle p = m.insertLast(0, "P", 0);
        const Handle a = m.insertLast(p, "a", 0);
        const Handle b = m.insertLast(p, "b", 0);
        const Handle c = m.insertLast(p, "c", 0);
        m.select(b);
        m.deleteItem(b);
        QCOMPARE(m.selected(), c);  // next sibling
        m.deleteItem(c);
        QCOMPARE(m.selected(), a);  // previous sibling
        m.deleteItem(a);
        QCOMPARE(m.selected(), p);  // parent
        m.deleteItem(p);
        QCOMPARE(m.selected(), CTreeModel::kNone);
    }

    void rowNoticesAndReset()
    {
        CTreeModel m;
        Recorder rec;
        m.addObserver(&rec);
        const Handle a = m.insertLast(0, "A", 0);
        m.insertLast(a, "a1", 0);
        m.deleteItem(a);
        QCOMPARE(rec.log, QStringList({"ins? 0 0 0", "ins 0 0 0", QStringLiteral("ins? %1 0 0").arg(a),
                                       QStringLiteral("ins %1 0 0").arg(a), "rem? 0 0 0", "rem 0 0 0"}));
        rec.log.clear();
        {
            CTreeModel::ResetGuard r1(m);
            CTreeModel::ResetGuard r2(m);
            m.insertLast(0, "X", 0);
            m.insertLast(0, "Y", 0);
        }
        QCOMPARE(rec.log, QStringList({"reset?", "reset"}));
        m.removeObserver(&rec);
        rec.log.clear();
        m.insertLast(0, "Z", 0);
        QVERIFY(rec.log.isEmpty());
    }

    void labelEditNotices()
    {
        CTreeModel m;
        Recorder rec;
        const Handle a = m.insertLast(0, "A", 0);
        const Handle b = m.insertLast(0, "B", 0);
        m.addObserver(&rec);
        QVERIFY(m.editLabel(a));
        QVERIFY(m.isEditing());
        m.editLabel(b);  // cancels the first
        m.endLabelEdit(true, "new");
        QCOMPARE(rec.log, QStringList({QStringLiteral("edit %1").arg(a), QStringLiteral("edited %1 0 ").arg(a),
                                       QStringLiteral("edit %1").arg(b), QStringLiteral("edited %1 1 new").arg(b)}));
        QCOMPARE(m.label(b), QByteArray("B"));  // the model never sets it itself
        QVERIFY(!m.isEditing());
    }

    void deepChainIsWalkedWithoutRecursion()
    {
        CTreeModel m;
        Handle p = 0;
        for (int i = 0; i < 100000; ++i)
            p = m.insertLast(p, "x", 0, i);
        QCOMPARE(m.count(), 100000);
        QCOMPARE(m.branch(m.firstRoot()).size(), size_t(100000));
        QCOMPARE(m.depth(p), 99999);
        m.deleteItem(m.firstRoot());
        QCOMPARE(m.count(), 0);
    }

private:
    static Handle kNoneAfter() { return CTreeModel::kNone; }
};

QTEST_GUILESS_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
