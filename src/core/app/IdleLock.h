#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include "tree/InfoTree.h"

#include <functional>

class CTorviQuillbookDoc;

// "Lock after N minutes without input", and File > Lock: a document with a
// password is saved and its notes dropped from memory, kept only in their
// protected form, until the password is given; then they are read back as
// a document closed and opened again, with the same item selected and the
// same folders open. The front end reports input, puts away what it shows
// when the lock begins, and says when no dialog of its own still runs over
// the notes.
class CIdleLock : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kSettingName = QT_TRANSLATE_NOOP("CIdleLock", "Lock after N minutes without input");
    static constexpr const char *kWrongPassword = QT_TRANSLATE_NOOP("CIdleLock", "The password is wrong.");
    static constexpr const char *kLockedText = QT_TRANSLATE_NOOP("CIdleLock", "The document is locked. Its password shows it again.");
    static constexpr const char *kUnlockButton = QT_TRANSLATE_NOOP("CIdleLock", "&Unlock...");
    static constexpr int kRetryMs = 50;  // while a dialog or an operation still holds the notes

    CIdleLock(CTorviQuillbookDoc &doc, CInfoTree &tree, QObject *parent = nullptr);

    // Reads the setting again (0 = never) and starts counting from now.
    void reload();
    void setMinutes(int minutes);  // stores the setting
    int minutes() const { return m_minutes; }
    // Counts in milliseconds instead of minutes (tests).
    void setIntervalForTesting(int ms);
    // Whether the notes may be dropped now: no dialog or menu of the front
    // end still runs over them. Missing: always.
    void setDropCheck(std::function<bool()> mayDrop) { m_mayDrop = std::move(mayDrop); }

    // Some input came: counting starts again.
    void inputSeen();
    bool isLocked() const { return m_locked; }
    // Locked with changes that only the protected copy in memory holds (the
    // document has no name, or its save failed).
    bool holdsUnsavedWork() const;

    // Locks now, when the document has a password: lockedChanged(true) at
    // once, the save and the drop of the notes as soon as nothing holds
    // them, then the password is asked.
    void lock();
    // Asks for the password until it is right (unlocked, true) or the user
    // cancels (still locked).
    bool askToUnlock();

signals:
    void lockedChanged(bool locked);

private:
    void restart();
    void dropWhenFree();

    CTorviQuillbookDoc &m_doc;
    CInfoTree &m_tree;
    QTimer m_timer;
    std::function<bool()> m_mayDrop;
    CInfoTree::Outline m_outline;  // the tree's shape at the lock
    int m_minutes = 0;
    int m_testIntervalMs = 0;
    bool m_locked = false;
    bool m_asking = false;
};
