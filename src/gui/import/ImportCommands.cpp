#include "import/ImportCommands.h"

#include "doc/TorviQuillbookDoc.h"
#include "import/ImportPlaceDlg.h"
#include "tree/InfoTree.h"

CImportCommands::CImportCommands(CTorviQuillbookDoc &doc, CInfoTree &tree, QWidget *parent, NewCommand newCommand)
    : QObject(parent)
    , m_doc(doc)
    , m_tree(tree)
    , m_parent(parent)
    , m_newCommand(std::move(newCommand))
    , m_importer(tree)
{
    m_tree.setImportRunner([this](int request) {
        if (request >= int(CImporter::Kind::Text) && request <= int(CImporter::Kind::Markdown))
            m_importer.run(CImporter::Kind(request), CImporter::Place::Root);
    });
}

CImportCommands::~CImportCommands()
{
    m_tree.setImportRunner({});
}

void CImportCommands::run(CImporter::Kind kind)
{
    emit activateTreePane();
    // An empty tree has no place to choose.
    if (m_tree.model().count() == 0) {
        m_importer.run(kind, CImporter::Place::Root);
        return;
    }
    CImportPlaceDlg dlg(m_parent);
    if (dlg.exec() != QDialog::Accepted)
        return;
    switch (dlg.place()) {
    case CImportPlaceDlg::kNewDocument:
        // The new document's tree runs the import once it is built.
        m_doc.m_nImport = int(kind);
        if (!m_newCommand || !m_newCommand())
            m_doc.m_nImport = CTorviQuillbookDoc::kNoImport;
        break;
    case CImportPlaceDlg::kAsRoot:
        m_importer.run(kind, CImporter::Place::Root);
        break;
    default:
        m_importer.run(kind, CImporter::Place::Selected);
        break;
    }
}
