#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QSettings;

// The registry entries that make the Windows shell open, print and show
// .tqb files with this program. Written at every start, so a moved program
// registers itself again.
class CShellRegistration
{
public:
    static constexpr const char *kExtension = ".tqb";
    static constexpr const char *kTypeId = "TorviQuillbook.Document";
    static constexpr const char *kTypeName = "TorviQ Document";

    // Key (relative to Software\Classes, "." for a key's default value) and value.
    static QList<QPair<QString, QString>> entries(const QString &programPath);
    static void apply(QSettings &classes, const QString &programPath);
    // The per-user classes root on Windows; does nothing elsewhere.
    static void registerForCurrentUser(const QString &programPath);
};
