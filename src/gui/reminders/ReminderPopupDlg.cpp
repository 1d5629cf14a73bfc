#include "reminders/ReminderPopupDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CReminderPopupDlg::CReminderPopupDlg(const QString &title, const QString &date, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Reminder"));
    setModal(true);

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto *titleLabel = new QLabel(title, this);
    titleLabel->setObjectName(QStringLiteral("title"));
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setMinimumWidth(220);
    auto *dateLabel = new QLabel(date, this);
    dateLabel->setObjectName(QStringLiteral("date"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *show = buttons->addButton(tr("&Show the note"), QDialogButtonBox::AcceptRole);
    show->setObjectName(QStringLiteral("show"));
    show->setDefault(true);
    QPushButton *close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(titleLabel, 0, 1);
    layout->addWidget(dateLabel, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    show->setFocus();
}
