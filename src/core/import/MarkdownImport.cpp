#include "import/MarkdownImport.h"
#include <QCoreApplication>

#include "export/MarkdownFormat.h"
#include "import/FolderListing.h"
#include "import/ImportFile.h"
#include "io/InputFile.h"
#include "text/FolderPath.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

namespace {

// Names as a file manager orders them: runs of digits by their value
// ("Day 9" before "Day 10"), the rest character by character.
int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            qsizetype si = i, sj = j;  // leading zeros do not count
            while (si + 1 < ei && a[si].digitValue() == 0)
                ++si;
            while (sj + 1 < ej && b[sj].digitValue() == 0)
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            for (; si < ei; ++si, ++sj) {
                if (a[si].digitValue() != b[sj].digitValue())
                    return a[si].digitValue() < b[sj].digitValue() ? -1 : 1;
            }
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    return i < a.size() ? 1 : j < b.size() ? -1 : 0;
}

}  // namespace

QString CMarkdownImport::textOf(const QByteArray &bytes) const
{
    if (CImportDecoder::isUtf16(bytes)) {
        // The decoder reads the mark, takes its byte order and drops it.
        QStringDecoder decoder(QStringDecoder::Utf16, QStringDecoder::Flag::Stateless);
        return decoder.decode(bytes);
    }
    bool bom = false;
    if (CImportDecoder::isUtf8(bytes, bom))
        return QString::fromUtf8(bom ? bytes.mid(3) : bytes);
    // Bytes the page leaves undefined read as U+FFFD and are counted as "?" later.
    return m_decoder.toUnicode(bytes);
}

struct CMarkdownImport::Entry
{
    QString name;       // the file's name without ".md", or the folder's
    QString file;       // path of NAME.md; empty for a folder without one
    QString folder;     // path of the folder NAME; empty for a note
    QString title;
    QString text;
    QString canonical;  // the folder's canonical path
    bool folderLink = false;  // the folder is reached through a link
    std::optional<double> order;
    CNoteInfo info;
};

CMarkdownImport::CMarkdownImport(IImportSink &sink, CImportDecoder &decoder, const std::array<qint32, 5> &defaultIcons)
    : m_sink(sink)
    , m_decoder(decoder)
    , m_defaultIcons(defaultIcons)
{
}

