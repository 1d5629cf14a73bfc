// Moving and copying branches by dragging them inside the tree.
#include "tree/InfoTree.h"

#include "doc/TorviQuillbookDoc.h"
#include "tree/DragRules.h"

// ================================================================ drag and drop

bool CInfoTree::beginDrag(Handle item, qint64 nowMs)
{
    forgetRecord();
    m_bCut = true;
    m_hDropTarget = kNone;
    if (!m_model.isValid(item))
        return false;  // no drag image can be made
    m_hClipItem = item;
    m_bDragging = true;
    m_nScrollTicks = 0;
    m_scrollStartMs = nowMs;
    m_hoverStartMs = -1;
    m_nHoverTicksDone = 0;
    return true;
}

void CInfoTree::dragMove(Handle target, qint64 nowMs)
{
    if (!m_bDragging)
        return;
    m_hDropTarget = m_model.isValid(target) ? target : kNone;
    if (m_hDropTarget == kNone)
        return;  // the previous highlight stays
    if (m_hDropHome == kNone)
        m_hDropHome = m_model.dropHighlight();
    m_model.setDropHighlight(m_hDropTarget);
    if (m_hoverStartMs >= 0 && m_hDropTarget == m_hDropHome)
        m_hoverStartMs = -1;
    if (m_hoverStartMs < 0) {
        m_hoverStartMs = nowMs;
        m_nHoverTicksDone = 0;
    }
}

QPoint CInfoTree::autoScrollStep(int tick, QPoint cursor, QRect client)
{
    const dragrules::ScrollStep step = dragrules::scrollStep(tick, cursor, client);
    return {int(step.right) - int(step.left), int(step.down) - int(step.up)};
}

CInfoTree::DragTick CInfoTree::dragTick(qint64 nowMs, QPoint cursor, QRect client)
{
    DragTick out;
    if (!m_bDragging)
        return out;
    // Hover ticks due by now (before the scroll ticks, as both would have
    // queued; the order does not matter for the outcome).
    if (m_hoverStartMs >= 0) {
        while (m_hoverStartMs + qint64(m_nHoverTicksDone + 1) * kHoverPeriodMs <= nowMs) {
            ++m_nHoverTicksDone;
            const Handle h = m_model.dropHighlight();
            if (h != kNone && h == m_hDropTarget && m_model.hasChildren(h) && !m_model.isExpanded(h)) {
                m_model.setExpanded(h, true);
                setItemIcon(h, true);
                out.expanded = h;
            }
        }
    }
    while (m_scrollStartMs + qint64(m_nScrollTicks + 1) * kScrollPeriodMs <= nowMs) {
        ++m_nScrollTicks;
        const QPoint step = autoScrollStep(m_nScrollTicks, cursor, client);
        out.lines += step.y();
        out.columns += step.x();
    }
    return out;
}

void CInfoTree::cancelDrag()
{
    if (!m_bDragging)
        return;
    m_model.setDropHighlight(kNone);
    m_hoverStartMs = -1;
    m_scrollStartMs = -1;
    m_nScrollTicks = 0;
    m_nHoverTicksDone = 0;
    m_bDragging = false;
}

void CInfoTree::drop(bool ctrl, bool alt)
{
    if (!m_bDragging)
        return;
    m_hoverStartMs = -1;
    m_scrollStartMs = -1;
    m_nScrollTicks = 0;
    m_nHoverTicksDone = 0;
    m_model.setDropHighlight(kNone);
    m_hDropHome = kNone;
    m_bDragging = false;

    const Handle dragged = m_model.isValid(m_hClipItem) ? m_hClipItem : kNone;
    if (m_hDropTarget != kNone && !m_model.isValid(m_hDropTarget))
        m_hDropTarget = kNone;
    if (dragged != kNone && m_hDropTarget != kNone && m_model.isSelfOrDescendant(m_hDropTarget, dragged))
        return;  // onto itself or into its own branch: nothing
    if (dragged != kNone) {
        m_bCut = !ctrl;
        m_bClipHasChildren = m_model.hasChildren(dragged);
        Handle destParent;
        CTreeModel::Pos pos;
        if (!alt) {
            destParent = m_hDropTarget;
            pos = CTreeModel::Pos::last();
        } else {
            destParent = m_model.parent(m_hDropTarget);
            const Handle before = m_model.prevSibling(m_hDropTarget);
            pos = CTreeModel::Pos::afterItem(m_hDropTarget == kNone ? kNone : before);
            m_hDropTarget = before;
        }
        const Handle oldParent = m_model.parent(dragged);
        const Handle item = copyBranch(dragged, destParent, pos);
        if (item != kNone) {
            if (!m_bCut) {
                m_hClipItem = item;
                m_hUndoParent = kNone;
                m_nUndo = kUndoAdded;
            } else {
                m_hUndoParent = oldParent;
                setItemIcon(oldParent, true);
                sortLevel(oldParent);
                m_hClipItem = item;
                m_nUndo = kUndoMoved;
            }
            setItemIcon(item, false);
            sortLevel(item);
            setItemIcon(destParent, true);
            sortLevel(destParent);
            select(item);
            storePlacedBranch(item);
        }
    }
    recomputeAnyExpanded();
}
