#include "export/MarkdownExport.h"
#include <QCoreApplication>

#include "doc/DocumentFile.h"
#include "doc/ItemTables.h"
#include "io/FileStamp.h"
#include "export/ExportTree.h"
#include "export/MarkdownFormat.h"
#include "text/CodePage.h"
#include "text/FolderPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

int countUndefined(const QString &s)
{
    return int(std::count(s.cbegin(), s.cend(), QChar(CCodePage::kReplacement)));
}

// Creates folders and files below the temporary folder and says why one
// could not be made, naming the place the user chose. On Unix everything is
// made through a handle on the build folder, not through its path: moved
// away or swapped for a link midway, it is still the folder written, and a
// failed export finds it to remove it wherever it went.
class CFolderWriter
{
public:
    CFolderWriter(const QString &target, int closed) : m_target(target), m_closed(closed) {}
    CFolderWriter(const CFolderWriter &) = delete;
    CFolderWriter &operator=(const CFolderWriter &) = delete;
#ifdef Q_OS_UNIX
    ~CFolderWriter() { closeBuild(); }
#endif

    QString error() const { return m_error; }

    // Makes the build folder and holds it; every other path is relative to it.
    bool makeBuildFolder(const QString &path)
    {
        m_build = path;
#ifdef Q_OS_UNIX
        const QByteArray encoded = QFile::encodeName(path);
        if (::mkdir(encoded.constData(), mode_t(0777 & ~CDocumentFile::folderBits(m_closed))) != 0)
            return fail(errno, QString());
        m_fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_fd < 0) {
            const int error = errno;
            ::rmdir(encoded.constData());
            return fail(error, QString());
        }
        return true;
#else
        return QDir().mkdir(path) || fail(QFileDevice::WriteError, QString());
#endif
    }

    bool makeFolder(const QString &relative)
    {
#ifdef Q_OS_UNIX
        if (::mkdirat(m_fd, QFile::encodeName(relative).constData(), mode_t(0777 & ~CDocumentFile::folderBits(m_closed))) == 0)
            return true;
        return fail(errno, relative);
#else
        if (QDir().mkdir(m_build + QLatin1Char('/') + relative))
            return true;
        return fail(QFileDevice::WriteError, relative);
#endif
    }

    bool writeFile(const QString &relative, const QByteArray &bytes)
    {
#ifdef Q_OS_UNIX
        const int fd = ::openat(m_fd, QFile::encodeName(relative).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_t(0666 & ~m_closed));
        if (fd < 0)
            return fail(errno, relative);
        const char *p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, p, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int error = n < 0 ? errno : ENOSPC;
                ::close(fd);
                return fail(error, relative);
            }
            p += n;
            left -= n;
        }
        if (::close(fd) != 0)
            return fail(errno, relative);
        return true;
#else
        QFile file(m_build + QLatin1Char('/') + relative);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return fail(file.error(), relative);
        if (!CDocumentFile::writeAll(file, bytes) || !file.flush())
            return fail(file.error(), relative);
        file.close();
        return file.error() == QFileDevice::NoError || fail(file.error(), relative);
#endif
    }

    // Everything written reaches the disk before the rename makes it count.
    bool syncAll()
    {
#if defined(Q_OS_LINUX)
        return ::syncfs(m_fd) == 0 || fail(errno, QString());
#elif defined(Q_OS_UNIX)
        ::sync();
        return true;
#else
        return true;  // the files were closed; Windows writes them back on its own
#endif
    }

    // Removes the build folder and all in it, wherever it is now. Links in
    // it are removed, never followed.
    void removeBuild()
    {
#ifdef Q_OS_UNIX
        if (m_fd < 0)
            return;
        removeBelow(m_fd);
        struct stat own;
        if (::fstat(m_fd, &own) == 0) {
            // Where the folder is now, as the system knows it by the handle.
            char now[PATH_MAX];
            const ssize_t size = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(m_fd)).constData(), now, sizeof now - 1);
            QByteArray where = size > 0 ? QByteArray(now, size) : QFile::encodeName(m_build);
            struct stat there;
            if (::lstat(where.constData(), &there) != 0 || there.st_dev != own.st_dev || there.st_ino != own.st_ino)
                where = QFile::encodeName(m_build);
            if (::lstat(where.constData(), &there) == 0 && there.st_dev == own.st_dev && there.st_ino == own.st_ino)
                ::rmdir(where.constData());
        }
        closeBuild();
#else
        QDir(m_build).removeRecursively();
