#include "doc/BackupFolderCheck.h"

#include "Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool endsWithSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator());
}

}  // namespace

QString CBackupFolderCheck::withoutTrailingSeparator(const QString &folder)
{
    if (folder.size() > 1 && endsWithSeparator(folder))
        return folder.chopped(1);
    return folder;
}

QString CBackupFolderCheck::withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || endsWithSeparator(folder))
        return folder;
    return folder + QLatin1Char('/');
}

std::optional<QString> CBackupFolderCheck::accept(const QString &folderText, IPrompter &prompter)
{
    const QString folder = withoutTrailingSeparator(folderText);
    if (folder.isEmpty()) {
        prompter.message(QStringLiteral("Enter the folder for the backup copies."));
        return std::nullopt;
    }
    const QFileInfo info(folder);
    if (info.isDir())
        return withTrailingSeparator(folder);
    if (info.exists()) {
        // Without a word the dialog would just refuse to close.
        prompter.message(QStringLiteral("This name belongs to a file, not a folder:\n") + folder);
        return std::nullopt;
    }
    if (prompter.message(QStringLiteral("Do you want to create this folder?\n") + folder, IPrompter::Buttons::OkCancel)
        != IPrompter::Answer::Ok) {
        return std::nullopt;
    }
    if (!QDir().mkpath(folder)) {
        prompter.message(QStringLiteral("The folder could not be created:\n") + folder);
        return std::nullopt;
    }
    return withTrailingSeparator(folder);
}
