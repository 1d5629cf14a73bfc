#include "app/AppIdentity.h"

#include "Version.h"
#include "app/TorviQuillbookApp.h"

#include <QApplication>

QIcon AppIdentity::applicationIcon()
{
    return QIcon::fromTheme(QString::fromLatin1(kIconName), QIcon(QStringLiteral(":/appicon/torvi-quillbook.svg")));
}

void AppIdentity::apply()
{
    QApplication::setOrganizationName(QString::fromLatin1(CTorviQuillbookApp::kOrganization));
    QApplication::setApplicationName(QString::fromLatin1(CTorviQuillbookApp::kApplication));
    QApplication::setApplicationVersion(QStringLiteral(TQB_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setWindowIcon(applicationIcon());
}
