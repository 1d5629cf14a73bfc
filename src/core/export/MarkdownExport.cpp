#include "export/MarkdownExport.h"
#include <QCoreApplication>

#include "doc/DocumentFile.h"
#include "doc/ItemTables.h"
#include "export/ExportTree.h"
#include "export/MarkdownFormat.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

int countUndefined(const QString &s)
{
    return int(std::count(s.cbegin(), s.cend(), QChar(CCodePage::kReplacement)));
}

// Creates folders and files below the temporary folder and says why one
// could not be made, naming the place the user chose.
class CFolderWriter
{
public:
    CFolderWriter(const QString &target, int closed) : m_target(target), m_closed(closed) {}

    QString error() const { return m_error; }

    bool makeFolder(const QString &path, const QString &shown)
    {
#ifdef Q_OS_UNIX
        if (::mkdir(QFile::encodeName(path).constData(), mode_t(0777 & ~CDocumentFile::folderBits(m_closed))) == 0)
            return true;
        return fail(errno, shown);
#else
        if (QDir().mkdir(path))
            return true;
        return fail(QFileDevice::WriteError, shown);
#endif
    }

    bool writeFile(const QString &path, const QByteArray &bytes, const QString &shown)
    {
#ifdef Q_OS_UNIX
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                mode_t(0666 & ~m_closed));
        if (fd < 0)
            return fail(errno, shown);
        const char *p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, p, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int error = n < 0 ? errno : ENOSPC;
                ::close(fd);
                return fail(error, shown);
            }
            p += n;
            left -= n;
        }
        if (::close(fd) != 0)
            return fail(errno, shown);
        return true;
#else
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return fail(file.error(), shown);
        if (!CDocumentFile::writeAll(file, bytes) || !file.flush())
            return fail(file.error(), shown);
        file.close();
        return file.error() == QFileDevice::NoError || fail(file.error(), shown);
#endif
    }

    // Everything written reaches the disk before the rename makes it count.
    bool syncAll(const QString &folder)
    {
#if defined(Q_OS_LINUX)
        const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return fail(errno, QString());
        const bool synced = ::syncfs(fd) == 0;
        const int error = errno;
        ::close(fd);
        return synced || fail(error, QString());
#elif defined(Q_OS_UNIX)
        Q_UNUSED(folder)
        ::sync();
        return true;
#else
        Q_UNUSED(folder)
        return true;  // the files were closed; Windows writes them back on its own
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
                          .arg(CDocumentFile::displayPath(shown.isEmpty() ? m_target : m_target + QLatin1Char('/') + shown),
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
    QString m_target;
    QString m_error;
    int m_closed;  // permission bits a new file or folder does not get
};

// Puts the finished folder in the target's place: over an empty folder of
// that name when there is one.
bool renameFolder(const QString &from, const QString &to, bool targetExists)
{
#ifdef Q_OS_UNIX
    Q_UNUSED(targetExists)
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#else
    if (targetExists && !QDir().rmdir(to))
        return false;
    return QDir().rename(from, to);
#endif
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
    return markdown::writeFrontMatter(matter).toUtf8() + text.toUtf8();
}

CMarkdownExport::Result CMarkdownExport::write(const CItemTables &tables, const CCodePage &page, const QString &dirPath,
                                               const QString &documentPath)
{
    Result result;
    QString dir = QDir::cleanPath(QFileInfo(dirPath).absoluteFilePath());
    const QFileInfo target(dir);
    if (target.isSymLink() && target.exists())
        dir = target.canonicalFilePath();  // the folder the link names takes the export
    const QFileInfo info(dir);
    const bool exists = info.exists();
    if (exists && !info.isDir()) {
        result.error = QCoreApplication::translate("CMarkdownExport", kNotFolder).arg(CDocumentFile::displayPath(dir));
        return result;
    }
    if (exists && !QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        result.error = QCoreApplication::translate("CMarkdownExport", kNotEmpty).arg(CDocumentFile::displayPath(dir));
        return result;
    }
    const QString parent = info.absolutePath();
    CFolderWriter writer(dir, CDocumentFile::closedBits(documentPath));
    if (!QDir().mkpath(parent)) {
        result.error = CDocumentFile::writeError(QFileDevice::PermissionsError, dir);
        return result;
    }

    // A hidden name, so that a file manager does not offer the half-written folder.
    QString temp;
    for (int attempt = 0;; ++attempt) {
        temp = parent + QStringLiteral("/.%1.tqb-%2")
                            .arg(info.fileName())
                            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (writer.makeFolder(temp, QString()))
            break;
        if (QFileInfo::exists(temp) && attempt < 16)
            continue;
        result.error = writer.error();
        return result;
    }
    const auto abandon = [&] {
        QDir(temp).removeRecursively();
        result.error = writer.error();
        return result;
    };

    const CExportTree tree(tables);
    const auto &nodes = tree.nodes();
    std::vector<QString> names(nodes.size());
    std::vector<QString> folders(nodes.size());  // relative path of each item that has children
    const auto nameSiblings = [&](int first) {
        markdown::CNameSet taken;
        for (int n = first; n >= 0; n = nodes[size_t(n)].nextSibling)
            names[size_t(n)] = taken.claim(markdown::safeName(page.toUnicode(tables.title(nodes[size_t(n)].item))));
    };
    nameSiblings(tree.firstRoot());
    for (size_t n = 0; n < nodes.size(); ++n) {
        const CExportTree::Node &node = nodes[n];
        const QString &folder = node.parent >= 0 ? folders[size_t(node.parent)] : QString();
        const QString relative = folder.isEmpty() ? names[n] : folder + QLatin1Char('/') + names[n];
        const QByteArray bytes = noteFile(tables, page, node.item, node.place, names[n], result.undefined);
        const QString file = relative + QLatin1String(markdown::kExtension);
        if (!writer.writeFile(temp + QLatin1Char('/') + file, bytes, file))
            return abandon();
        ++result.files;
        if (node.children > 0) {
            if (!writer.makeFolder(temp + QLatin1Char('/') + relative, relative))
                return abandon();
            folders[n] = relative;
            nameSiblings(node.firstChild);
        }
    }

    if (!writer.syncAll(temp))
        return abandon();
    if (!renameFolder(temp, dir, exists)) {
        const bool filled = QFileInfo(dir).isDir()
            && !QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        QDir(temp).removeRecursively();
        result.error = filled ? QCoreApplication::translate("CMarkdownExport", kNotEmpty).arg(CDocumentFile::displayPath(dir))
                              : CDocumentFile::writeError(QFileDevice::RenameError, dir);
        return result;
    }
    CDocumentFile::syncFolder(parent);
    result.ok = true;
    return result;
}
