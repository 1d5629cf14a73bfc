#include "about/AboutDlg.h"

#include "app/AppIdentity.h"
#include "about/LinkLabel.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CAboutDlg::CAboutDlg(QWidget *parent)
    : CAboutDlg([](const QUrl &url) { QDesktopServices::openUrl(url); }, parent)
{
}

CAboutDlg::CAboutDlg(UrlOpener opener, QWidget *parent)
    : QDialog(parent)
    , m_opener(std::move(opener))
{
    // The box has no title of its own; a screen reader still names it.
    setWindowTitle(QString());
    setAccessibleName(tr(kTitle));
    setModal(true);

    // The application's own icon, in the box and on its title bar.
    const QIcon icon = AppIdentity::applicationIcon();
    setWindowIcon(icon);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    auto *iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(iconSize, iconSize));

    auto *product = new QLabel(QString::fromLatin1(kProductText), this);
    product->setObjectName(QStringLiteral("product"));
    auto *web = new CLinkLabel(QString::fromLatin1(kWebSite), this);
    web->setObjectName(QStringLiteral("webLink"));
    auto *mail = new CLinkLabel(QString::fromLatin1(kSupportMail), this);
    mail->setObjectName(QStringLiteral("mailLink"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(iconLabel, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(web, 1, 1);
    layout->addWidget(mail, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setHorizontalSpacing(16);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(web, &CLinkLabel::clicked, this, [this] { m_opener(QUrl(QString::fromLatin1(kWebSite))); });
    connect(mail, &CLinkLabel::clicked, this,
            [this] { m_opener(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kSupportMail))); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // The links take the focus by Tab; Enter on the opened box is OK.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}
