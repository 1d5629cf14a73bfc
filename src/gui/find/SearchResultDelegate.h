#pragma once

#include <QStyledItemDelegate>

// Paints one search result in three lines: the icon and the title, the path
// of folders (dimmed, shortened in the middle), and the context line with
// the hit in bold. Every row has the same height, so the list can take the
// uniform-size shortcut with any number of rows.
class CSearchResultDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
