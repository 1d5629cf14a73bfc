#include "settings/DocumentFlags.h"

#include "text/FolderPath.h"

#include "settings/Settings.h"

#include <QDir>

CDocumentFlags CDocumentFlags::load(const CSettings &settings)
{
    CDocumentFlags flags;
    flags.m_nAutoSave = settings.autoSave();
    flags.m_nCollapse = settings.collapse();
    flags.m_bLastFile = settings.lastFile() == 1;
    flags.m_bDblU = settings.dblU() == 1;
    flags.m_bDblM = settings.dblM() == 1;
    flags.m_bDblP = settings.dblP() == 1;
    flags.m_bDblF = settings.dblF() == 1;
    flags.m_nSortType = settings.sortType();
    flags.m_strStartPath = settings.startPath();
    return flags;
}

void CDocumentFlags::toggleAutoSave(CSettings &settings)
{
    m_nAutoSave = m_nAutoSave == 0 ? 1 : 0;
    settings.setAutoSave(m_nAutoSave);
}

void CDocumentFlags::toggleLastFile(CSettings &settings)
{
    m_bLastFile = !m_bLastFile;
    settings.setLastFile(m_bLastFile ? 1 : 0);
}

void CDocumentFlags::toggleCollapse(CSettings &settings)
{
    m_nCollapse = m_nCollapse == 0 ? 1 : 0;
    settings.setCollapse(m_nCollapse);
}

void CDocumentFlags::toggleDblU(CSettings &settings)
{
    m_bDblU = !m_bDblU;
    settings.setDblU(m_bDblU ? 1 : 0);
}

void CDocumentFlags::toggleDblM(CSettings &settings)
{
    m_bDblM = !m_bDblM;
    settings.setDblM(m_bDblM ? 1 : 0);
}

void CDocumentFlags::toggleDblP(CSettings &settings)
{
    m_bDblP = !m_bDblP;
    settings.setDblP(m_bDblP ? 1 : 0);
}

void CDocumentFlags::toggleDblF(CSettings &settings)
{
    m_bDblF = !m_bDblF;
    settings.setDblF(m_bDblF ? 1 : 0);
}

void CDocumentFlags::setDefaultSortType(CSettings &settings, int sortType)
{
    m_nSortType = sortType;
    settings.setSortType(sortType);
}

void CDocumentFlags::useProgramFolder(CSettings &settings)
{
    m_strStartPath.clear();
    settings.setStartPath(m_strStartPath);
}

bool CDocumentFlags::useOtherFolder(CSettings &settings, const QString &chosenFolder)
{
    if (chosenFolder.isEmpty())
        return false;
    // A drive root already ends with a separator; it is not doubled.
    m_strStartPath = FolderPath::withTrailingSeparator(QDir::toNativeSeparators(chosenFolder));
    settings.setStartPath(m_strStartPath);
    QDir::setCurrent(m_strStartPath);
    return true;
}
