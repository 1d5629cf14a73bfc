#include "backup/BackupDlg.h"

#include "Prompter.h"
#include "doc/BackupFolderCheck.h"
#include "text/FolderPath.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <iterator>

namespace {

constexpr int kMaxFolderLength = 256;

const char *const kPeriodNames[] = {QT_TRANSLATE_NOOP("CBackupDlg", "Every day"), QT_TRANSLATE_NOOP("CBackupDlg", "Every 3 days"),
                                    QT_TRANSLATE_NOOP("CBackupDlg", "Every week"), QT_TRANSLATE_NOOP("CBackupDlg", "Every 2 week"),
                                    QT_TRANSLATE_NOOP("CBackupDlg", "Every month")};
static_assert(std::size(kPeriodNames) == CBackupSettings::kPeriodChoices.size());

}  // namespace

CBackupDlg::CBackupDlg(const CBackupSettings &current, const QString &defaultFolder, IPrompter &prompter,
                       QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_choice(CBackupChoice::fromSettings(current, FolderPath::withTrailingSeparator(defaultFolder)))
{
    setWindowTitle(tr("Backup settings"));
    setModal(true);

    m_backup = new QCheckBox(tr("&Backup files"), this);
    m_backup->setObjectName(QStringLiteral("backup"));

    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("period"));
    m_period->setAccessibleName(tr("How often"));
    // On Linux a combo box is read out by its value; its name comes from the
    // label whose buddy it is. The dialog shows none for the period: this one
    // is for screen readers only.
    auto *periodLabel = new QLabel(tr("How often"), this);
    periodLabel->setBuddy(m_period);
    periodLabel->hide();
    for (const char *name : kPeriodNames)
        m_period->addItem(tr(name));

    m_versions = new QComboBox(this);
    m_versions->setObjectName(QStringLiteral("versions"));
    m_versions->setAccessibleName(tr("Versions kept"));
    for (int i = 1; i <= CBackupSettings::kMaxVersions; ++i)
        m_versions->addItem(QString::number(i));

    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("folder"));
    m_folder->setMaxLength(kMaxFolderLength);
    m_folder->setMinimumWidth(300);

    m_overview = new QPushButton(tr("&Overview"), this);
    m_overview->setObjectName(QStringLiteral("overview"));
    m_overview->setAutoDefault(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *counts = new QHBoxLayout;
    counts->addWidget(m_period);
    counts->addSpacing(12);
    auto *versionsLabel = new QLabel(tr("But no more &than"), this);
    versionsLabel->setBuddy(m_versions);
    counts->addWidget(versionsLabel);
    counts->addWidget(m_versions);
    counts->addWidget(new QLabel(tr("version"), this));
    counts->addStretch();

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_backup, 0, 0, 1, 2);
    layout->addLayout(counts, 1, 0, 1, 2);
    auto *folderLabel = new QLabel(tr("Backup it to &folder:"), this);
    folderLabel->setBuddy(m_folder);
    layout->addWidget(folderLabel, 2, 0, 1, 2);
    layout->addWidget(m_folder, 3, 0);
    layout->addWidget(m_overview, 3, 1);
    layout->addWidget(buttons, 4, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_backup->setChecked(m_choice.on);
    m_period->setCurrentIndex(m_choice.periodIndex);
    m_versions->setCurrentIndex(m_choice.versionIndex);
    m_folder->setText(m_choice.folder);
    onBackupToggled(m_backup->isChecked());

    connect(m_backup, &QCheckBox::toggled, this, &CBackupDlg::onBackupToggled);
    connect(m_overview, &QPushButton::clicked, this, &CBackupDlg::onOverview);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBackupDlg::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CBackupDlg::onBackupToggled(bool on)
{
    const QList<QWidget *> controls{m_folder, m_versions, m_period, m_overview};
    for (QWidget *control : controls)
        control->setEnabled(on);
}

void CBackupDlg::onOverview()
{
    const QString chosen = m_prompter.chooseFolder(tr("Select folder"));
    if (!chosen.isEmpty())
        m_folder->setText(FolderPath::withoutTrailingSeparator(chosen));
}

void CBackupDlg::onOk()
{
    m_choice.on = m_backup->isChecked();
    m_choice.versionIndex = m_versions->currentIndex();
    m_choice.periodIndex = m_period->currentIndex();
    // Switching backups off must not depend on the folder still existing:
    // the folder is neither stored nor used then.
    if (m_choice.on) {
        const std::optional<QString> folder = CBackupFolderCheck::accept(m_folder->text(), m_prompter);
        if (!folder)
            return;
        m_choice.folder = *folder;
        m_folder->setText(*folder);
    }
    accept();
}

CBackupSettings CBackupDlg::result(const CBackupSettings &before) const
{
    if (QDialog::result() != QDialog::Accepted)
        return before;
    return m_choice.applyTo(before);
}