QString CMarkdownImport::report() const
{
    QStringList parts;
    if (m_hidden > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 hidden file(s) or folder(s)").arg(m_hidden);
    if (m_others > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 file(s) other than .md").arg(m_others);
    if (m_outside > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 link(s) leading outside the folder").arg(m_outside);
    if (m_links > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 link(s) to a folder imported already").arg(m_links);
    if (m_broken > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 broken link(s)").arg(m_broken);
    if (m_loops > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 link loop(s)").arg(m_loops);
    if (m_special > 0)
        parts << QCoreApplication::translate("CMarkdownImport", "%1 named pipe(s), socket(s) or device(s)").arg(m_special);
    return parts.isEmpty() ? QString() : QCoreApplication::translate("CMarkdownImport", "Skipped: ") + parts.join(QLatin1String(", ")) + QLatin1Char('.');
}

QString CMarkdownImport::failureReport() const
{
    if (m_problems.isEmpty())
        return {};
    // A folder of thousands of refused files is one message, not thousands.
    constexpr qsizetype kShown = 10;
    QStringList lines{QCoreApplication::translate("CMarkdownImport", kNothingImported).arg(m_problems.size())};
    lines += m_problems.mid(0, kShown);
    if (m_problems.size() > kShown)
        lines << QCoreApplication::translate("CMarkdownImport", kMoreProblems).arg(m_problems.size() - kShown);
    return lines.join(QLatin1Char('\n'));
}

bool CMarkdownImport::list(const QString &folder, const QString &canonical, std::vector<Entry> &entries)
{
    entries.clear();
    std::vector<CFolderListing::Entry> listed;
    CFolderListing::Stamp stamp;
    switch (CFolderListing::list(folder, canonical, m_root, listed, stamp)) {
    case CFolderListing::Status::Ok:
        m_listed.emplace_back(folder, stamp);
        break;
    case CFolderListing::Status::Gone:
        fail(QCoreApplication::translate("CMarkdownImport", kFolderGone).arg(FolderPath::shown(folder)));
        return false;
    case CFolderListing::Status::Denied:
        fail(CInputFile::deniedText(FolderPath::shown(folder)));
        return false;
    case CFolderListing::Status::TooLong:
        fail(QCoreApplication::translate("CMarkdownImport", kPathTooLong).arg(FolderPath::shown(folder)));
        return false;
    case CFolderListing::Status::Failed:
        fail(QCoreApplication::translate("CMarkdownImport", kFolderCannotBeRead).arg(FolderPath::shown(folder)));
        return false;
    }

    QHash<QString, size_t> byName;  // name -> entry, to pair NAME.md with NAME
    std::vector<const CFolderListing::Entry *> folders;
    for (const CFolderListing::Entry &l : listed) {
        switch (l.kind) {
        case CFolderListing::Kind::Hidden:
            ++m_hidden;
            break;
        case CFolderListing::Kind::BrokenLink:
            ++m_broken;
            break;
        case CFolderListing::Kind::LinkLoop:
            ++m_loops;
            break;
        case CFolderListing::Kind::LinkOutside:
            ++m_outside;
            break;
        case CFolderListing::Kind::Special:
            ++m_special;
            break;
        case CFolderListing::Kind::Unreadable:
            fail(QCoreApplication::translate("CMarkdownImport", kCannotRead).arg(FolderPath::shown(l.path)));
            break;
        case CFolderListing::Kind::TooLong:
            fail(QCoreApplication::translate("CMarkdownImport", kPathTooLong).arg(FolderPath::shown(l.path)));
            break;
        case CFolderListing::Kind::Folder:
            folders.push_back(&l);
            break;
        case CFolderListing::Kind::File:
            if (l.name.size() > 3 && l.name.endsWith(QLatin1String(markdown::kExtension), Qt::CaseInsensitive)) {
                Entry e;
                e.name = l.name.chopped(3);
                e.file = l.path;
                byName.insert(e.name, entries.size());
                entries.push_back(std::move(e));
            } else {
                ++m_others;
            }
            break;
        }
    }
    for (const CFolderListing::Entry *l : folders) {
        const auto found = byName.constFind(l->name);
        Entry *e = nullptr;
        if (found != byName.cend()) {
            e = &entries[*found];
        } else {
            entries.emplace_back();
            e = &entries.back();
            e->name = l->name;
        }
        e->folder = l->path;
        e->canonical = l->canonical;
        e->folderLink = l->link;
    }

    for (Entry &e : entries) {
        e.title = titleFromFileName(e.name);
        e.info.m_nSort = 0;
        e.info.m_nIcons = m_defaultIcons;
        if (e.file.isEmpty())
            continue;
        const CImportFile file = CImportFile::read(e.file);
        if (!file.refusal.isEmpty()) {
            fail(file.refusal);
            continue;
        }
        if (!file.ok) {
            fail(QCoreApplication::translate("CMarkdownImport", kCannotRead).arg(FolderPath::shown(e.file)));
            continue;
        }
        markdown::CNote note = markdown::readNote(textOf(file.bytes));
        // An escaped NUL would end the title wherever it is read as a C string.
        if (note.matter.title)
            e.title = note.matter.title->remove(QChar(0));
        e.text = std::move(note.text);
        e.order = note.matter.order;
        if (note.matter.icons)
            e.info.m_nIcons = *note.matter.icons;
        if (const auto &r = note.matter.reminder) {
            e.info.m_nRemind = r->mode;
            e.info.m_times = r->times;
            e.info.m_nKind = r->next;
        }
        if (note.matter.sort)
            e.info.m_nSort = *note.matter.sort;
    }

    // By "order:" first, then by name as a file manager sorts.
    std::vector<QString> keys;
    keys.reserve(entries.size());
    for (const Entry &e : entries)
        keys.push_back(e.name.toCaseFolded());
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const Entry &x = entries[a];
        const Entry &y = entries[b];
        if (x.order.has_value() != y.order.has_value())
            return x.order.has_value();
        if (x.order && *x.order != *y.order)
            return *x.order < *y.order;
        const int c = naturalCompare(keys[a], keys[b]);
        return c != 0 ? c < 0 : x.name < y.name;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
    return true;
}

int CMarkdownImport::walk(const QString &dirPath, int parent)
{
    QString dir = QDir::cleanPath(QFileInfo(dirPath).absoluteFilePath());
    const QFileInfo info(dir);
    if (!info.isDir()) {
        fail(QCoreApplication::translate("CMarkdownImport", kNotAFolder).arg(FolderPath::shown(dir)));
        return IImportSink::kFailed;
    }
    m_root = info.canonicalFilePath();
    QString name = titleFromFileName(info.fileName());
    if (name.isEmpty())
        name = QDir::toNativeSeparators(dir);
    CNoteInfo topInfo;
    topInfo.m_nSort = 0;
    topInfo.m_nIcons = m_defaultIcons;
    const int top = m_sink.addWithInfo(parent, m_decoder.fromUnicode(name, dir),
                                       m_decoder.fromUnicode(QDir::toNativeSeparators(dir), dir), topInfo);
    if (top < 0)
        return top;

    // Depth first without recursion: a frame per folder being walked.
    struct Frame
    {
        std::vector<Entry> entries;
        size_t next = 0;
        int parent;
    };
    std::vector<Frame> stack;
    const auto enter = [&](const QString &folder, const QString &canonical, int item) {
        std::vector<Entry> entries;
        if (list(folder, canonical, entries))
            stack.push_back({std::move(entries), 0, item});
    };
    m_walked.insert(m_root);
    enter(m_root, m_root, top);  // the folder itself may be given as a link
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next >= frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        Entry e = std::move(frame.entries[frame.next++]);
        const int parentId = frame.parent;
        // A folder is walked under its own name only: a link to it (whose
        // target lies inside, so it is walked there) is skipped, whichever
        // comes first.
        bool walkFolder = !e.folder.isEmpty();
        if (walkFolder) {
            if (e.folderLink || m_walked.contains(e.canonical)) {
                ++m_links;
                walkFolder = false;
                if (e.file.isEmpty())
                    continue;
            } else {
                m_walked.insert(e.canonical);
            }
        }
        const QString source = e.file.isEmpty() ? e.folder : e.file;
        const int id = m_sink.addWithInfo(parentId, m_decoder.fromUnicode(e.title, source),
                                          m_decoder.fromUnicode(e.text, source), e.info);
        if (walkFolder && id >= 0)
            enter(e.folder, e.canonical, id);  // `frame` may move: not used after this
    }
    // A folder changed or removed meanwhile may have lost entries before it
    // was listed, or files after: what was read is not the folder.
    for (const auto &[folder, stamp] : m_listed) {
        if (CFolderListing::unchanged(folder, stamp))
            continue;
        fail(QCoreApplication::translate("CMarkdownImport", QFileInfo::exists(folder) ? kFolderChanged : kFolderGone)
                 .arg(FolderPath::shown(folder)));
    }
    return top;
}
