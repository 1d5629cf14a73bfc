#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QPushButton;
class QTreeWidget;

// Lists the files of the backup folder and lets the user pick one to restore.
class CRestoreDlg : public QDialog
{
    Q_OBJECT

public:
    // rows: file name and its formatted date, in the order they are to be shown.
    explicit CRestoreDlg(const QList<QPair<QString, QString>> &rows, QWidget *parent = nullptr);

    // The file name of the item last selected; empty while none was.
    QString chosenName() const { return m_chosenName; }

private:
    void onSelectionChanged();

    QString m_chosenName;
    QTreeWidget *m_list;
    QPushButton *m_restore;
};
