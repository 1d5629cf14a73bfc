#include "app/AppIdentity.h"
#include "app/CommandLine.h"
#include "app/HelpAndVersion.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "app/TorviQuillbookApp.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = HelpAndVersion::answer(argc, argv))
        return *answered;

    QApplication app(argc, argv);
    AppIdentity::apply();
    Translations::install();
    // Qt has taken its own switches out by now: what is left must be ours.
    if (const QString unknown = CCommandLine::unknownOptions(QApplication::arguments()); !unknown.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(unknown));
        return 2;
    }

    // A program already running takes the file over and comes to the front.
    // A print request (/p, /pt) prints here and ends; it is never handed over.
    // File names are resolved here, before anything changes the current folder.
    CCommandLine line = CCommandLine::parse(QApplication::arguments());
    line.resolveAgainst(QDir::currentPath());
    // From the hand-over to listening one start at a time: of two starts at
    // the same moment the second then finds the first listening. A start
    // that cannot get the lock in time goes on without it.
    QLockFile startLock(CSingleInstance::startLockPath());
    startLock.setStaleLockTime(0);
    startLock.tryLock(10000);
    if (!line.prints() && CSingleInstance::handOver(line.file))
        return 0;

    CTorviQuillbookApp quillbook;
    CSingleInstance instance([&quillbook](const QString &handed) { quillbook.openFromAnotherInstance(handed); });
    instance.listen();
    startLock.unlock();
    if (!quillbook.startUp(QApplication::arguments()))
        return quillbook.exitCode();
    return QApplication::exec();
}
