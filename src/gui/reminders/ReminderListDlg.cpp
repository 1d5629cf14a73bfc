#include "reminders/ReminderListDlg.h"

#include "doc/TorviQuillbookDoc.h"
#include "reminders/Reminders.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// The rows as three string tables in display order; the view asks for the
// texts it shows, so a long list costs only what is on screen.
class CReminderListModel : public QAbstractTableModel
{
public:
    CReminderListModel(CTorviQuillbookDoc &doc, const CCodePage &codePage, QObject *parent)
        : QAbstractTableModel(parent), m_doc(doc), m_codePage(codePage)
    {
    }

    void rebuild()
    {
        beginResetModel();
        m_order = Reminders::listOrder(m_doc);
        m_titles.clear();
        m_modes.clear();
        m_dates.clear();
        m_titles.reserve(m_order.size());
        m_modes.reserve(m_order.size());
        m_dates.reserve(m_order.size());
        for (const int index : m_order) {
            const CNoteInfo &info = m_doc.info(index);
            m_titles.push_back(m_codePage.toUnicode(m_doc.title(index)));
            m_modes.push_back(info.m_nRemind == CReminder::kFrom ? QCoreApplication::translate("CReminderListDlg", "from")
                                                                        : QStringLiteral(" "));
            m_dates.push_back(Reminders::dateText(info.m_times[0]));
        }
        endResetModel();
    }

    const std::vector<int> &order() const { return m_order; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_order.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || size_t(index.row()) >= m_order.size())
            return {};
        const std::vector<QString> *columns[3] = {&m_titles, &m_modes, &m_dates};
        return (*columns[index.column()])[size_t(index.row())];
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char *const kHeaders[3] = {QT_TRANSLATE_NOOP("CReminderListDlg", "Note"), " ",
                                                QT_TRANSLATE_NOOP("CReminderListDlg", "Date")};
        return section >= 0 && section < 3 ? QCoreApplication::translate("CReminderListDlg", kHeaders[section])
                                           : QVariant();
    }

private:
    CTorviQuillbookDoc &m_doc;
    const CCodePage &m_codePage;
    std::vector<int> m_order;
    std::vector<QString> m_titles;
    std::vector<QString> m_modes;
    std::vector<QString> m_dates;
};

CReminderListDlg::CReminderListDlg(CTorviQuillbookDoc &doc, CSettings &settings, const CCodePage &codePage,
                                   Editor editor, QWidget *parent)
    : QDialog(parent), m_doc(doc), m_settings(settings), m_editor(std::move(editor))
{
    setWindowTitle(tr("Reminders list"));
    setModal(true);

    m_model = new CReminderListModel(doc, codePage, this);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setAccessibleName(tr("Reminders"));
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->setWordWrap(false);
    m_fitted.assign(CSettings::kReminderColumns, 0);
    for (int c = 0; c < CSettings::kReminderColumns; ++c) {
        const auto key = CSettings::Key(CSettings::ReminderColumn0 + c);
        m_list->setColumnWidth(c, settings.number(key));
        // A width of the user's own, not the default (which the list once
        // wrote back at every close), is kept as it is.
        if (settings.number(key) != CSettings::defaultNumber(key))
            m_fitted[size_t(c)] = -1;
    }
    connect(m_list->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_bFitting && column >= 0 && size_t(column) < m_fitted.size())
            m_fitted[size_t(column)] = -1;
    });
    m_list->installEventFilter(this);

    auto *buttons = new QDialogButtonBox(this);
    m_show = buttons->addButton(tr("&Show the note"), QDialogButtonBox::AcceptRole);
    m_show->setObjectName(QStringLiteral("show"));
    m_delete = buttons->addButton(tr("&Delete"), QDialogButtonBox::ActionRole);
    m_delete->setObjectName(QStringLiteral("delete"));
    m_edit = buttons->addButton(tr("&Edit"), QDialogButtonBox::ActionRole);
    m_edit->setObjectName(QStringLiteral("edit"));
    QPushButton *close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    // Enter belongs to the list ("Edit"); no button takes it.
    for (QPushButton *b : {m_show, m_delete, m_edit, close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(420, 300);

    connect(m_show, &QPushButton::clicked, this, &CReminderListDlg::onShow);
    connect(m_delete, &QPushButton::clicked, this, &CReminderListDlg::onDelete);
    connect(m_edit, &QPushButton::clicked, this, &CReminderListDlg::onEdit);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &CReminderListDlg::onEdit);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { enableRowButtons(selectedRow() >= 0); });
    enableRowButtons(false);
    rebuild();
    // Wide enough for the columns as they came out, within the screen.
    int columns = 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < CSettings::kReminderColumns; ++c)
        columns += m_list->columnWidth(c);
    const QMargins margins = layout->contentsMargins();
    int wide = columns + margins.left() + margins.right();
    if (const QScreen *screen = this->screen())
        wide = std::min(wide, screen->availableGeometry().width() * 9 / 10);
    resize(std::max(width(), wide), height());
}

CReminderListDlg::~CReminderListDlg()
{
    // Only widths the user chose are kept: a fitted column fits again next time.
    for (int c = 0; c < CSettings::kReminderColumns; ++c) {
        if (m_fitted[size_t(c)] < 0)
            m_settings.setNumber(CSettings::Key(CSettings::ReminderColumn0 + c), m_list->columnWidth(c));
    }
}

const std::vector<int> &CReminderListDlg::displayOrder() const
{
    return m_model->order();
}

void CReminderListDlg::rebuild()
{
    m_model->rebuild();
    fitColumns();
}

void CReminderListDlg::fitColumns()
{
    constexpr int kWidestTitle = 400;  // a long title is cut rather than push the dates away
    m_bFitting = true;
    for (int c = 0; c < CSettings::kReminderColumns; ++c) {
        if (m_fitted[size_t(c)] < 0)
            continue;
        m_list->resizeColumnToContents(c);
        if (c == 0 && m_list->columnWidth(c) > kWidestTitle)
            m_list->setColumnWidth(c, kWidestTitle);
        m_fitted[size_t(c)] = m_list->columnWidth(c);
    }
    m_bFitting = false;
}

int CReminderListDlg::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CReminderListDlg::selectRow(int row)
{
    if (row >= 0 && row < m_model->rowCount())
        m_list->selectRow(row);
    enableRowButtons(selectedRow() >= 0);
}

void CReminderListDlg::enableRowButtons(bool on)
{
    m_show->setEnabled(on);
    m_edit->setEnabled(on);
    m_delete->setEnabled(on);
}

bool CReminderListDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onEdit();
            return true;
        }
        if (key == Qt::Key_Delete) {
            onDelete();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CReminderListDlg::onShow()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_chosen = m_model->order()[size_t(row)];
    accept();
}

void CReminderListDlg::onEdit()
{
    const int row = selectedRow();
    if (row >= 0 && m_editor) {
        const int index = m_model->order()[size_t(row)];
        if (m_editor(index)) {
            rebuild();
            // The rows are in a new order: the highlight follows the edited
            // note (a Delete next must not hit another one); a cleared
            // reminder leaves no row and no highlight.
            const std::vector<int> &order = m_model->order();
            const auto at = std::find(order.begin(), order.end(), index);
            selectRow(at == order.end() ? -1 : int(at - order.begin()));
        }
    }
    m_list->setFocus();
}

void CReminderListDlg::onDelete()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    Reminders::clear(m_doc, m_model->order()[size_t(row)]);
    m_doc.setModifiedFlag(true);
    rebuild();
    selectRow(row);  // the next row moves up; after the last row nothing is selected
    m_list->setFocus();
}
