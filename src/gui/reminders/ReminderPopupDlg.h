#pragma once

#include <QDialog>

// Announces a due reminder: the note's title and the date of its moment.
// Accepted means "Show the note".
class CReminderPopupDlg : public QDialog
{
    Q_OBJECT

public:
    CReminderPopupDlg(const QString &title, const QString &date, QWidget *parent = nullptr);
};
