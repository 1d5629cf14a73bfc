#include "about/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

CLinkLabel::CLinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(text);
    takeLinkColour();
    setCursor(Qt::PointingHandCursor);
}

void CLinkLabel::takeLinkColour()
{
    // Pure blue on a light window; on a dark one pure blue can hardly be
    // read (contrast about 2:1), a light blue can.
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    const QColor colour = dark ? QColor(138, 180, 248) : QColor(0, 0, 255);
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette linked = palette();
    linked.setColor(QPalette::WindowText, colour);
    setPalette(linked);
}

void CLinkLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        takeLinkColour();
}

void CLinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a press and a release on the label, as with a button.
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void CLinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}
