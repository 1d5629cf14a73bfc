#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

class CTorviQuillbookDoc;

// "Lock after N minutes without input": when no input came for that long,
// a document with a password is saved, hidden and shown again only for its
// password. The front end reports input and hides what it shows.
class CIdleLock : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kSettingName = QT_TRANSLATE_NOOP("CIdleLock", "Lock after N minutes without input");
    static constexpr const char *kWrongPassword = QT_TRANSLATE_NOOP("CIdleLock", "The password is wrong.");
    static constexpr const char *kLockedText = QT_TRANSLATE_NOOP("CIdleLock", "The document is locked. Its password shows it again.");
    static constexpr const char *kUnlockButton = QT_TRANSLATE_NOOP("CIdleLock", "&Unlock...");

    explicit CIdleLock(CTorviQuillbookDoc &doc, QObject *parent = nullptr);

    // Reads the setting again (0 = never) and starts counting from now.
    void reload();
    void setMinutes(int minutes);  // stores the setting
    int minutes() const { return m_minutes; }
    // Counts in milliseconds instead of minutes (tests).
    void setIntervalForTesting(int ms);

    // Some input came: counting starts again.
    void inputSeen();
    bool isLocked() const { return m_locked; }

    // Locks now, when the document has a password: saves it as automatic
    // saving does when it has a name (and keeps it in memory when not).
    void lock();
    // Asks for the password until it is right (unlocked, true) or the user
    // cancels (still locked).
    bool askToUnlock();

signals:
    void lockedChanged(bool locked);

private:
    void restart();

    CTorviQuillbookDoc &m_doc;
    QTimer m_timer;
    int m_minutes = 0;
    int m_testIntervalMs = 0;
    bool m_locked = false;
    bool m_asking = false;
};
