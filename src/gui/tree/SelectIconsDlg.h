#pragma once

#include "tree/IconRules.h"

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabBar;

// "Select icons": the five slot images of an item, its branch or the default
// set. It only shows and returns values; iconrules decides what they change.
class CSelectIconsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSelectIconsDlg(const iconrules::DialogSetup &setup, QWidget *parent = nullptr);

    // The five slot values and the "Branch" flag, meaningful after OK.
    iconrules::IconSet values() const { return m_choice.values(); }
    bool branch() const { return m_choice.branch(); }

    QTabBar *tabs() const { return m_tabs; }
    QListWidget *iconList() const { return m_list; }
    QPushButton *alternativeButton() const { return m_alternative; }
    QPushButton *branchButton() const { return m_branch; }

private:
    void onIconClicked(QListWidgetItem *item);
    void onAlternative();
    void showTab(int slot);

    iconrules::CIconChoice m_choice;
    QTabBar *m_tabs;
    QListWidget *m_list;
    QPushButton *m_alternative;
    QPushButton *m_branch;
};
