#pragma once

#include <QStatusBar>

// The window's status bar. A message longer than the bar is cut in the
// middle, so that its start and its end (often a file name) stay readable,
// and the tooltip says it whole.
class CStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit CStatusBar(QWidget *parent = nullptr);

    // The current message as the bar shows it.
    QString shownMessage() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect messageArea() const;
};
