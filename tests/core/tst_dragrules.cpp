#include "tree/DragRules.h"

#include <QtTest>

using namespace dragrules;

namespace {

// Over a run of ticks, the ticks on which the tree scrolls up.
QList<int> upTicks(const QPoint &cursor, const QRect &client, int ticks = 12)
{
    QList<int> out;
    for (int t = 1; t <= ticks; ++t) {
        if (scrollStep(t, cursor, client).up)
            out << t;
    }
    return out;
}

const QRect kClient(100, 200, 300, 400);   // right edge 400, bottom edge 600

} // namespace

class TestDragRules : public QObject
{
    Q_OBJECT

private slots:
    void scrollingSpeedsUpWithDistanceFromTheEdge()
    {
        // 5 pixels inside the top edge: every 4th tick, 120 ms.
        QCOMPARE(upTicks({250, 205}, kClient), (QList<int>{4, 8, 12}));
        // On the edge and up to 20 further: every 3rd; then every 2nd.
        QCOMPARE(upTicks({250, 200}, kClient), (QList<int>{3, 6, 9, 12}));
        QCOMPARE(upTicks({250, 180}, kClient), (QList<int>{2, 4, 6, 8, 10, 12}));
        // 65 pixels above the top edge: every tick, 30 ms.
        QCOMPARE(upTicks({250, 135}, kClient).size(), 12);
        // Just out of the band, nothing.
        QVERIFY(upTicks({250, 220}, kClient).isEmpty());
        QVERIFY(!scrollStep(4, {250, 400}, kClient).any());
    }

    void eachEdgeHasItsOwnBand_data()
    {
        QTest::addColumn<int>("tick");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QString>("scrolls");
        QTest::newRow("bottom band") << 4 << QPoint(250, 581) << QStringLiteral("down");
        QTest::newRow("above the bottom band") << 4 << QPoint(250, 580) << QString();
        // The side bands are 10 pixels wide, measured with the same 20-pixel steps.
        QTest::newRow("left band") << 4 << QPoint(109, 400) << QStringLiteral("left");
        QTest::newRow("right of the left band") << 4 << QPoint(110, 400) << QString();
        QTest::newRow("left band, not its tick") << 3 << QPoint(109, 400) << QString();
        QTest::newRow("far right") << 1 << QPoint(470, 400) << QStringLiteral("right");
        // A corner scrolls both ways on the same tick.
        QTest::newRow("top left corner") << 12 << QPoint(90, 190) << QStringLiteral("up left");
    }

    void eachEdgeHasItsOwnBand()
    {
        QFETCH(int, tick);
        QFETCH(QPoint, cursor);
        QFETCH(QString, scrolls);
        const ScrollStep step = scrollStep(tick, cursor, kClient);
        QStringList ways;
        if (step.up)
            ways << QStringLiteral("up");
        if (step.down)
            ways << QStringLiteral("down");
        if (step.left)
            ways << QStringLiteral("left");
        if (step.right)
            ways << QStringLiteral("right");
        QCOMPARE(ways.join(QLatin1Char(' ')), scrolls);
    }

    void hoverTimerAndExpansion()
    {
        QCOMPARE(hoverTimerOnMove(false, false), HoverTimer::Start);
        QCOMPARE(hoverTimerOnMove(false, true), HoverTimer::Start);
        QCOMPARE(hoverTimerOnMove(true, false), HoverTimer::Keep);
        QCOMPARE(hoverTimerOnMove(true, true), HoverTimer::Restart);
        QVERIFY(hoverExpands(true, true));
        QVERIFY(!hoverExpands(true, false));   // a folder without children never opens
        QVERIFY(!hoverExpands(false, true));
    }

    void dropPlacementFollowsAltAndCtrl()
    {
        using P = DropPlacement::Parent;
        using Pos = DropPlacement::Position;
        // Empty space: end of the root level, or with Alt its start.
        DropPlacement d = dropPlacement(false, false, false, false, false);
        QCOMPARE(d.parent, P::Root);
        QCOMPARE(d.position, Pos::Last);
        QVERIFY(!d.copy);
        d = dropPlacement(false, false, false, true, true);
        QCOMPARE(d.parent, P::Root);
        QCOMPARE(d.position, Pos::First);
        QVERIFY(d.copy);
        // Onto an item: its last child.
        d = dropPlacement(true, false, true, false, false);
        QCOMPARE(d.parent, P::Target);
        QCOMPARE(d.position, Pos::Last);
        // With Alt: just before it, in its own level.
        d = dropPlacement(true, false, true, true, false);
        QCOMPARE(d.parent, P::TargetParent);
        QCOMPARE(d.position, Pos::AfterPreviousSibling);
        d = dropPlacement(true, true, false, true, false);
        QCOMPARE(d.parent, P::Root);
        QCOMPARE(d.position, Pos::First);
    }
};

QTEST_GUILESS_MAIN(TestDragRules)
#include "tst_dragrules.moc"