#endif
    }

    // The build is complete and moved into place: the handle is let go.
    void closeBuild()
    {
#ifdef Q_OS_UNIX
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
#endif
    }

#ifdef Q_OS_UNIX
    bool fail(int error, const QString &shown)
    {
        if (error == ENOSPC || error == EDQUOT)
            m_error = CDocumentFile::writeError(QFileDevice::ResourceError, m_target);
        else if (error == EACCES || error == EPERM || error == EROFS)
            m_error = CDocumentFile::writeError(QFileDevice::PermissionsError, m_target);
        else
            m_error = QCoreApplication::translate("CMarkdownExport", "Failed to write %1: %2.")
                          .arg(FolderPath::shown(shown.isEmpty() ? m_target : m_target + QLatin1Char('/') + shown),
                               QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
#else
    bool fail(QFileDevice::FileError error, const QString &shown)
    {
        Q_UNUSED(shown)
        m_error = CDocumentFile::writeError(error, m_target);
        return false;
    }
#endif

private:
#ifdef Q_OS_UNIX
    // Empties the folder open as `top`, one level held open at a time, so
    // that however deep the tree, few handles are used.
    static void removeBelow(int top)
    {
        std::vector<QByteArray> names;  // the way down from `top`
        int fd = ::dup(top);
        while (fd >= 0) {
            QByteArray sub;  // a folder that holds something still
            const int listed = ::dup(fd);
            if (DIR *dir = listed >= 0 ? ::fdopendir(listed) : nullptr) {
                while (const struct dirent *d = ::readdir(dir)) {
                    const char *name = d->d_name;
                    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                        continue;
                    if (::unlinkat(fd, name, 0) != 0 && ::unlinkat(fd, name, AT_REMOVEDIR) != 0 && sub.isEmpty())
                        sub = name;
                }
                ::closedir(dir);
            } else if (listed >= 0) {
                ::close(listed);
            }
            if (!sub.isEmpty()) {
                const int child = ::openat(fd, sub.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (child >= 0) {
                    ::close(fd);
                    fd = child;
                    names.push_back(sub);
                    continue;
                }
            }
            if (names.empty() || !sub.isEmpty()) {
                ::close(fd);
                return;  // done, or a folder that cannot be emptied: nothing more to gain
            }
            const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = parent;
            if (fd >= 0 && ::unlinkat(fd, names.back().constData(), AT_REMOVEDIR) != 0) {
                ::close(fd);
                return;
            }
            names.pop_back();
        }
    }

    int m_fd = -1;
#endif
    QString m_target;
    QString m_build;
    QString m_error;
    int m_closed;  // permission bits a new file or folder does not get
};

#ifdef Q_OS_UNIX
constexpr qsizetype kMaxPathBytes = PATH_MAX - 1;
#else
constexpr qsizetype kMaxPathBytes = 32000;
#endif

// A folder being built is named ".NAME.tqb-XXXXXXXX" and has beside it a
// mark, the same name with ".lock", which the export holds locked while it
// runs. A build folder whose mark nobody holds was left by an export that
// never finished (killed, a power cut): it may hold a protected document's
// notes in plain, so the next export into that place removes it. A folder
// of that name without a mark is not known to be ours and stays.
class CBuildMark
{
public:
    CBuildMark() = default;
    CBuildMark(const CBuildMark &) = delete;
    CBuildMark &operator=(const CBuildMark &) = delete;
    ~CBuildMark() { release(); }

    static QString pathFor(const QString &buildFolder) { return buildFolder + QLatin1String(".lock"); }

    // False when a mark of that name is there already.
    bool take(const QString &buildFolder)
    {
#ifdef Q_OS_UNIX
        m_path = QFile::encodeName(pathFor(buildFolder));
        m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd < 0)
            return false;
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            release();
            return false;
        }
#else
        Q_UNUSED(buildFolder)
#endif
        return true;
    }

    void release()
    {
#ifdef Q_OS_UNIX
        if (m_fd >= 0) {
            ::unlink(m_path.constData());
            ::close(m_fd);
            m_fd = -1;
        }
#endif
    }

    // Removes the build folders of this name in `place` whose export ended
    // without finishing, and marks left alone.
    static void removeAbandoned(const QString &place, const QString &name)
    {
#ifdef Q_OS_UNIX
        const QRegularExpression pattern(QLatin1String("^\\.") + QRegularExpression::escape(name)
                                         + QLatin1String("\\.tqb-[0-9a-f]{8}\\.lock$"));
        const QStringList marks = QDir(place).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &mark : marks) {
            if (!pattern.match(mark).hasMatch())
                continue;
            const QString markPath = place + QLatin1Char('/') + mark;
            const int fd = ::open(QFile::encodeName(markPath).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
            if (fd < 0)
                continue;
            struct stat info;
            // Locked: its export still runs.
            if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                const QString folder = markPath.chopped(5);
                const QFileInfo built(folder);
                if (built.isDir() && !built.isSymLink())
                    QDir(folder).removeRecursively();
                if (!QFileInfo::exists(folder))
                    ::unlink(QFile::encodeName(markPath).constData());
            }
            ::close(fd);
        }
#else
        Q_UNUSED(place)
        Q_UNUSED(name)
#endif
    }

