#include "export/OutlineExport.h"

#include "doc/DocumentFile.h"
#include "doc/ItemTables.h"
#include "export/ExportTree.h"
#include "text/CodePage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int kMaxIndent = 32;  // deeper levels are not indented further: the file stays linear

int countUndefined(const QString &s)
{
    return int(std::count(s.cbegin(), s.cend(), QChar(CCodePage::kReplacement)));
}

// C0 and C1 controls but tab and line feed: HTML does not allow them in text.
bool isHtmlControl(char16_t u)
{
    return (u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7F && u <= 0x9F);
}

// Text for an HTML element: the markup characters escaped, CR LF as LF and
// control characters (which HTML does not allow) shown as U+FFFD.
void appendEscaped(QString &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        case u'\'': out += QLatin1String("&#39;"); break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                break;  // the LF that follows ends the line
            out += QChar(u'\n');
            break;
        default:
            out += isHtmlControl(u) ? QChar(CCodePage::kReplacement) : QChar(u);
        }
    }
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Where an address that starts at `from` ends: at white space, a quote, an
// angle bracket or a closing bracket or parenthesis that it did not open
// ("(see https://x.org)", "[https://x.org](...)"), less the punctuation and
// emphasis marks that end a sentence or a span around it.
qsizetype addressEnd(QStringView text, qsizetype from)
{
    qsizetype end = from;
    int parentheses = 0;
    int brackets = 0;
    while (end < text.size()) {
        const QChar c = text[end];
        if (c.isSpace() || c == u'<' || c == u'>' || c == u'"' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            break;
        if (c == u'(')
            ++parentheses;
        else if (c == u'[')
            ++brackets;
        else if ((c == u')' && parentheses-- == 0) || (c == u']' && brackets-- == 0))
            break;
        ++end;
    }
    while (end > from && QStringView(u".,;:!?'`*").contains(text[end - 1]))
        --end;
    return end;
}

// The length of the scheme at `at` ("https://", "http://", "mailto:"), 0 when none.
qsizetype schemeAt(QStringView text, qsizetype at)
{
    for (QStringView scheme : {QStringView(u"https://"), QStringView(u"http://"), QStringView(u"mailto:")}) {
        if (text.size() - at >= scheme.size() && text.sliced(at, scheme.size()).compare(scheme, Qt::CaseInsensitive) == 0)
            return scheme.size();
    }
    return 0;
}

// An XML attribute value: escaped, line breaks as character references (a
// raw one would be read back as a blank), characters XML 1.0 cannot hold
// left out and counted.
void appendAttribute(QString &out, QStringView text, int &dropped)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'&': out += QLatin1String("&amp;"); continue;
        case u'<': out += QLatin1String("&lt;"); continue;
        case u'>': out += QLatin1String("&gt;"); continue;
        case u'"': out += QLatin1String("&quot;"); continue;
        case u'\t': out += QLatin1String("&#9;"); continue;
        case u'\n': out += QLatin1String("&#10;"); continue;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                continue;
            out += QLatin1String("&#10;");
            continue;
        default: break;
        }
        if (u < 0x20 || u == 0xFFFE || u == 0xFFFF
            || (QChar::isSurrogate(u)
                && !(QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
                && !(QChar::isLowSurrogate(u) && i > 0 && QChar::isHighSurrogate(text[i - 1].unicode())))) {
            ++dropped;
            continue;
        }
        out += QChar(u);
    }
}

const char kStyle[] =
    ":root{color-scheme:light dark;--bg:#fdfdfc;--fg:#1f2328;--muted:#59636e;--line:#d1d9e0;--link:#0757ba}\n"
    "@media (prefers-color-scheme:dark){:root{--bg:#16181c;--fg:#e6e6e6;--muted:#9198a1;--line:#3d444d;"
    "--link:#6cb6ff}}\n"
    "body{margin:1.5em auto;max-width:60em;padding:0 1em;background:var(--bg);color:var(--fg);"
    "font:16px/1.45 system-ui,-apple-system,\"Segoe UI\",sans-serif}\n"
    "h1{font-size:1.4em;font-weight:600}\n"
    "details{margin:.15em 0 .15em 1.1em}\n"
    "body>details{margin-left:0}\n"
    "summary{cursor:pointer;font-weight:600;padding:.1em 0}\n"
    "pre{margin:.3em 0 .6em 1.1em;padding:.5em .8em;border-left:3px solid var(--line);white-space:pre-wrap;"
    "overflow-wrap:anywhere;font:14px/1.4 ui-monospace,\"Cascadia Mono\",Consolas,monospace}\n"
    "a{color:var(--link)}\n";

}  // namespace

QString COutlineExport::linkified(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype done = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'h' && c != u'H' && c != u'm' && c != u'M')
            continue;
        if (i > 0 && isWordChar(text[i - 1]))
            continue;
        const qsizetype scheme = schemeAt(text, i);
        if (scheme == 0)
            continue;
        const qsizetype end = addressEnd(text, i);
        if (end <= i + scheme)
            continue;
        appendEscaped(out, text.sliced(done, i - done));
        const QStringView address = text.sliced(i, end - i);
        out += QLatin1String("<a href=\"");
        appendEscaped(out, address);
        out += QLatin1String("\" rel=\"noopener noreferrer\">");
        appendEscaped(out, address);
        out += QLatin1String("</a>");
        done = end;
        i = end - 1;
    }
    appendEscaped(out, text.sliced(done));
    return out;
}

