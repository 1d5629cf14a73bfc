#include "app/WindowPlacement.h"

#include <algorithm>

namespace windowplacement {

State stateFor(int showCmd)
{
    switch (showCmd) {
    case kShowMinimized:
    case 6:  // minimize
    case 7:  // minimized, not active
        return State::Minimized;
    case kShowMaximized:
        return State::Maximized;
    default:
        return State::Normal;
    }
}

int showCmdFor(State state)
{
    switch (state) {
    case State::Minimized:
        return kShowMinimized;
    case State::Maximized:
        return kShowMaximized;
    case State::Normal:
        break;
    }
    return kShowNormal;
}

int flagFor(State state, bool wasMaximized)
{
    return state == State::Minimized && wasMaximized ? kRestoreToMaximized : 0;
}

QRect onScreen(const QRect &stored, const QList<QRect> &screens)
{
    QRect rect = stored;
    if (!rect.isValid() || rect.width() < 10 || rect.height() < 10)
        rect = QRect(50, 50, 700, 500);
    if (screens.isEmpty())
        return rect;
    // A window that shows at least a corner of its title on some screen can be
    // reached and moved by the user: it stays there, but no larger than that
    // screen (the first start at a large scale, a smaller screen since).
    const QRect grip(rect.topLeft(), QSize(std::min(rect.width(), 100), std::min(rect.height(), 30)));
    const auto holding = std::find_if(screens.begin(), screens.end(),
                                      [&grip](const QRect &screen) { return screen.intersects(grip); });
    if (holding != screens.end()) {
        if (rect.width() <= holding->width() && rect.height() <= holding->height())
            return rect;
        rect.setSize(rect.size().boundedTo(holding->size()));
        rect.moveLeft(std::clamp(rect.left(), holding->left(), holding->right() + 1 - rect.width()));
        rect.moveTop(std::clamp(rect.top(), holding->top(), holding->bottom() + 1 - rect.height()));
        return rect;
    }
    const QRect &target = screens.first();
    rect.setWidth(std::min(rect.width(), target.width()));
    rect.setHeight(std::min(rect.height(), target.height()));
    rect.moveTopLeft(target.topLeft() + QPoint(std::min(50, target.width() - rect.width()),
                                               std::min(50, target.height() - rect.height())));
    return rect;
}

}  // namespace windowplacement
