#pragma once

#include <QCoreApplication>

#include "doc/DiskFingerprint.h"

#include <QString>
#include <QStringList>

class CTorviQuillbookDoc;

// Whether another program changed the document's file since it was read or
// written here, and the dialogue about it: reload (keeping the selected
// note), keep my version (the next save writes over the file), or save my
// version under another name.
class CDiskChangeCheck
{
public:
    static constexpr const char *kChangedOnDisk =
        QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "%1 has been changed on disk by another program.\nReload it (your unsaved changes are lost), keep your "
        "version (the next save writes over the file), or save your version under another name?");
    static constexpr const char *kReloadedFromDisk = QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "%1 was changed on disk and has been read again.");
    static constexpr const char *kUnreadableOnDisk =
        QT_TRANSLATE_NOOP("CTorviQuillbookDoc", "%1 was changed on disk by another program and cannot be read now:\n%2\n"
        "Your notes stay open here; save them to keep them.");
    static QStringList choices();  // "Reload", "Keep my version", "Save as..."

    explicit CDiskChangeCheck(CTorviQuillbookDoc &doc) : m_doc(doc) {}
    CDiskChangeCheck(const CDiskChangeCheck &) = delete;
    CDiskChangeCheck &operator=(const CDiskChangeCheck &) = delete;

    // The file at `path` as read or written here.
    void remember(const QString &path, const CDiskFingerprint &print);
    void forget();  // no file read: nothing to compare with
    // Whether the file at `absolutePath` is the one last read or written here.
    bool knows(const QString &absolutePath) const { return m_print.isValid() && m_strPath == absolutePath; }
    bool isUnchanged(const QString &absolutePath) const { return m_print.matches(absolutePath); }
    // Whether the document's own file changed since it was read or saved here.
    bool changed() const;
    bool asked() const { return m_bAsked; }  // about the present change already

    // Told that the file may have changed: reloads an unmodified document,
    // asks about a modified one (once per change).
    void check();
    // Before writing over the own file: false when the save must not go on
    // (the user reloaded, saved elsewhere or cancelled); `savedElsewhere`
    // then tells whether the document was saved under another name.
    bool mayOverwrite(const QString &path, bool &savedElsewhere);
    // Asks, and carries the answer out; true for "Keep my version" (the save
    // goes on over the file as it is now).
    bool askAndFollow(const QString &path, bool &savedElsewhere);
    // Whether the file is being read again after a change: the key held may fit.
    bool reloading() const { return m_bReloading; }
    // The item the tree selects after reading the file again; -1: none.
    int takeSelectionAfterReload();

private:
    enum class Answer { Reload, Keep, SaveAs, Cancel };
    Answer ask();
    bool follow(Answer answer, const QString &path, bool &savedElsewhere);
    void acceptDiskVersion(const QString &path);  // the file as the question found it counts as read
    bool reload();
    // After a reload: the item titled `title` nearest to `place`, one that
    // still holds `text` first; -1 when no item has that title.
    int nearestLike(qsizetype place, const QByteArray &title, const QByteArray &text) const;
    bool saveUnderAnotherName();

    CTorviQuillbookDoc &m_doc;
    CDiskFingerprint m_print;  // the file at m_strPath as last read or written here
    CDiskFingerprint m_askedAbout;  // the changed file as it was when the question came up
    QString m_strPath;
    bool m_bAsked = false;
    bool m_bReloading = false;
    int m_nSelectAfterReload = -1;
};
