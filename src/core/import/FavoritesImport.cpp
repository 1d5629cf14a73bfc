#include "import/FavoritesImport.h"
#include <QCoreApplication>

#include "Prompter.h"
#include "import/ImportFile.h"
#include "import/ImportLines.h"
#include "import/MarkupDepth.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <gumbo.h>

#include <cstdlib>
#include <cstddef>
#include <vector>

bool CFavoritesImport::isShortcutPath(const QString &path)
{
    return path.toLower().endsWith(QLatin1String(".url"));
}

bool CFavoritesImport::isShortcutName(const QString &name)
{
    return name.endsWith(QLatin1String("url"), Qt::CaseInsensitive);
}

bool CFavoritesImport::isBookmarkFile(const QString &path)
{
    return path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

QString CFavoritesImport::shortcutTitle(const QString &name)
{
    return name.size() >= 4 ? name.left(name.size() - 4) : name;
}

void CFavoritesImport::readShortcut(const QByteArray &bytes, bool &section, QByteArray &address)
{
    importlines::forEach(bytes, [&](QByteArrayView line) {
        qsizetype n = line.size();
        while (n > 0 && importlines::isSpace(line[n - 1]))
            --n;
        line = line.first(n);
        if (line.isEmpty())
            return;
        if (line.indexOf(QByteArrayView(kSection)) >= 0) {
            section = true;
            return;
        }
        if (!section)
            return;
        section = false;
        const qsizetype p = line.indexOf(QByteArrayView("URL="));
        if (p >= 0 && line.size() > p)
            address = line.sliced(p + 4).toByteArray();
    });
}

// ---------------------------------------------------------------- bookmark files

namespace {

// Every allocation of the HTML parser goes through here, so the tree can be
// freed in one sweep: the parser's own release walks the tree recursively,
// which a deeply nested file would turn into a stack overflow.
class CGumboMemory
{
public:
    CGumboMemory() { m_head.prev = m_head.next = &m_head; }
    ~CGumboMemory()
    {
        for (Header *h = m_head.next; h != &m_head;) {
            Header *next = h->next;
            std::free(h);
            h = next;
        }
    }
    CGumboMemory(const CGumboMemory &) = delete;
    CGumboMemory &operator=(const CGumboMemory &) = delete;

    static void *allocate(void *userdata, size_t size)
    {
        auto *self = static_cast<CGumboMemory *>(userdata);
        auto *h = static_cast<Header *>(std::malloc(sizeof(Header) + size));
        if (!h)
            std::abort();  // as the parser's own malloc would fail
        h->prev = &self->m_head;
        h->next = self->m_head.next;
        self->m_head.next->prev = h;
        self->m_head.next = h;
        return h + 1;
    }
    static void deallocate(void *userdata, void *ptr)
    {
        Q_UNUSED(userdata)
        if (!ptr)
            return;
        Header *h = static_cast<Header *>(ptr) - 1;
        h->prev->next = h->next;
        h->next->prev = h->prev;
        std::free(h);
    }

private:
    struct alignas(std::max_align_t) Header
    {
        Header *prev;
        Header *next;
    };
    Header m_head;
};

const GumboVector *childrenOf(const GumboNode *node)
{
    if (node->type == GUMBO_NODE_DOCUMENT)
        return &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE)
        return &node->v.element.children;
    return nullptr;
}

bool isElement(const GumboNode *node, GumboTag tag)
{
    return (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) && node->v.element.tag == tag;
}

// The text inside an element, white space runs made one blank.
QString textOf(const GumboNode *top)
{
    QByteArray utf8;
    std::vector<const GumboNode *> stack{top};
    while (!stack.empty()) {
        const GumboNode *node = stack.back();
        stack.pop_back();
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
            utf8 += node->v.text.text;
            continue;
        }
        if (const GumboVector *kids = childrenOf(node)) {
            for (unsigned i = kids->length; i > 0; --i)
                stack.push_back(static_cast<const GumboNode *>(kids->data[i - 1]));
        }
    }
    return QString::fromUtf8(utf8).simplified();
}

}  // namespace

bool CFavoritesImport::parseBookmarks(const QByteArray &utf8, IImportSink &sink, int parent,
                                      const ToCodePage &toCodePage)
{
    if (!markupdepth::withinLimit(utf8, kMaxBookmarkDepth))
        return false;
    CGumboMemory memory;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &CGumboMemory::allocate;
    options.deallocator = &CGumboMemory::deallocate;
    options.userdata = &memory;
    options.max_errors = 0;  // the errors are of no use here
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    if (!output)
        return true;

    // A folder is an <H3>; the list (<DL>) that opens after it, wherever the
    // parser put it, holds the folder's entries. A link is an <A HREF>.
    struct Frame
    {
        const GumboNode *node;
        unsigned next;
        int savedParent;  // for a <DL>: the parent to return to
    };
    constexpr int kNoFolder = IImportSink::kDestination - 100;
    int current = parent;
    int pending = kNoFolder;  // the folder whose list comes next
    std::vector<Frame> stack{{output->document, 0, current}};
    while (!stack.empty()) {
        Frame &frame = stack.back();
        const GumboVector *kids = childrenOf(frame.node);
        if (!kids || frame.next >= kids->length) {
            if (isElement(frame.node, GUMBO_TAG_DL)) {
                current = frame.savedParent;
                pending = kNoFolder;
            }
            stack.pop_back();
            continue;
        }
        const GumboNode *child = static_cast<const GumboNode *>(kids->data[frame.next++]);
        if (isElement(child, GUMBO_TAG_H3)) {
            pending = sink.add(current, toCodePage(textOf(child)), QByteArray());
        } else if (isElement(child, GUMBO_TAG_A)) {
            const GumboAttribute *href = gumbo_get_attribute(&child->v.element.attributes, "href");
            if (href) {
                const QString address = QString::fromUtf8(href->value).trimmed();
                QString title = textOf(child);
                if (title.isEmpty())
                    title = address;
                sink.add(current, toCodePage(title), toCodePage(address));
                pending = kNoFolder;
            }
        } else if (childrenOf(child)) {
            const int saved = current;
            if (isElement(child, GUMBO_TAG_DL) && pending != kNoFolder) {
                current = pending;
                pending = kNoFolder;
            }
            stack.push_back({child, 0, saved});
        }
    }
    // No gumbo_destroy_output: the memory goes with `memory`.
    return true;
}

