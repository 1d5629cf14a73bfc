#pragma once

#include <QPoint>
#include <QRect>

// Timing and placement rules of dragging items inside the infotree, free of
// any widget: the view runs the timers and moves the items, these decide.
namespace dragrules {

inline constexpr int kScrollTimerId = 1;
inline constexpr int kScrollPeriodMs = 30;
inline constexpr int kHoverTimerId = 1000;
inline constexpr int kHoverPeriodMs = 2000;
inline constexpr int kVerticalBand = 20;    // pixels inside the top and bottom edges
inline constexpr int kHorizontalBand = 10;  // pixels inside the left and right edges
inline constexpr int kDistanceStep = 20;
inline constexpr int kSlowestEvery = 4;     // ticks between scrolls just inside a band

// Ticks between two scrolls for a cursor `depth` pixels past a band's inner
// edge (depth > 0): 4 inside the band, 3 from 20 pixels on, 2 from 40, 1 from 60.
int scrollEvery(int depth);

// What one scroll-timer tick scrolls. ticks counts the ticks since the drag
// began, this one included. client is the tree's client area and cursor the
// mouse, in the same coordinates; the right and bottom edges are
// x + width and y + height. A tree shorter than both bands may scroll both ways.
struct ScrollStep
{
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    bool any() const { return up || down || left || right; }
};
ScrollStep scrollStep(int ticks, const QPoint &cursor, const QRect &client);

// Mouse move over an item while dragging. The hover timer runs all through the
// drag and starts over whenever the cursor is back over the first item the drag
// passed over (home).
enum class HoverTimer { Keep, Start, Restart };
HoverTimer hoverTimerOnMove(bool hoverRunning, bool targetIsHome);

// Hover tick: the highlighted item opens when it is the target and has children.
bool hoverExpands(bool highlightedIsTarget, bool targetHasChildren);

// Where a drop puts the dragged branch. The caller has already refused a
// target that is the dragged item or inside its branch.
struct DropPlacement
{
    enum class Parent { Target, TargetParent, Root };
    enum class Position { Last, AfterPreviousSibling, First };
    Parent parent = Parent::Root;
    Position position = Position::Last;
    bool copy = false;   // Ctrl at the drop; otherwise the branch moves
};
DropPlacement dropPlacement(bool hasTarget, bool targetIsRoot, bool targetHasPreviousSibling,
                            bool altHeld, bool ctrlHeld);

} // namespace dragrules
