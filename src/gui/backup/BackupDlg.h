#pragma once

#include "doc/BackupChoice.h"

#include <QDialog>

class IPrompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Where, how often and how many backup copies are kept.
class CBackupDlg : public QDialog
{
    Q_OBJECT

public:
    // `defaultFolder` is offered when no backup folder is set yet.
    CBackupDlg(const CBackupSettings &current, const QString &defaultFolder, IPrompter &prompter,
               QWidget *parent = nullptr);

    // The settings after the dialog: `before` itself when it was cancelled.
    // (Hides QDialog::result(); use QDialog::result() for the dialog code.)
    CBackupSettings result(const CBackupSettings &before) const;

private:
    void onBackupToggled(bool on);
    void onOverview();
    void onOk();

    IPrompter &m_prompter;
    CBackupChoice m_choice;

    QCheckBox *m_backup;
    QComboBox *m_versions;
    QLineEdit *m_folder;
    QPushButton *m_overview;
    QComboBox *m_period;
};
