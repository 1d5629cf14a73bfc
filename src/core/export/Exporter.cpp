#include "export/Exporter.h"
#include <QCoreApplication>

#include "doc/DocumentFile.h"
#include "doc/TorviQuillbookDoc.h"
#include "export/MarkdownExport.h"
#include "export/OutlineExport.h"
#include "text/CodePage.h"

#include <QFileInfo>

CExporter::CExporter(CTorviQuillbookDoc &doc, const CCodePage &page) : m_doc(doc), m_page(page) {}

bool CExporter::run(Kind kind)
{
    const char *question = kind == Kind::Markdown ? kMarkdownNotEncrypted
                           : kind == Kind::Html   ? kHtmlNotEncrypted
                                                  : kOpmlNotEncrypted;
    if (!m_doc.mayWritePlainCopy(QCoreApplication::translate("CExporter", question)))
        return false;
    QString path;
    if (kind == Kind::Markdown) {
        path = m_doc.prompter().chooseFolder(QCoreApplication::translate("CExporter", kMarkdownChooserTitle), m_doc.dialogFolder());
    } else {
        const bool html = kind == Kind::Html;
        QString proposed = m_doc.pathName();
        if (proposed.endsWith(QLatin1String(".tqb"), Qt::CaseInsensitive))
            proposed.chop(4);
        if (proposed.isEmpty())
            proposed = m_doc.documentFolder() + m_doc.title();
        proposed += html ? QLatin1String(".html") : QLatin1String(".opml");
        path = m_doc.chooseSavePath(proposed, QCoreApplication::translate("CExporter", html ? kHtmlFilters : kOpmlFilters),
                                    QCoreApplication::translate("CExporter", kExportTitle));
    }
    return !path.isEmpty() && exportTo(kind, path);
}

bool CExporter::exportTo(Kind kind, const QString &path)
{
    CBusyGuard guard(m_doc, CTorviQuillbookDoc::kBusyWriting);
    if (!guard)
        return false;
    bool ok = false;
    QString error;
    int undefined = 0;
    int dropped = 0;
    const QString name = m_doc.title();
    // A protected document's notes in plain are for its owner alone.
    const bool privateCopy = m_doc.hasPassword();
    switch (kind) {
    case Kind::Markdown: {
        const CMarkdownExport::Result r = CMarkdownExport::write(m_doc, m_page, path, m_doc.pathName(), privateCopy);
        ok = r.ok, error = r.error, undefined = r.undefined;
        break;
    }
    case Kind::Html: {
        const COutlineExport::Result r = COutlineExport::writeHtml(m_doc, m_page, name, path, m_doc.pathName(), privateCopy);
        ok = r.ok, error = r.error, undefined = r.undefined;
        break;
    }
    case Kind::Opml: {
        const COutlineExport::Result r = COutlineExport::writeOpml(m_doc, m_page, name, path, m_doc.pathName(), privateCopy);
        ok = r.ok, error = r.error, undefined = r.undefined, dropped = r.dropped;
        break;
    }
    }
    if (!ok) {
        m_doc.prompter().message(error);
        return false;
    }
    if (undefined > 0)
        m_doc.prompter().message(QCoreApplication::translate("CExporter", kUndefinedNote).arg(undefined).arg(m_page.name()));
    if (dropped > 0)
        m_doc.prompter().message(QCoreApplication::translate("CExporter", kDroppedNote).arg(dropped));
    emit m_doc.statusMessage(QCoreApplication::translate("CExporter", "Exported to %1").arg(CDocumentFile::displayPath(path)));
    return true;
}
