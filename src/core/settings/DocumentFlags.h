#pragma once

#include <QString>

class CSettings;

// The settings the document holds for the whole run, read once at its
// construction, and the Settings-menu commands that change them. Every command
// writes its value through CSettings the moment it changes it.
class CDocumentFlags
{
public:
    static CDocumentFlags load(const CSettings &settings);

    // A stored number other than 0 means on.
    int autoSave() const { return m_nAutoSave; }
    int collapse() const { return m_nCollapse; }
    // Only a stored 1 means on.
    bool lastFile() const { return m_bLastFile; }
    bool dblU() const { return m_bDblU; }
    bool dblM() const { return m_bDblM; }
    bool dblP() const { return m_bDblP; }
    bool dblF() const { return m_bDblF; }
    int defaultSortType() const { return m_nSortType; }
    // Empty: the program's folder; otherwise ends with a path separator.
    QString startPath() const { return m_strStartPath; }

    // Menu marks.
    bool isAutoSaveChecked() const { return m_nAutoSave != 0; }
    bool isLastFileChecked() const { return m_bLastFile; }
    bool isCollapseChecked() const { return m_nCollapse != 0; }
    bool isDblUChecked() const { return m_bDblU; }
    bool isDblMChecked() const { return m_bDblM; }
    bool isDblPChecked() const { return m_bDblP; }
    bool isDblFChecked() const { return m_bDblF; }
    bool isSortTypeChecked(int sortType) const { return m_nSortType == sortType; }
    bool isProgramFolderChecked() const { return m_strStartPath.isEmpty(); }
    bool isOtherFolderChecked() const { return !m_strStartPath.isEmpty(); }

    // Settings-menu commands: each toggle stores the negation of the current
    // value, so the stored value becomes 0 or 1.
    void toggleAutoSave(CSettings &settings);
    void toggleLastFile(CSettings &settings);
    void toggleCollapse(CSettings &settings);
    void toggleDblU(CSettings &settings);
    void toggleDblM(CSettings &settings);
    void toggleDblP(CSettings &settings);
    void toggleDblF(CSettings &settings);
    // Does not re-sort anything by itself.
    void setDefaultSortType(CSettings &settings, int sortType);
    // Empties the start folder; the current folder stays until the next start.
    void useProgramFolder(CSettings &settings);
    // chosenFolder is what the folder browser returned; empty means the user
    // cancelled and nothing changes. Otherwise the folder, in native
    // separators and ending with one, becomes the start folder and the
    // process's current folder. Returns whether the start folder was set.
    bool useOtherFolder(CSettings &settings, const QString &chosenFolder);

private:
    int m_nAutoSave = 0;
    int m_nCollapse = 1;
    bool m_bLastFile = false;
    bool m_bDblU = true;
    bool m_bDblM = true;
    bool m_bDblP = false;
    bool m_bDblF = true;
    int m_nSortType = 2;
    QString m_strStartPath;
};