private:
#ifdef Q_OS_UNIX
    QByteArray m_path;
    int m_fd = -1;
#endif
};

// Every entry of `folder` but the build folder and its mark.
bool holdsOnly(const QString &folder, const QString &buildFolder)
{
    const QString build = QFileInfo(buildFolder).fileName();
    const QString mark = QFileInfo(CBuildMark::pathFor(buildFolder)).fileName();
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry != build && entry != mark)
            return false;
    }
    return true;
}

}  // namespace

QByteArray CMarkdownExport::noteFile(const CItemTables &tables, const CCodePage &page, int item, int place,
                                     const QString &name, int &undefined)
{
    const QString title = page.toUnicode(tables.title(item));
    QString text = page.toUnicode(tables.text(item));
    undefined += countUndefined(title) + countUndefined(text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    markdown::CFrontMatter matter;
    if (name != title)
        matter.title = title;
    matter.order = place + 1;
    const CNoteInfo &info = tables.info(item);
    if (info.m_nIcons != tables.defaultIcons())
        matter.icons = info.m_nIcons;
    if (info.m_nRemind >= 0)
        matter.reminder = markdown::CReminderFields::of(info);
    if (info.m_nSort != 0)
        matter.sort = info.m_nSort;
    return markdown::writeNote(matter, text).toUtf8();
}

CMarkdownExport::Result CMarkdownExport::write(const CItemTables &tables, const CCodePage &page, const QString &dirPath,
                                               const QString &documentPath, bool ownerOnly)
{
    Result result;
    QString dir = QDir::cleanPath(QFileInfo(dirPath).absoluteFilePath());
    const QFileInfo target(dir);
    if (target.isSymLink() && !target.exists()) {
        result.error = CDocumentFile::danglingLinkText(dir);
        return result;
    }
    if (target.isSymLink() && target.exists())
        dir = target.canonicalFilePath();  // the folder the link names takes the export
    const QFileInfo info(dir);
    const bool exists = info.exists();
    if (exists && !info.isDir()) {
        result.error = QCoreApplication::translate("CMarkdownExport", kNotFolder).arg(FolderPath::shown(dir));
        return result;
    }
    // An existing empty folder is written into (it may be a mount point, which
    // nothing can be renamed over); a new one is built beside and renamed.
    const QString parent = info.absolutePath();
    const QString place = exists ? dir : parent;
    if (exists)
        CBuildMark::removeAbandoned(dir, info.fileName());
    else if (QFileInfo(parent).isDir())
        CBuildMark::removeAbandoned(parent, info.fileName());
    if (exists && !QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        result.error = QCoreApplication::translate("CMarkdownExport", kNotEmpty).arg(FolderPath::shown(dir));
        return result;
    }

    // Every name first, and every path measured, before anything is written.
    const CExportTree tree(tables);
    const auto &nodes = tree.nodes();
    std::vector<QString> names(nodes.size());
    {
        // "PLACE/.NAME.tqb-XXXXXXXX/", the longest a path is while it is built.
        const qsizetype base = QFile::encodeName(place).size() + QFile::encodeName(info.fileName()).size() + 16;
        std::vector<qsizetype> lengths(nodes.size());  // bytes of the relative path, without ".md"
        const auto nameSiblings = [&](int first) {
            markdown::CNameSet taken;
            for (int n = first; n >= 0; n = nodes[size_t(n)].nextSibling)
                names[size_t(n)] = taken.claim(markdown::safeName(page.toUnicode(tables.title(nodes[size_t(n)].item))));
        };
        nameSiblings(tree.firstRoot());
        for (size_t n = 0; n < nodes.size(); ++n) {
            const CExportTree::Node &node = nodes[n];
            lengths[n] = (node.parent >= 0 ? lengths[size_t(node.parent)] + 1 : 0) + QFile::encodeName(names[n]).size();
            if (base + lengths[n] + qsizetype(std::strlen(markdown::kExtension)) > kMaxPathBytes) {
                QString title = page.toUnicode(tables.title(node.item));
                if (title.size() > 80)
                    title = title.left(80) + QChar(0x2026);
                result.error = QCoreApplication::translate("CMarkdownExport", kPathTooLong).arg(title).arg(kMaxPathBytes);
                return result;
            }
            if (node.children > 0)
                nameSiblings(node.firstChild);
        }
    }

    // A protected document's notes in plain are for its owner alone.
    CFolderWriter writer(dir, ownerOnly ? 077 : CDocumentFile::closedBits(documentPath));
    // The folders made on the way to a new target go again when the export fails.
    QStringList madeParents;
    for (QString up = parent; !QFileInfo::exists(up) && up != QFileInfo(up).absolutePath(); up = QFileInfo(up).absolutePath())
        madeParents.prepend(up);
    if (!QDir().mkpath(parent)) {
        result.error = CDocumentFile::writeError(QFileDevice::PermissionsError, dir);
        return result;
    }
    const auto removeMadeParents = [&madeParents] {
        for (auto it = madeParents.crbegin(); it != madeParents.crend(); ++it)
            QDir().rmdir(*it);
    };

    // A hidden name, so that a file manager does not offer the half-written folder.
    QString temp;
    CBuildMark mark;
    for (int attempt = 0;; ++attempt) {
        temp = place + QStringLiteral("/.%1.tqb-%2")
                           .arg(info.fileName())
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const bool marked = mark.take(temp);
        if (marked && writer.makeBuildFolder(temp))
            break;
        mark.release();
        if ((!marked || QFileInfo::exists(temp)) && attempt < 16)
            continue;
        result.error = writer.error().isEmpty() ? CDocumentFile::writeError(QFileDevice::PermissionsError, dir) : writer.error();
        removeMadeParents();
        return result;
    }
    const auto abandon = [&] {
        writer.removeBuild();
        mark.release();
        removeMadeParents();
        result.error = writer.error();
        return result;
    };

    std::vector<QString> folders(nodes.size());  // relative path of each item that has children
    for (size_t n = 0; n < nodes.size(); ++n) {
        const CExportTree::Node &node = nodes[n];
        const QString &folder = node.parent >= 0 ? folders[size_t(node.parent)] : QString();
        const QString relative = folder.isEmpty() ? names[n] : folder + QLatin1Char('/') + names[n];
        const QByteArray bytes = noteFile(tables, page, node.item, node.place, names[n], result.undefined);
        const QString file = relative + QLatin1String(markdown::kExtension);
        if (!writer.writeFile(file, bytes))
            return abandon();
        if (++result.files == 1)
            CFileStamp::pauseForTest("TQB_TEST_EXPORT_PAUSE");
        if (node.children > 0) {
            if (!writer.makeFolder(relative))
                return abandon();
            folders[n] = relative;
        }
    }

    if (!writer.syncAll())
        return abandon();
    if (exists) {
        // Into the folder itself: what was built moves up a level, name by name.
        if (!holdsOnly(dir, temp)) {
            writer.removeBuild();
            result.error = QCoreApplication::translate("CMarkdownExport", kNotEmpty).arg(FolderPath::shown(dir));
            return result;
        }
        const QStringList built = QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (qsizetype i = 0; i < built.size(); ++i) {
            if (QDir().rename(temp + QLatin1Char('/') + built[i], dir + QLatin1Char('/') + built[i]))
                continue;
            // Back to where they were built, so that the folder is left as it was found.
            for (qsizetype j = 0; j < i; ++j)
                QDir().rename(dir + QLatin1Char('/') + built[j], temp + QLatin1Char('/') + built[j]);
            writer.removeBuild();
            mark.release();
            result.error = CDocumentFile::writeError(QFileDevice::RenameError, dir);
            return result;
        }
        writer.removeBuild();
        mark.release();
        CDocumentFile::syncFolder(dir);
        result.ok = true;
        return result;
    }
    if (!QDir().rename(temp, dir)) {
        const bool filled = QFileInfo(dir).isDir()
            && !QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        writer.removeBuild();
        mark.release();
        removeMadeParents();
        result.error = filled ? QCoreApplication::translate("CMarkdownExport", kNotEmpty).arg(FolderPath::shown(dir))
                              : CDocumentFile::writeError(QFileDevice::RenameError, dir);
        return result;
    }
    writer.closeBuild();
    mark.release();
    CDocumentFile::syncFolder(parent);
    result.ok = true;
    return result;
}
