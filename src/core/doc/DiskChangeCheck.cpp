#include "doc/DiskChangeCheck.h"

#include "doc/DocumentFile.h"
#include "doc/TorviQuillbookDoc.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

QStringList CDiskChangeCheck::choices()
{
    return {QCoreApplication::translate("CTorviQuillbookDoc", "Reload"), QCoreApplication::translate("CTorviQuillbookDoc", "Keep my version"), QCoreApplication::translate("CTorviQuillbookDoc", "Save as...")};
}

void CDiskChangeCheck::remember(const QString &path, const CDiskFingerprint &print)
{
    m_print = print;
    m_strPath = QFileInfo(path).absoluteFilePath();
    m_bAsked = false;
}

void CDiskChangeCheck::forget()
{
    m_print = {};
    m_strPath.clear();
}

bool CDiskChangeCheck::changed() const
{
    const QString own = m_doc.pathName();
    // A name given without reading its file (a restored copy's) that
    // another program has made meanwhile: a file never read here, to be
    // asked about before it is written over.
    if (!m_strPath.isEmpty() && m_strPath != own && !own.isEmpty())
        return QFileInfo::exists(own);
    return !m_strPath.isEmpty() && m_strPath == own && !m_print.matches(m_strPath);
}

CDiskChangeCheck::Answer CDiskChangeCheck::ask()
{
    m_bAsked = true;
    // "Keep my version" accepts the file the user was told about: a change
    // made while the question is open must be asked about again.
    m_askedAbout = CDiskFingerprint::ofFile(m_doc.pathName());
    const int choice = m_doc.prompter().choose(
        QCoreApplication::translate("CTorviQuillbookDoc", kChangedOnDisk).arg(QDir::toNativeSeparators(m_doc.pathName())), choices());
    switch (choice) {
    case 0:
        return Answer::Reload;
    case 1:
        return Answer::Keep;
    case 2:
        return Answer::SaveAs;
    default:
        return Answer::Cancel;
    }
}

bool CDiskChangeCheck::mayOverwrite(const QString &path, bool &savedElsewhere)
{
    savedElsewhere = false;
    if (QFileInfo(path).absoluteFilePath() != m_doc.pathName() || !changed())
        return true;
    return askAndFollow(path, savedElsewhere);
}

bool CDiskChangeCheck::askAndFollow(const QString &path, bool &savedElsewhere)
{
    return follow(ask(), path, savedElsewhere);
}

bool CDiskChangeCheck::follow(Answer answer, const QString &path, bool &savedElsewhere)
{
    savedElsewhere = false;
    switch (answer) {
    case Answer::Keep:
        acceptDiskVersion(path);
        return true;
    case Answer::Reload:
        reload();
        return false;
    case Answer::SaveAs:
        savedElsewhere = saveUnderAnotherName();
        return false;
    case Answer::Cancel:
        return false;
    }
    return false;
}

void CDiskChangeCheck::acceptDiskVersion(const QString &path)
{
    // The next save writes over the file without asking again, unless it
    // changes once more.
    if (m_askedAbout.isValid())
        remember(path, std::exchange(m_askedAbout, {}));
}

bool CDiskChangeCheck::saveUnderAnotherName()
{
    const QString path = m_doc.chooseSavePath(m_doc.dialogFolder(),
                                              QCoreApplication::translate("CTorviQuillbookDoc", "Torvi Quillbook Files (*.tqb);;All Files (*.*)"));
    if (path.isEmpty())
        return false;
    // The new name only once the file is there: a failed save keeps the old one.
    if (m_doc.writeDocument(path, true) != CTorviQuillbookDoc::SaveOutcome::Saved)
        return false;
    m_doc.setPathName(path);
    return true;
}

bool CDiskChangeCheck::reload()
{
    // The selected note is found again by its title and text, nearest to
    // its place in the tree order (titles alone repeat in many documents,
    // and notes added or removed before it move it).
    const int current = m_doc.m_nCurItem;
    const QByteArray title = m_doc.isItem(current) ? m_doc.CItemTables::title(current) : QByteArray();
    const QByteArray text = m_doc.isItem(current) ? m_doc.CItemTables::text(current) : QByteArray();
    const qsizetype place = current >= 0 ? m_doc.order().indexOf(quint32(current)) : -1;
    const QString path = m_doc.pathName();
    // The notes shown here are given up only for a file that reads as a
    // document: one emptied or cut short by another program (or half
    // copied over) would leave nothing, and these may be the only copy.
    CLoadedFile file;
    if (const QString problem = m_doc.problemReading(path, file, m_doc.count() > 0); !problem.isEmpty()) {
        m_doc.setModifiedFlag(true);
        m_bAsked = true;  // said now; a save asks again before writing over the file
        m_doc.prompter().message(QCoreApplication::translate("CTorviQuillbookDoc", kUnreadableOnDisk)
                                     .arg(QDir::toNativeSeparators(path), problem));
        return false;
    }
    m_bReloading = true;
    const bool reloaded = m_doc.openLoadedDocument(path, std::move(file), false);
    m_bReloading = false;
    if (!reloaded)
        return false;
    m_nSelectAfterReload = title.isNull() ? -1 : nearestLike(place, title, text);
    emit m_doc.statusMessage(QCoreApplication::translate("CTorviQuillbookDoc", kReloadedFromDisk).arg(m_doc.title()));
    emit m_doc.updateAllViews(CTorviQuillbookDoc::kHintRefreshAll);
    return true;
}

int CDiskChangeCheck::nearestLike(qsizetype place, const QByteArray &title, const QByteArray &text) const
{
    // Items read from a file lie in its order: an item's index is its place.
    int best = -1;
    bool bestKeptText = false;
    const auto &titles = m_doc.titles();
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (titles[i] != title)
            continue;
        const bool keptText = m_doc.CItemTables::text(int(i)) == text;
        if (best < 0 || (keptText && !bestKeptText) ||
            (keptText == bestKeptText && qAbs(i - place) < qAbs(best - place))) {
            best = int(i);
            bestKeptText = keptText;
        }
    }
    return best;
}

int CDiskChangeCheck::takeSelectionAfterReload()
{
    return std::exchange(m_nSelectAfterReload, -1);
}

void CDiskChangeCheck::check()
{
    if (m_doc.busy() != CTorviQuillbookDoc::kIdle || !changed())
        return;
    if (!m_doc.isModified()) {
        reload();
        return;
    }
    if (m_bAsked)
        return;
    bool savedElsewhere = false;
    follow(ask(), m_doc.pathName(), savedElsewhere);
}
