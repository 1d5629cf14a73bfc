#include "import/Importer.h"
#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"
#include "import/CsvImport.h"
#include "import/FavoritesImport.h"
#include "import/ImportFile.h"
#include "import/MarkdownImport.h"
#include "import/TextImport.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

// A title is one line, whatever the source held (an escaped line break in
// front matter, a quoted CSV field): each line break becomes a space.
QByteArray oneLine(const QByteArray &title)
{
    if (!title.contains('\n') && !title.contains('\r'))
        return title;
    QByteArray line = title;
    line.replace("\r\n", " ");
    line.replace('\r', ' ');
    line.replace('\n', ' ');
    return line;
}

// Appends to the infotree; ids are positions in the list of handles made.
class CTreeSink : public IImportSink
{
public:
    CTreeSink(CInfoTree &tree, CInfoTree::Handle destination) : m_tree(tree), m_destination(destination) {}

    int append(int parent, const QByteArray &title, const QByteArray &text, const CNoteInfo *info)
    {
        if (parent == kFailed || (parent != kDestination && (parent < 0 || size_t(parent) >= m_handles.size())))
            return kFailed;
        const CInfoTree::Handle under = parent == kDestination ? m_destination : m_handles[size_t(parent)];
        const CInfoTree::Handle item = m_tree.appendImportedItem(under, oneLine(title), text, info);
        if (item == CInfoTree::kNone)
            return kFailed;
        m_handles.push_back(item);
        return int(m_handles.size() - 1);
    }

    int add(int parent, const QByteArray &title, const QByteArray &text) override
    {
        return append(parent, title, text, nullptr);
    }

    int addWithInfo(int parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info) override
    {
        return append(parent, title, text, &info);
    }

    CInfoTree::Handle handle(int id) const
    {
        return id >= 0 && size_t(id) < m_handles.size() ? m_handles[size_t(id)] : CInfoTree::kNone;
    }

private:
    CInfoTree &m_tree;
    CInfoTree::Handle m_destination;
    std::vector<CInfoTree::Handle> m_handles;
};

// Keeps the items until the whole source was read, then gives them to
// another sink in the same order.
class CHeldSink : public IImportSink
{
public:
    int add(int parent, const QByteArray &title, const QByteArray &text) override
    {
        return hold(parent, title, text, nullptr);
    }

    int addWithInfo(int parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info) override
    {
        return hold(parent, title, text, &info);
    }

    // Adds every item held to `to`; the id there of the item held as `id`.
    int replay(IImportSink &to, int id)
    {
        std::vector<int> ids(m_items.size(), kFailed);
        for (size_t i = 0; i < m_items.size(); ++i) {
            Item &item = m_items[i];
            const int parent = item.parent == kDestination ? kDestination : ids[size_t(item.parent)];
            ids[i] = item.hasInfo ? to.addWithInfo(parent, item.title, item.text, item.info) : to.add(parent, item.title, item.text);
            item.title.clear();
            item.text.clear();
        }
        return id >= 0 && size_t(id) < ids.size() ? ids[size_t(id)] : kFailed;
    }

private:
    struct Item
    {
        int parent;
        QByteArray title;
        QByteArray text;
        CNoteInfo info;
        bool hasInfo;
    };

    int hold(int parent, const QByteArray &title, const QByteArray &text, const CNoteInfo *info)
    {
        if (parent == kFailed || (parent != kDestination && (parent < 0 || size_t(parent) >= m_items.size())))
            return kFailed;
        m_items.push_back({parent, title, text, info ? *info : CNoteInfo(), info != nullptr});
        return int(m_items.size() - 1);
    }

    std::vector<Item> m_items;
};

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

}  // namespace

CImporter::CImporter(CInfoTree &tree) : m_tree(tree) {}

QString CImporter::codePage() const
{
    return m_codePage.isEmpty() ? m_tree.document().settings().text(CSettings::CodePage) : m_codePage;
}

CImporter::Handle CImporter::destination(Place place) const
{
    return place == Place::Selected ? m_tree.model().selected() : CInfoTree::kNone;
}

CImporter::Handle CImporter::run(Kind kind, Place place)
{
    m_tree.forgetRecord();
    CTorviQuillbookDoc &doc = m_tree.document();
    IPrompter &prompter = doc.prompter();
    switch (kind) {
    case Kind::Text: {
        const QString path = prompter.chooseOpenFile(QCoreApplication::translate("CImporter", kOpenTitle), doc.dialogFolder(),
                                                     QCoreApplication::translate("CImporter", kTextFilters));
        return path.isEmpty() ? CInfoTree::kNone : importText(path, place);
    }
    case Kind::Csv: {
        const QString path = prompter.chooseOpenFile(QCoreApplication::translate("CImporter", kOpenTitle), doc.dialogFolder(),
                                                     QCoreApplication::translate("CImporter", kCsvFilters));
        return path.isEmpty() ? CInfoTree::kNone : importCsv(path, place);
    }
    case Kind::Favorites: {
        const QString path = prompter.chooseFileOrFolder(QCoreApplication::translate("CFavoritesImport", CFavoritesImport::kChooserTitle),
                                                         QDir::homePath(), QCoreApplication::translate("CImporter", kFavoritesFilters));
        return path.isEmpty() ? CInfoTree::kNone : importFavorites(path, place);
    }
    case Kind::Markdown: {
        const QString path = prompter.chooseFolder(QCoreApplication::translate("CImporter", kMarkdownChooserTitle), doc.dialogFolder());
        return path.isEmpty() ? CInfoTree::kNone : importMarkdown(path, place);
    }
    }
    return CInfoTree::kNone;
}

