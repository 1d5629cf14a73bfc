#include "IconTheme.h"

#include <QIcon>
#include <QStandardPaths>
#include <QStringList>

void icontheme::ensure()
{
    static const bool done = [] {
        QStringList paths = QIcon::themeSearchPaths();
        paths << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                           QStandardPaths::LocateDirectory);
        paths.removeDuplicates();
        QIcon::setThemeSearchPaths(paths);
        // The packaged Adwaita stands behind whatever the desktop chose.
        if (QIcon::themeName().isEmpty())
            QIcon::setThemeName(QStringLiteral("hicolor"));
        if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
            QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    Q_UNUSED(done)
}
