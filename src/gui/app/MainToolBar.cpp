#include "app/MainToolBar.h"

#include "IconTheme.h"
#include "Prompter.h"
#include "app/CommandTable.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>

const std::array<CMainToolBar::Position, CMainToolBar::kPositions> &CMainToolBar::positions()
{
    static const std::array<Position, kPositions> table{{
        {"New", 57600, 0},       {"Open", 57601, 1},      {"Save", 57603, 2},        {"Print", 57607, 3},
        {"separator", 0, -1},    {"Cut", 57635, 4},       {"Copy", 57634, 5},        {"Paste", 57637, 6},
        {"separator", 0, -1},    {"Undo", 57643, 7},      {"separator", 0, -1},      {"Root", 32775, 8},
        {"Note", 32773, 9},      {"separator", 0, -1},    {"Delete", 32774, 10},     {"separator", 0, -1},
        {"Expand", 32778, 11},   {"Collapse", 32779, 12}, {"separator", 0, -1},      {"Sort", 32810, 13},
        {"Icons", 32817, 14},    {"separator", 0, -1},    {"Reminder", 32819, 15},   {"Rem. list", 32825, 16},
        {"separator", 0, -1},    {"Find", 32785, 17},     {"separator", 0, -1},      {"Open URL", 32789, 18},
        {"separator", 0, -1},    {"Link", 32831, 19},     {"separator", 0, -1},      {"Generator", 32832, 20},
        {"separator", 0, -1},    {"Password", 32772, 21},
    }};
    return table;
}

namespace {

// Adwaita's names for the 24 images; any the theme lacks is drawn here.
const char *const kThemeNames[24] = {
    "document-new",  "document-open",  "document-save",  "document-print", "edit-cut",
    "edit-copy",     "edit-paste",     "edit-undo",      "folder-new",     "text-x-generic",
    "edit-delete",   "zoom-in",        "zoom-out",       "view-sort-ascending", "image-x-generic",
    "appointment-new", "x-office-calendar", "edit-find", "web-browser",    "insert-link",
    "dialog-password", "changes-prevent", "format-justify-fill", "view-sort-ascending",
};

QPixmap drawnFallback(int image)
{
    // A plain tile with the image's number: clearly a button, never blank.
    QPixmap pm(CMainToolBar::kImageSize, CMainToolBar::kImageSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(70, 110, 170));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 20, 20), 4, 4);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(2, 2, 20, 20), Qt::AlignCenter, QString::number(image));
    return pm;
}

QPixmap normalPixmap(int image)
{
    const QSize size(CMainToolBar::kImageSize, CMainToolBar::kImageSize);
    icontheme::ensure();
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(kThemeNames[image]));
    QPixmap pm = themed.isNull() ? drawnFallback(image) : themed.pixmap(size);
    if (pm.isNull())
        pm = drawnFallback(image);
    if (image == 23) {
        // Folders first: the alphabetical picture with a folder in the corner.
        const QIcon folder = QIcon::fromTheme(QStringLiteral("folder"));
        QPainter p(&pm);
        if (!folder.isNull())
            p.drawPixmap(12, 12, folder.pixmap(QSize(12, 12)));
        else
            p.fillRect(QRect(13, 15, 10, 7), QColor(220, 180, 60));
    }
    return pm;
}

QPixmap hotPixmap(const QPixmap &normal)
{
    // Under the mouse the picture lights up a little.
    QPixmap pm = normal;
    QPainter p(&pm);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(pm.rect(), QColor(255, 255, 255, 60));
    return pm;
}

}  // namespace

QIcon CMainToolBar::image(int image)
{
    Q_ASSERT(image >= 0 && image < 24);
    const QPixmap normal = normalPixmap(qBound(0, image, 23));
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(hotPixmap(normal), QIcon::Active);
    QStyleOption option;
    icon.addPixmap(QApplication::style()->generatedIconPixmap(QIcon::Disabled, normal, &option), QIcon::Disabled);
    return icon;
}

CMainToolBar::CMainToolBar(CCommandTable &commands, const CSettings &settings, QMenu *sortMenu, QWidget *parent)
    : QToolBar(QStringLiteral("Toolbar"), parent), m_commands(commands)
{
    setObjectName(QStringLiteral("toolbar"));
    setIconSize(QSize(kImageSize, kImageSize));
    setAllowedAreas(Qt::AllToolBarAreas);
    for (int pos = 0; pos < kPositions; ++pos) {
        if (!settings.toolbarButtonShown(pos))
            continue;
        const Position &p = positions()[size_t(pos)];
        if (p.command == 0) {
            addSeparator()->setObjectName(QStringLiteral("toolbarSeparator%1").arg(pos));
            continue;
        }
        QAction *a = commands.action(p.command);
        if (!a)
            continue;
        if (p.command == kSortButton) {
            addAction(a);
            if (auto *button = qobject_cast<QToolButton *>(widgetForAction(a))) {
                button->setMenu(sortMenu);
                button->setPopupMode(QToolButton::MenuButtonPopup);
            }
            continue;
        }
        if (a->icon().isNull())
            a->setIcon(image(p.image));
        addAction(a);
    }
}

void CMainToolBar::setSortImage(int img)
{
    if (img == m_sortImage)
        return;
    m_sortImage = img;
    if (QAction *a = m_commands.action(kSortButton))
        a->setIcon(image(img));
}

// ---------------------------------------------------------------- CToolbarDlg

CToolbarDlg::CToolbarDlg(CSettings &settings, IPrompter &prompter, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompter(prompter)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    auto *grid = new QGridLayout;
    constexpr int rows = 12;
    for (int pos = 0; pos < CMainToolBar::kPositions; ++pos) {
        auto *box = new QCheckBox(QString::fromLatin1(CMainToolBar::positions()[size_t(pos)].label), this);
        box->setObjectName(QStringLiteral("position%1").arg(pos));
        // The stored choice, not the running toolbar: it may wait for a restart.
        box->setChecked(settings.toolbarButtonShown(pos));
        grid->addWidget(box, pos % rows, pos / rows);
        m_boxes[size_t(pos)] = box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CToolbarDlg::accept()
{
    for (int pos = 0; pos < CMainToolBar::kPositions; ++pos)
        m_settings.setToolbarButtonShown(pos, m_boxes[size_t(pos)]->isChecked());
    QDialog::accept();
    m_prompter.message(QString::fromLatin1(kRestartMessage));
}
