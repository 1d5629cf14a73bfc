#include "app/MainToolBar.h"

#include "IconTheme.h"
#include "Prompter.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "settings/Settings.h"
#include "tree/ItemIcons.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

const std::array<CMainToolBar::Position, CMainToolBar::kPositions> &CMainToolBar::positions()
{
    // The labels are the check boxes' texts in the customizing dialog.
    static const std::array<Position, kPositions> table{{
        {QT_TRANSLATE_NOOP("CToolbarDlg", "New"), cmd::kNew},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Open"), cmd::kOpen},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Save"), cmd::kSave},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Print"), cmd::kPrint},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Cut"), cmd::kCut},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Copy"), cmd::kCopy},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Paste"), cmd::kPaste},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Undo"), cmd::kUndo},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Root"), cmd::kAddRoot},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Note"), cmd::kInsertNote},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Delete"), cmd::kDelete},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Expand"), cmd::kExpandAll},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Collapse"), cmd::kCollapseCmd},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Sort"), cmd::kSortButton},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Icons"), cmd::kSelectIcons},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Reminder"), cmd::kReminder},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Rem. list"), cmd::kRemindersList},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Find"), cmd::kFindReplace},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Open URL"), cmd::kOpenLink},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Link"), cmd::kLocalLink},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Generator"), cmd::kGenerator},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "separator"), 0},
        {QT_TRANSLATE_NOOP("CToolbarDlg", "Password"), cmd::kPassword},
    }};
    return table;
}

namespace {

// Our own picture of each image (res/icons/toolbar), and the theme's name
// for it where the common themes show that very subject; the others (a
// note with a plus, expand and collapse, the sort orders) are always ours.
struct ToolbarPicture
{
    const char *file;
    const char *themeName;
};
const ToolbarPicture kPictures[24] = {
    {"00-new", "document-new"},       {"01-open", "document-open"},
    {"02-save", "document-save"},     {"03-print", "document-print"},
    {"04-cut", "edit-cut"},           {"05-copy", "edit-copy"},
    {"06-paste", "edit-paste"},       {"07-undo", "edit-undo"},
    {"08-root", nullptr},             {"09-note", nullptr},
    {"10-delete", "edit-delete"},     {"11-expand", nullptr},
    {"12-collapse", nullptr},         {"13-sort-alpha", nullptr},
    {"14-icons", nullptr},            {"15-reminder", nullptr},
    {"16-reminder-list", nullptr},    {"17-find", "edit-find"},
    {"18-open-url", nullptr},         {"19-link", "insert-link"},
    {"20-generator", nullptr},        {"21-password", nullptr},
    {"22-sort-manual", nullptr},      {"23-sort-folder-first", nullptr},
};

QPixmap normalPixmap(int image)
{
    const QSize size(CMainToolBar::kImageSize, CMainToolBar::kImageSize);
    const ToolbarPicture &picture = kPictures[image];
    if (picture.themeName) {
        icontheme::ensure();
        const QIcon themed = QIcon::fromTheme(QString::fromLatin1(picture.themeName));
        const QPixmap pm = themed.isNull() ? QPixmap() : themed.pixmap(size);
        if (!pm.isNull())
            return pm;
    }
    return CItemIcons::svgIcon(QStringLiteral(":/icons/toolbar/%1.svg").arg(QLatin1String(picture.file))).pixmap(size);
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

QPixmap disabledPixmap(const QPixmap &normal)
{
    // Grey and faint, on every palette and for every picture: a grey theme
    // picture would look the same enabled and disabled if only its colours
    // went.
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int grey = qGray(c);
            line[x] = qRgba(grey, grey, grey, qAlpha(c) * 35 / 100);
        }
    }
    QPixmap out = QPixmap::fromImage(image);
    out.setDevicePixelRatio(normal.devicePixelRatio());
    return out;
}

// The command's name for a screen reader: the menu text without its
// shortcut column ("&New\tCtrl+N" gives "New").
QString spokenName(const QAction *a)
{
    const QString text = a->text().section(QLatin1Char('\t'), 0, 0);
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && ++i == text.size())
            break;
        name += text[i];
    }
    return name.trimmed();
}

}  // namespace

QIcon CMainToolBar::image(int image)
{
    Q_ASSERT(image >= 0 && image < 24);
    const QPixmap normal = normalPixmap(qBound(0, image, 23));
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(hotPixmap(normal), QIcon::Active);
    icon.addPixmap(disabledPixmap(normal), QIcon::Disabled);
    return icon;
}

CMainToolBar::CMainToolBar(CCommandTable &commands, const CSettings &settings, QMenu *sortMenu, QWidget *parent)
    : QToolBar(tr("Toolbar"), parent), m_commands(commands)
{
    setObjectName(QStringLiteral("toolbar"));
    setIconSize(QSize(kImageSize, kImageSize));
    setAllowedAreas(Qt::AllToolBarAreas);
    for (int pos = 0; pos < kPositions; ++pos) {
        if (settings.number(CSettings::ToolbarShown, pos) == 0)
            continue;
        const Position &p = positions()[size_t(pos)];
        if (p.command == 0) {
            addSeparator()->setObjectName(QStringLiteral("toolbarSeparator%1").arg(pos));
            continue;
        }
        QAction *a = commands.action(p.command);
        if (!a)
            continue;
        if (p.command != kSortButton && a->icon().isNull())
            a->setIcon(image(commands.command(p.command)->image));
        addAction(a);
        auto *button = qobject_cast<QToolButton *>(widgetForAction(a));
        if (!button)
            continue;
        if (p.command == kSortButton) {
            button->setMenu(sortMenu);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
        // Without a name of its own the button reads out the menu text,
        // tab and shortcut included.
        const auto name = [button, a] { button->setAccessibleName(spokenName(a)); };
        name();
        connect(a, &QAction::changed, button, name);
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
    setWindowTitle(tr(kCaption));
    auto *grid = new QGridLayout;
    constexpr int rows = 12;
    for (int pos = 0; pos < CMainToolBar::kPositions; ++pos) {
        auto *box = new QCheckBox(tr(CMainToolBar::positions()[size_t(pos)].label), this);
        box->setObjectName(QStringLiteral("position%1").arg(pos));
        // The stored choice, not the running toolbar: it may wait for a restart.
        box->setChecked(settings.number(CSettings::ToolbarShown, pos) != 0);
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
        m_settings.setNumber(CSettings::ToolbarShown, m_boxes[size_t(pos)]->isChecked() ? 1 : 0, pos);
    QDialog::accept();
    m_prompter.message(tr(kRestartMessage));
}
