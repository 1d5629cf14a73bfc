#pragma once

#include <QString>

#include <optional>

class IPrompter;

// Decides whether the folder typed into the backup dialog can take the copies,
// creating it when the user agrees.
class CBackupFolderCheck
{
public:
    // The folder to store, ending with a separator, or nothing when the dialog
    // has to stay open (the user declined, or the name cannot be a folder).
    static std::optional<QString> accept(const QString &folderText, IPrompter &prompter);

};