QByteArray COutlineExport::html(const CItemTables &tables, const CCodePage &page, const QString &name, int *undefined)
{
    const CExportTree tree(tables);
    int bad = 0;
    QString out;
    out += QLatin1String("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                         "<meta name=\"color-scheme\" content=\"light dark\">\n<title>");
    appendEscaped(out, name);
    out += QLatin1String("</title>\n<style>\n") + QLatin1String(kStyle) + QLatin1String("</style>\n</head>\n<body>\n<h1>");
    appendEscaped(out, name);
    out += QLatin1String("</h1>\n");
    // Each item is a <details> closed after its branch: count the levels still open.
    std::vector<int> open;  // depths of the open <details>
    for (const CExportTree::Node &node : tree.nodes()) {
        while (!open.empty() && open.back() >= node.depth) {
            out += QLatin1String("</details>\n");
            open.pop_back();
        }
        const QString title = page.toUnicode(tables.title(node.item));
        const QString text = page.toUnicode(tables.text(node.item));
        bad += countUndefined(title) + countUndefined(text);
        out += node.depth == 0 ? QLatin1String("<details open><summary>") : QLatin1String("<details><summary>");
        appendEscaped(out, title);
        out += QLatin1String("</summary>\n");
        if (!text.isEmpty())
            out += QLatin1String("<pre>") + linkified(text) + QLatin1String("</pre>\n");
        open.push_back(node.depth);
    }
    for (size_t i = 0; i < open.size(); ++i)
        out += QLatin1String("</details>\n");
    out += QLatin1String("</body>\n</html>\n");
    if (undefined)
        *undefined = bad;
    return out.toUtf8();
}

QByteArray COutlineExport::opml(const CItemTables &tables, const CCodePage &page, const QString &name, int *dropped,
                                int *undefined)
{
    const CExportTree tree(tables);
    int left = 0;
    int bad = 0;
    QString out;
    out += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n<head>\n<title>");
    appendAttribute(out, name, left);
    out += QLatin1String("</title>\n<dateCreated>")
        + QLocale::c().toString(QDateTime::currentDateTimeUtc(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        + QLatin1String("</dateCreated>\n</head>\n<body>\n");
    const auto &nodes = tree.nodes();
    std::vector<int> open;  // depths of the open <outline>
    for (size_t n = 0; n < nodes.size(); ++n) {
        const CExportTree::Node &node = nodes[n];
        while (!open.empty() && open.back() >= node.depth) {
            out += QString(std::min(open.back(), kMaxIndent) + 1, QLatin1Char(' ')) + QLatin1String("</outline>\n");
            open.pop_back();
        }
        const QString title = page.toUnicode(tables.title(node.item));
        const QString text = page.toUnicode(tables.text(node.item));
        bad += countUndefined(title) + countUndefined(text);
        out += QString(std::min(node.depth, kMaxIndent) + 1, QLatin1Char(' '));
        out += QLatin1String("<outline text=\"");
        appendAttribute(out, title, left);
        out += QLatin1Char('"');
        if (!text.isEmpty()) {
            out += QLatin1String(" _note=\"");
            appendAttribute(out, text, left);
            out += QLatin1Char('"');
        }
        if (node.children > 0) {
            out += QLatin1String(">\n");
            open.push_back(node.depth);
        } else {
            out += QLatin1String("/>\n");
        }
    }
    while (!open.empty()) {
        out += QString(std::min(open.back(), kMaxIndent) + 1, QLatin1Char(' ')) + QLatin1String("</outline>\n");
        open.pop_back();
    }
    out += QLatin1String("</body>\n</opml>\n");
    if (dropped)
        *dropped = left;
    if (undefined)
        *undefined = bad;
    return out.toUtf8();
}

namespace {

// A folder, a device or a named pipe at `path` is refused before the
// document is even rendered: nothing there is replaced.
bool mayWrite(const QString &path, COutlineExport::Result &result)
{
    if (QFileInfo(path).isDir())
        result.error = QCoreApplication::translate("COutlineExport", COutlineExport::kIsFolder).arg(CDocumentFile::displayPath(path));
    else
        result.error = CDocumentFile::exportTargetProblem(path);
    return result.error.isEmpty();
}

void save(const QString &path, const QByteArray &bytes, const QString &documentPath, bool ownerOnly,
          COutlineExport::Result &result)
{
    const CDocumentFile::Result saved =
        CDocumentFile::save(path, bytes, {.newLike = documentPath, .namesTarget = true, .ownerOnly = ownerOnly});
    result.ok = saved.ok;
    result.error = saved.error;
}

}  // namespace

COutlineExport::Result COutlineExport::writeHtml(const CItemTables &tables, const CCodePage &page, const QString &name,
                                                 const QString &path, const QString &documentPath, bool ownerOnly)
{
    Result result;
    if (mayWrite(path, result))
        save(path, html(tables, page, name, &result.undefined), documentPath, ownerOnly, result);
    return result;
}

COutlineExport::Result COutlineExport::writeOpml(const CItemTables &tables, const CCodePage &page, const QString &name,
                                                 const QString &path, const QString &documentPath, bool ownerOnly)
{
    Result result;
    if (mayWrite(path, result))
        save(path, opml(tables, page, name, &result.dropped, &result.undefined), documentPath, ownerOnly, result);
    return result;
}
