#include "app/ShellRegistration.h"

#include <QDir>
#include <QSettings>

QList<QPair<QString, QString>> CShellRegistration::entries(const QString &programPath)
{
    const QString program = QLatin1Char('"') + QDir::toNativeSeparators(programPath) + QLatin1Char('"');
    const QString type = QString::fromLatin1(kTypeId);
    return {
        {QString::fromLatin1(kExtension) + QStringLiteral("/."), type},
        {type + QStringLiteral("/."), QString::fromLatin1(kTypeName)},
        {type + QStringLiteral("/DefaultIcon/."), QDir::toNativeSeparators(programPath) + QStringLiteral(",1")},
        {type + QStringLiteral("/shell/open/command/."), program + QStringLiteral(" \"%1\"")},
        {type + QStringLiteral("/shell/print/command/."), program + QStringLiteral(" /p \"%1\"")},
        {type + QStringLiteral("/shell/printto/command/."), program + QStringLiteral(" /pt \"%1\" \"%2\" \"%3\" \"%4\"")},
    };
}

void CShellRegistration::apply(QSettings &classes, const QString &programPath)
{
    for (const auto &[key, value] : entries(programPath))
        classes.setValue(key, value);
    classes.sync();
}

void CShellRegistration::registerForCurrentUser(const QString &programPath)
{
#ifdef Q_OS_WIN
    QSettings classes(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"), QSettings::NativeFormat);
    apply(classes, programPath);
#else
    Q_UNUSED(programPath)  // desktop files installed with the program do this on Linux
#endif
}
