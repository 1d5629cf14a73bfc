#pragma once

#include <QLabel>

// A one-line blue text that reacts to a click, like a link. On a dark window
// the blue is a lighter one, so that it reads. It takes the keyboard focus,
// and Enter or Space act as a click.
class CLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CLinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void takeLinkColour();

    bool m_pressed = false;
};
