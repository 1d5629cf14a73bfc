#include "app/TorviQuillbookApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(CTorviQuillbookApp::kOrganization));
    QApplication::setApplicationName(QString::fromLatin1(CTorviQuillbookApp::kApplication));
    QApplication::setApplicationVersion(QStringLiteral("2.4"));
    CTorviQuillbookApp quillbook;
    if (!quillbook.startUp(QApplication::arguments()))
        return 1;
    return QApplication::exec();
}
