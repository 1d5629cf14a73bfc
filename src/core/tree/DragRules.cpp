#include "tree/DragRules.h"

#include <algorithm>

namespace dragrules {

int scrollEvery(int depth)
{
    return std::max(1, kSlowestEvery - depth / kDistanceStep);
}

namespace {
bool due(int ticks, int depth)
{
    return ticks % scrollEvery(depth) == 0;
}
} // namespace

ScrollStep scrollStep(int ticks, const QPoint &cursor, const QRect &client)
{
    const int left = client.x();
    const int top = client.y();
    const int right = client.x() + client.width();
    const int bottom = client.y() + client.height();
    const int x = cursor.x();
    const int y = cursor.y();
    ScrollStep step;
    if (y < top + kVerticalBand)
        step.up = due(ticks, top + kVerticalBand - y);
    if (y > bottom - kVerticalBand)
        step.down = due(ticks, y - (bottom - kVerticalBand));
    if (x < left + kHorizontalBand)
        step.left = due(ticks, left + kHorizontalBand - x);
    if (x > right - kHorizontalBand)
        step.right = due(ticks, x - (right - kHorizontalBand));
    return step;
}

HoverTimer hoverTimerOnMove(bool hoverRunning, bool targetIsHome)
{
    if (!hoverRunning)
        return HoverTimer::Start;
    return targetIsHome ? HoverTimer::Restart : HoverTimer::Keep;
}

bool hoverExpands(bool highlightedIsTarget, bool targetHasChildren)
{
    return highlightedIsTarget && targetHasChildren;
}

DropPlacement dropPlacement(bool hasTarget, bool targetIsRoot, bool targetHasPreviousSibling,
                            bool altHeld, bool ctrlHeld)
{
    DropPlacement placement;
    placement.copy = ctrlHeld;
    if (!altHeld) {
        placement.parent = hasTarget ? DropPlacement::Parent::Target : DropPlacement::Parent::Root;
        placement.position = DropPlacement::Position::Last;
        return placement;
    }
    placement.parent = (hasTarget && !targetIsRoot) ? DropPlacement::Parent::TargetParent
                                                    : DropPlacement::Parent::Root;
    // Just before the target; with no target, at the start of the root level.
    placement.position = (hasTarget && targetHasPreviousSibling)
        ? DropPlacement::Position::AfterPreviousSibling
        : DropPlacement::Position::First;
    return placement;
}

} // namespace dragrules
