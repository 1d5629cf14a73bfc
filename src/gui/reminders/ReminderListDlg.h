#pragma once

#include <QDialog>

#include <functional>
#include <vector>

class CCodePage;
class CSettings;
class CTorviQuillbookDoc;
class QPushButton;
class QTableView;
class CReminderListModel;

// Every note with a reminder, by moment: jump to one, edit its reminder or
// delete it. Accepted means "Show the note" for chosenIndex().
class CReminderListDlg : public QDialog
{
    Q_OBJECT

public:
    // Opens the setting dialog for an item index; true when it was confirmed.
    using Editor = std::function<bool(int)>;

    CReminderListDlg(CTorviQuillbookDoc &doc, CSettings &settings, const CCodePage &codePage, Editor editor,
                     QWidget *parent = nullptr);
    ~CReminderListDlg() override;

    int chosenIndex() const { return m_chosen; }
    const std::vector<int> &displayOrder() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuild();
    // Columns without a width of the user's fit what they show.
    void fitColumns();
    int selectedRow() const;
    void selectRow(int row);
    void enableRowButtons(bool on);
    void onShow();
    void onEdit();
    void onDelete();

    CTorviQuillbookDoc &m_doc;
    CSettings &m_settings;
    Editor m_editor;
    int m_chosen = -1;
    // Per column: the width the dialog gave it to fit its content; -1 once
    // the user has a width of their own for it.
    std::vector<int> m_fitted;
    bool m_bFitting = false;

    CReminderListModel *m_model;
    QTableView *m_list;
    QPushButton *m_show;
    QPushButton *m_delete;
    QPushButton *m_edit;
};
