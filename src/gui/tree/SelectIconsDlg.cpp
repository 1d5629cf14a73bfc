#include "tree/SelectIconsDlg.h"

#include "tree/ItemIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

using namespace iconrules;

namespace {
constexpr int kImageRole = Qt::UserRole;

// Five tabs sharing the bar's width evenly, which is the dialog's client
// width less the margins, never scroll buttons.
class CSlotTabBar : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize hint = QTabBar::tabSizeHint(index);
        if (count() > 0)
            hint.setWidth(qMax(iconSize().width() + 4, width() / count()));
        return hint;
    }
    QSize minimumTabSizeHint(int index) const override
    {
        QSize hint = QTabBar::minimumTabSizeHint(index);
        hint.setWidth(iconSize().width() + 4);
        return hint;
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QTabBar::resizeEvent(event);
        // Tab widths depend on the bar's own width; have them laid out again.
        setIconSize(iconSize());
    }
};
} // namespace

CSelectIconsDlg::CSelectIconsDlg(const DialogSetup &setup, QWidget *parent)
    : QDialog(parent),
      m_choice(setup),
      m_tabs(new CSlotTabBar(this)),
      m_list(new QListWidget(this)),
      m_alternative(new QPushButton(m_choice.alternativeButtonText(), this)),
      m_branch(new QPushButton(tr("&Branch"), this))
{
    setWindowTitle(m_choice.windowTitle());

    // Images only; the tooltip names the slot of the tab under the mouse.
    m_tabs->setExpanding(true);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setDrawBase(false);
    m_tabs->setIconSize(QSize(16, 16));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        m_tabs->addTab(QString());
        m_tabs->setTabToolTip(slot, slotName(slot));
        m_tabs->setAccessibleTabName(slot, slotName(slot));
        showTab(slot);
    }
    m_tabs->setCurrentIndex(m_choice.currentTab());
    connect(m_tabs, &QTabBar::currentChanged, this,
            [this](int index) { m_choice.setCurrentTab(index); });

    m_list->setAccessibleName(tr("Icons"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setIconSize(QSize(16, 16));
    m_list->setGridSize(QSize(32, 32));
    m_list->setUniformItemSizes(true);
    const CItemIcons &icons = CItemIcons::instance();
    for (int image = 0; image < CItemIcons::kCount; ++image) {
        auto *item = new QListWidgetItem(icons.icon(image), QString(), m_list);
        item->setData(kImageRole, image);
        item->setToolTip(QString::number(image));
    }
    connect(m_list, &QListWidget::itemClicked, this, &CSelectIconsDlg::onIconClicked);

    m_alternative->setEnabled(m_choice.alternativeEnabled());
    m_alternative->setAutoDefault(false);
    connect(m_alternative, &QPushButton::clicked, this, &CSelectIconsDlg::onAlternative);

    m_branch->setCheckable(true);
    m_branch->setAutoDefault(false);
    m_branch->setEnabled(m_choice.branchEnabled());
    connect(m_branch, &QPushButton::toggled, this, [this](bool on) { m_choice.setBranch(on); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(m_alternative);
    row->addWidget(m_branch);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_tabs);
    layout->addWidget(m_list, 1);
    layout->addLayout(row);
    layout->addWidget(buttons);
    resize(230, 340);
}

void CSelectIconsDlg::showTab(int slot)
{
    const int image = displayImage(m_choice.value(slot), slot);
    m_tabs->setTabIcon(slot, CItemIcons::instance().icon(image));
}

void CSelectIconsDlg::onIconClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    const int slot = m_choice.currentTab();
    m_choice.pick(item->data(kImageRole).toInt());
    showTab(slot);
    {
        // The tab follows the choice; the user's own tab clicks go the other way.
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_choice.currentTab());
    }
    m_list->clearSelection();
}

void CSelectIconsDlg::onAlternative()
{
    m_choice.useAlternative();
    for (int slot = 0; slot < kSlotCount; ++slot)
        showTab(slot);
}
