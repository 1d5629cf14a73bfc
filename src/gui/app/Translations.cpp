#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool Translations::install(const QLocale &locale)
{
    // Qt's translations come with Qt (Debian: qt6-translations-l10n); ours
    // are built into the program.
    auto *qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    auto *own = new QTranslator(QCoreApplication::instance());
    if (own->load(locale, QStringLiteral("torvi-quillbook"), QStringLiteral("_"), QStringLiteral(":/translations"))) {
        QCoreApplication::installTranslator(own);
        return true;
    }
    delete own;
    return false;
}
