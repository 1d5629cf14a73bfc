#include "tree/TreeDrag.h"

#include "tree/DragRules.h"
#include "tree/InfoTree.h"

CTreeDrag::CTreeDrag(CInfoTree &tree) : m_tree(tree), m_model(tree.m_model) {}

void CTreeDrag::begin(qint64 nowMs)
{
    m_bDragging = true;
    m_nScrollTicks = 0;
    m_scrollStartMs = nowMs;
    m_hoverStartMs = -1;
    m_nHoverTicksDone = 0;
}

void CTreeDrag::move(Handle target, qint64 nowMs)
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

QPoint CTreeDrag::autoScrollStep(int tick, QPoint cursor, QRect client)
{
    const dragrules::ScrollStep step = dragrules::scrollStep(tick, cursor, client);
    return {int(step.right) - int(step.left), int(step.down) - int(step.up)};
}

CTreeDrag::Tick CTreeDrag::tick(qint64 nowMs, QPoint cursor, QRect client)
{
    Tick out;
    if (!m_bDragging)
        return out;
    // Hover ticks due by now (before the scroll ticks, as both would have
    // queued; the order does not matter for the outcome).
    if (m_hoverStartMs >= 0) {
        while (m_hoverStartMs + qint64(m_nHoverTicksDone + 1) * dragrules::kHoverPeriodMs <= nowMs) {
            ++m_nHoverTicksDone;
            const Handle h = m_model.dropHighlight();
            if (h != kNone && h == m_hDropTarget && m_model.hasChildren(h) && !m_model.isExpanded(h)) {
                m_model.setExpanded(h, true);
                m_tree.setItemIcon(h, true);
                out.expanded = h;
            }
        }
    }
    while (m_scrollStartMs + qint64(m_nScrollTicks + 1) * dragrules::kScrollPeriodMs <= nowMs) {
        ++m_nScrollTicks;
        const QPoint step = autoScrollStep(m_nScrollTicks, cursor, client);
        out.lines += step.y();
        out.columns += step.x();
    }
    return out;
}

void CTreeDrag::cancel()
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

void CTreeDrag::end()
{
    m_hoverStartMs = -1;
    m_scrollStartMs = -1;
    m_nScrollTicks = 0;
    m_nHoverTicksDone = 0;
    m_model.setDropHighlight(kNone);
    m_hDropHome = kNone;
    m_bDragging = false;
}
