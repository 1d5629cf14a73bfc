#pragma once

#include <QLabel>

// A one-line blue text that reacts to a click, like a link.
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

private:
    bool m_pressed = false;
};
