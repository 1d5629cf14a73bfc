#include "app/SingleInstance.h"
#include "app/TorviQuillbookApp.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(CTorviQuillbookApp::kOrganization));
    QApplication::setApplicationName(QString::fromLatin1(CTorviQuillbookApp::kApplication));
    QApplication::setApplicationVersion(QStringLiteral("2.4"));

    // A program already running takes the file over and comes to the front.
    const QString file = CTorviQuillbookApp::fileArgument(QApplication::arguments());
    if (CSingleInstance::handOver(file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath()))
        return 0;

    CTorviQuillbookApp quillbook;
    CSingleInstance instance([&quillbook](const QString &handed) { quillbook.openFromAnotherInstance(handed); });
    instance.listen();
    if (!quillbook.startUp(QApplication::arguments()))
        return 1;
    return QApplication::exec();
}
