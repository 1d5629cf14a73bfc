#include "backup/RestoreDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr int kNameColumn = 0;
constexpr int kDateColumn = 1;
constexpr int kNameWidth = 155;
constexpr int kDateWidth = 110;

}  // namespace

CRestoreDlg::CRestoreDlg(const QList<QPair<QString, QString>> &rows, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Restore"));
    setModal(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("files"));
    m_list->setAccessibleName(tr("Backup files"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({tr("Backup file"), tr("Date")});
    m_list->headerItem()->setTextAlignment(kNameColumn, Qt::AlignRight | Qt::AlignVCenter);
    m_list->headerItem()->setTextAlignment(kDateColumn, Qt::AlignLeft | Qt::AlignVCenter);
    m_list->header()->setStretchLastSection(false);

    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const auto &[name, date] : rows) {
        auto *item = new QTreeWidgetItem({name, date});
        item->setTextAlignment(kNameColumn, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    // The usual widths, wider where a long name or a long month would be cut.
    for (const auto &[column, width] : {std::pair{kNameColumn, kNameWidth}, std::pair{kDateColumn, kDateWidth}}) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column, std::max(width, m_list->columnWidth(column)));
    }

    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(tr("&Restore"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("restore"));
    buttons->addButton(QDialogButtonBox::Cancel);
    // Restoring with no file chosen would try to open the folder itself.
    m_restore->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(std::max(340, m_list->columnWidth(kNameColumn) + m_list->columnWidth(kDateColumn) + 60), 260);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CRestoreDlg::onSelectionChanged);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CRestoreDlg::onSelectionChanged()
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    m_chosenName = selected.front()->text(kNameColumn);
    m_restore->setEnabled(true);
}