CImporter::Handle CImporter::importFile(const QString &path, Place place, const FolderTitle &folderTitle,
                                        const Parse &parse)
{
    CTorviQuillbookDoc &doc = m_tree.document();
    CImportDecoder decoder(codePage());
    m_readFailed = false;
    const CImportFile file = CImportFile::read(path);
    if (!file.refusal.isEmpty()) {
        // Not a file to import at all: no folder for it either.
        m_readFailed = true;
        doc.prompter().message(file.refusal);
        return CInfoTree::kNone;
    }
    Handle top = CInfoTree::kNone;
    {
        CTreeModel::ResetGuard reset(m_tree.model());
        CTreeSink sink(m_tree, destination(place));
        const int folder = sink.add(IImportSink::kDestination,
                                    folderTitle(decoder.fromUnicode(titleFromFileName(fileNameOf(path)), path)),
                                    decoder.fromUnicode(QDir::toNativeSeparators(path), path));
        top = sink.handle(folder);
        if (!file.ok) {
            m_readFailed = true;
            doc.prompter().message(QCoreApplication::translate("CImporter", kTextFileError));
        }
        if (folder >= 0)
            parse(decoder.toCodePage(file.bytes, path), decoder, sink, folder);
    }
    m_replaced = decoder.replaced();
    if (m_replaced > 0)
        doc.prompter().message(decoder.replacedMessage());
    finish(top, true);
    return top;
}

CImporter::Handle CImporter::importText(const QString &path, Place place)
{
    return importFile(path, place, &CTextImport::folderTitle,
                      [](const QByteArray &bytes, CImportDecoder &, IImportSink &sink, int folder) {
                          CTextImport::parse(bytes, sink, folder);
                      });
}

CImporter::Handle CImporter::importCsv(const QString &path, Place place, Header header)
{
    CTorviQuillbookDoc &doc = m_tree.document();
    return importFile(path, place, &CCsvImport::folderTitle,
                      [&doc, header](const QByteArray &bytes, CImportDecoder &decoder, IImportSink &sink, int folder) {
                          const auto ask = [&](const QByteArray &firstLine) {
                              if (header != Header::Ask)
                                  return header == Header::Yes;
                              const QString question = QCoreApplication::translate("CCsvImport", CCsvImport::kHeaderQuestion)
                                  + decoder.toUnicode(firstLine) + QLatin1Char(')');
                              return doc.prompter().message(question, IPrompter::Buttons::YesNoDefaultYes)
                                  == IPrompter::Answer::Yes;
                          };
                          CCsvImport::parse(bytes, ask, sink, folder);
                      });
}

CImporter::Handle CImporter::importFavorites(const QString &path, Place place)
{
    CTorviQuillbookDoc &doc = m_tree.document();
    CImportDecoder decoder(codePage());
    Handle top = CInfoTree::kNone;
    bool failed = false;
    {
        CTreeModel::ResetGuard reset(m_tree.model());
        CTreeSink sink(m_tree, destination(place));
        CFavoritesImport walk(sink, decoder, doc.prompter());
        top = sink.handle(walk.walk(path, IImportSink::kDestination));
        failed = walk.readFailed();
        if (walk.skippedLinks() > 0)
            doc.prompter().message(walk.skippedLinksMessage(path));
    }
    m_readFailed = failed;
    m_replaced = decoder.replaced();
    if (m_replaced > 0)
        doc.prompter().message(decoder.replacedMessage());
    finish(top, false);
    return top;
}

CImporter::Handle CImporter::importMarkdown(const QString &path, Place place)
{
    CTorviQuillbookDoc &doc = m_tree.document();
    CImportDecoder decoder(codePage());
    Handle top = CInfoTree::kNone;
    // The whole folder is read before anything is added: a folder that cannot
    // be read in full adds nothing, in the window as in tqb.
    CHeldSink held;
    CMarkdownImport walk(held, decoder, doc.defaultIcons());
    const int heldTop = walk.walk(path, IImportSink::kDestination);
    m_readFailed = walk.readFailed();
    m_skipReport = walk.report();
    if (m_readFailed) {
        doc.prompter().message(walk.failureReport());
        m_replaced = 0;
        return CInfoTree::kNone;
    }
    {
        CTreeModel::ResetGuard reset(m_tree.model());
        CTreeSink sink(m_tree, destination(place));
        top = sink.handle(held.replay(sink, heldTop));
    }
    m_replaced = decoder.replaced();
    if (m_replaced > 0)
        doc.prompter().message(decoder.replacedMessage());
    if (!m_skipReport.isEmpty())
        emit doc.statusMessage(m_skipReport);
    finish(top, false);
    return top;
}

void CImporter::finish(Handle top, bool expand)
{
    CTreeModel &model = m_tree.model();
    if (top != CInfoTree::kNone) {
        model.select(top);
        model.ensureVisible(top);
        if (expand)
            m_tree.expandBranch();  // forgets the record: it is set below
    }
    m_tree.collectOrder();
    m_tree.document().setModifiedFlag(true);
    emit m_tree.document().updateAllViews(CTorviQuillbookDoc::kHintShowItem);
    // Undo removes the whole import.
    if (top != CInfoTree::kNone)
        m_tree.recordAdded(top);
}
