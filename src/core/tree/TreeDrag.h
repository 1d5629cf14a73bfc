#pragma once

#include "tree/TreeModel.h"

#include <QPoint>
#include <QRect>

class CInfoTree;

// The timing of a drag inside the infotree: the drop target under the
// cursor and its highlight, the scroll ticks every 30 ms since the drag
// began and the hover ticks that open a folder held under the cursor. The
// GUI's clock drives it (the times given), so a test can too. What a drop
// does to the tree is CInfoTree's.
class CTreeDrag
{
public:
    using Handle = CTreeModel::Handle;
    static constexpr Handle kNone = CTreeModel::kNone;

    explicit CTreeDrag(CInfoTree &tree);
    CTreeDrag(const CTreeDrag &) = delete;
    CTreeDrag &operator=(const CTreeDrag &) = delete;

    void begin(qint64 nowMs);
    void clearTarget() { m_hDropTarget = kNone; }
    void move(Handle target, qint64 nowMs);
    struct Tick
    {
        int lines = 0;
        int columns = 0;
        Handle expanded = kNone;
    };
    Tick tick(qint64 nowMs, QPoint cursor, QRect client);
    void cancel();
    // The button came up: the timers stop and the highlight goes; the drop
    // target is left for the drop to use.
    void end();
    void stop() { m_bDragging = false; }  // a new tree: no drag goes on

    bool isDragging() const { return m_bDragging; }
    Handle dropTarget() const { return m_hDropTarget; }
    void setDropTarget(Handle target) { m_hDropTarget = target; }
    Handle dropHome() const { return m_hDropHome; }
    bool hoverTimerRunning() const { return m_hoverStartMs >= 0; }
    int scrollTicks() const { return m_nScrollTicks; }
    // The scroll rule of one tick: (-1, 0 or 1 column, -1, 0 or 1 line).
    static QPoint autoScrollStep(int tick, QPoint cursor, QRect client);

private:
    CInfoTree &m_tree;
    CTreeModel &m_model;
    bool m_bDragging = false;
    Handle m_hDropTarget = kNone;
    Handle m_hDropHome = kNone;
    qint64 m_scrollStartMs = -1;
    qint64 m_hoverStartMs = -1;   // -1: the hover timer is not running
    int m_nHoverTicksDone = 0;
    int m_nScrollTicks = 0;
};
