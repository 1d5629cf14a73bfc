#include "doc/BackupFolderCheck.h"
#include <QCoreApplication>

#include "Prompter.h"
#include "text/FolderPath.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> CBackupFolderCheck::accept(const QString &folderText, IPrompter &prompter)
{
    const QString folder = FolderPath::withoutTrailingSeparator(folderText);
    if (folder.isEmpty()) {
        prompter.message(QCoreApplication::translate("BackupFolderCheck", "Enter the folder for the backup copies."));
        return std::nullopt;
    }
    const QFileInfo info(folder);
    if (info.isDir())
        return FolderPath::withTrailingSeparator(folder);
    if (info.exists()) {
        // Without a word the dialog would just refuse to close.
        prompter.message(QCoreApplication::translate("BackupFolderCheck", "This name belongs to a file, not a folder:\n") + folder);
        return std::nullopt;
    }
    if (prompter.message(QCoreApplication::translate("BackupFolderCheck", "Do you want to create this folder?\n") + folder, IPrompter::Buttons::OkCancelDefaultOk)
        != IPrompter::Answer::Ok) {
        return std::nullopt;
    }
    if (!QDir().mkpath(folder)) {
        prompter.message(QCoreApplication::translate("BackupFolderCheck", "The folder could not be created:\n") + folder);
        return std::nullopt;
    }
    return FolderPath::withTrailingSeparator(folder);
}
