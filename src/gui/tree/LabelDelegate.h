#pragma once

#include <QStyledItemDelegate>

class CLeftView;

// Rows of one fixed height, the drop target drawn as selected, and a label
// editor whose keys and text go to the infotree. The editor takes one line
// that the document's code page can hold, the view judging it against the
// label's bytes (CLabelValidator in LabelDelegate.cpp).
class CLabelDelegate : public QStyledItemDelegate
{
public:
    explicit CLabelDelegate(CLeftView *view);

    int rowHeight;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    static constexpr const char *kFilled = "tqbLabelFilled";
    CLeftView *m_view;
};