// ---------------------------------------------------------------- the walk

CFavoritesImport::CFavoritesImport(IImportSink &sink, CImportDecoder &decoder, IPrompter &prompter)
    : m_sink(sink)
    , m_decoder(decoder)
    , m_prompter(prompter)
{
}

QByteArray CFavoritesImport::readShortcutFile(const QString &path, const QString &shownName, bool &section)
{
    const CImportFile file = CImportFile::read(path);
    QByteArray address;
    readShortcut(m_decoder.toCodePage(file.bytes, path), section, address);
    if (!file.refusal.isEmpty()) {
        m_readFailed = true;
        m_prompter.message(file.refusal);
    } else if (!file.ok) {
        m_readFailed = true;
        m_prompter.message(shownName + QCoreApplication::translate("CFavoritesImport", kUrlFileError));
    }
    return address;
}

QString CFavoritesImport::skippedLinksMessage(const QString &picked) const
{
    return QCoreApplication::translate("CFavoritesImport", kLinksSkipped).arg(QDir::toNativeSeparators(picked)).arg(m_skippedLinks);
}

int CFavoritesImport::walk(const QString &picked, int parent)
{
    QString path = picked;
    const QFileInfo info(path);
    if (!info.exists()) {
        m_readFailed = true;
        m_prompter.message(QCoreApplication::translate("CFavoritesImport", kNotFound).arg(QDir::toNativeSeparators(path)));
        return IImportSink::kFailed;
    }
    if (isShortcutPath(path)) {
        bool section = false;
        const QByteArray address = readShortcutFile(path, QString(), section);
        const QString title = shortcutTitle(titleFromFileName(info.fileName()));
        return m_sink.add(parent, m_decoder.fromUnicode(title, path), address);
    }
    if (isBookmarkFile(path) && !info.isDir()) {
        const CImportFile file = CImportFile::read(path);
        if (!file.refusal.isEmpty()) {
            m_readFailed = true;
            m_prompter.message(file.refusal);
            return IImportSink::kFailed;
        }
        const QByteArray utf8 = m_decoder.toUtf8(file.bytes);
        if (!markupdepth::withinLimit(utf8, kMaxBookmarkDepth)) {
            m_readFailed = true;
            m_prompter.message(
                QCoreApplication::translate("CFavoritesImport", kTooDeep).arg(QDir::toNativeSeparators(path)).arg(kMaxBookmarkDepth));
            return IImportSink::kFailed;
        }
        if (!file.ok) {
            m_readFailed = true;
            m_prompter.message(QCoreApplication::translate("CFavoritesImport", kTextFileError));
        }
        const int folder = m_sink.add(parent, m_decoder.fromUnicode(titleFromFileName(info.fileName()), path),
                                      m_decoder.fromUnicode(QDir::toNativeSeparators(path), path));
        if (folder >= 0) {
            parseBookmarks(utf8, m_sink, folder,
                           [&](const QString &text) { return m_decoder.fromUnicode(text, path); });
        }
        return folder;
    }
    if (!info.isDir()) {
        m_readFailed = true;
        m_prompter.message(QCoreApplication::translate("CFavoritesImport", kNotFavorites).arg(QDir::toNativeSeparators(path)));
        return IImportSink::kFailed;
    }
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator())))
        path.chop(1);
    QString name = titleFromFileName(QFileInfo(path).fileName());
    if (name.isEmpty())
        name = QDir::toNativeSeparators(path);
    const int folder = m_sink.add(parent, m_decoder.fromUnicode(name, path), QByteArray());
    if (folder >= 0)
        walkFolder(path, folder);
    return folder;
}

void CFavoritesImport::walkFolder(const QString &path, int parent)
{
    const QFileInfo here(path);
    if (!here.isDir() || !here.isReadable() || !QDir(path).isReadable()) {
        m_readFailed = true;
        m_prompter.message(QCoreApplication::translate("CFavoritesImport", "%1: the folder cannot be read.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    // Each real folder once per import: links between folders, back to an
    // ancestor or across, would otherwise walk them again and again.
    m_walked.insert(here.canonicalFilePath());
    bool section = false;  // one flag per folder, kept from shortcut to shortcut
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        const QString name = entry.fileName();
        if (entry.isDir()) {
            const QString target = entry.canonicalFilePath();
            if (target.isEmpty())
                continue;  // a link that leads nowhere
            if (m_walked.contains(target)) {
                ++m_skippedLinks;
                continue;
            }
            m_walked.insert(target);
            const int item =
                m_sink.add(parent, m_decoder.fromUnicode(titleFromFileName(name), entry.filePath()), QByteArray());
            if (item >= 0)
                walkFolder(entry.filePath(), item);
        } else if (entry.isFile() && isShortcutName(name)) {
            const QByteArray address = readShortcutFile(entry.filePath(), name, section);
            m_sink.add(parent, m_decoder.fromUnicode(shortcutTitle(titleFromFileName(name)), entry.filePath()),
                       address);
        }
    }
}
