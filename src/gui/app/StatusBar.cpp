#include "app/StatusBar.h"

#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>

#include <algorithm>

namespace {

// The panes that stay beside a message: Qt hides the others while it shows.
QList<QWidget *> panesBeside(const QStatusBar &bar)
{
    QList<QWidget *> panes;
    for (QWidget *w : bar.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisible() && !qobject_cast<QSizeGrip *>(w))
            panes.append(w);
    }
    return panes;
}

}  // namespace

CStatusBar::CStatusBar(QWidget *parent) : QStatusBar(parent)
{
    connect(this, &QStatusBar::messageChanged, this, [this](const QString &text) { setToolTip(text); });
}

QRect CStatusBar::messageArea() const
{
    // Where Qt puts a message: from a small margin up to the first pane
    // that stays, or the size grip.
    int right = width() - 12;
    for (QWidget *pane : panesBeside(*this))
        right = std::min(right, pane->x() - 2);
    if (const auto *grip = findChild<QSizeGrip *>(); grip && grip->isVisible())
        right = std::min(right, grip->x());
    const int left = 6;
    return QRect(left, 0, std::max(0, right - left), height());
}

QString CStatusBar::shownMessage() const
{
    return fontMetrics().elidedText(currentMessage(), Qt::ElideMiddle, messageArea().width());
}

void CStatusBar::paintEvent(QPaintEvent *event)
{
    if (currentMessage().isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // As Qt draws a bar with a message, the text cut to fit.
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, this);
    for (QWidget *pane : panesBeside(*this)) {
        QStyleOption frame;
        frame.rect = pane->geometry().adjusted(-2, -1, 2, 1);
        frame.palette = palette();
        frame.state = QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, pane);
    }
    painter.setPen(palette().windowText().color());
    painter.drawText(messageArea(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, shownMessage());
}
