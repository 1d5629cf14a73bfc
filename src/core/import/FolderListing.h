#pragma once

#include <QString>

#include <vector>

// One folder of an import, read as it is on disk: every entry with what it
// is, symbolic links resolved. A link is followed only when its target lies
// inside the folder being imported, so that an imported folder cannot pull
// in the rest of the machine; a link that leads nowhere or round in a
// circle is told apart from one that leads out. A link whose way inside
// passes through a hidden entry counts as hidden, as that entry does.
// Nothing is opened but the
// folder itself, so a named pipe cannot block the listing.
class CFolderListing
{
public:
    enum class Kind
    {
        File,         // a regular file (directly or through a link inside)
        Folder,       // likewise a folder
        Hidden,       // a name starting with "."
        BrokenLink,   // a link to nothing
        LinkLoop,     // a link that leads back to itself
        LinkOutside,  // a link whose target lies outside the imported folder
        Special,      // a named pipe, a socket or a device
        Unreadable,   // vanished or cannot be looked at
        TooLong,      // its path is longer than the system can name
    };
    enum class Status { Ok, Gone, Denied, TooLong, Failed };

    struct Entry
    {
        QString name;
        QString path;       // where to read it: the target of a followed link
        Kind kind = Kind::File;
        QString canonical;  // a folder's canonical path, to walk it once
        bool link = false;  // reached through a symbolic link
    };

    // When a folder last changed, as the listing saw it.
    struct Stamp
    {
        qint64 seconds = 0;
        qint64 nanoseconds = 0;
        quint64 inode = 0;
    };

    // Lists `folder`, whose canonical path is `canonical`; `root` is the
    // canonical path of the folder being imported. `stamp` is taken before
    // the entries are read.
    static Status list(const QString &folder, const QString &canonical, const QString &root, std::vector<Entry> &entries,
                       Stamp &stamp);
    // Whether `folder` is still there, unchanged since `stamp`: no entry
    // added, removed or renamed.
    static bool unchanged(const QString &folder, const Stamp &stamp);

    // Whether `path` (canonical) is `root` or lies below it.
    static bool isInside(const QString &path, const QString &root);
};
