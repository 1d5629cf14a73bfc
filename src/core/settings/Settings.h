#pragma once

#include "settings/BackupSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QSettings;

// Main window placement and splitter width, section "RestoreWnd".
struct CRestoreWndSettings
{
    int flag = 0;
    int showCmd = 5;
    int left = 50;
    int top = 50;
    int right = 750;
    int bottom = 550;
    int splitter = 220;

    bool operator==(const CRestoreWndSettings &) const = default;
};

// The password generator's last choices, kept as stored: the dialog decides
// what an out-of-range length or a non-zero tick means.
struct CPasswordGenSettings
{
    int quantity = 4;  // list index of the length
    int numbers = 1;
    int letters = 1;
    int special = 0;
    int reminder = 0;

    bool operator==(const CPasswordGenSettings &) const = default;
};

// Typed access to every persistent setting of the program. Each value has one
// name, one section and one default; a missing or unreadable value gives the
// default, reading never creates anything, and every setter writes at once.
class CSettings
{
public:
    static constexpr int kDefIconSlots = 5;
    static constexpr int kToolbarPositions = 34;
    static constexpr int kReminderColumns = 3;
    static constexpr int kMaxRecentFiles = 6;
    static constexpr int kLogFontSize = 60;  // bytes of a stored "Font" / "FontL"

    explicit CSettings(QSettings &store);

    // The per-user store of the program (on Windows HKCU\Software\Torvi\Torvi Quillbook).
    static std::unique_ptr<QSettings> openUserStore();

    // Section "Settings".
    int autoSave() const;
    void setAutoSave(int value);
    int lastFile() const;
    void setLastFile(int value);
    int lastNote() const;
    void setLastNote(int value);
    QString startPath() const;
    void setStartPath(const QString &path);
    int sortType() const;
    void setSortType(int value);
    int collapse() const;
    void setCollapse(int value);
    int dblU() const;
    void setDblU(int value);
    int dblM() const;
    void setDblM(int value);
    int dblP() const;
    void setDblP(int value);
    int dblF() const;
    void setDblF(int value);
    // "Lock after N minutes without input": N, 0 = never.
    int lockMinutes() const;
    void setLockMinutes(int minutes);
    int reqPsw() const;        // never written by the program
    int previewPages() const;  // never written by the program

    // Raw LOGFONT bytes; empty when absent or not stored as binary.
    QByteArray font() const;
    void setFont(const QByteArray &logFont);
    QByteArray fontL() const;
    void setFontL(const QByteArray &logFont);

    CPasswordGenSettings passwordGen() const;
    void setPasswordGen(const CPasswordGenSettings &values);

    // column 0..2 of the reminders list.
    int reminderColumnWidth(int column) const;
    // Whether the user gave the column a width of their own; the default
    // (which the list once wrote back at every close) is none.
    bool hasReminderColumnWidth(int column) const;
    void setReminderColumnWidth(int column, int width);

    // Name of the 8-bit code page of titles and texts.
    QString codePage() const;
    void setCodePage(const QString &name);

    // Section "BackUp".
    CBackupSettings backup() const;
    void setBackup(const CBackupSettings &values);

    // Section "DefIcons": the default icon of each of the five slots.
    std::array<qint32, kDefIconSlots> defIcons() const;
    void setDefIcons(const std::array<qint32, kDefIconSlots> &icons);

    // Section "RestoreWnd".
    CRestoreWndSettings restoreWnd() const;
    void setRestoreWnd(const CRestoreWndSettings &values);

    // The toolbar's docking state (Qt's own format), beside the placement;
    // empty until the first close.
    QByteArray barState() const;
    void setBarState(const QByteArray &state);

    // Section "Toolbar": position 0..33 is shown unless stored as 0.
    bool toolbarButtonShown(int pos) const;
    void setToolbarButtonShown(int pos, bool shown);

    // Section "Recent File List", most recent first, at most six names.
    QStringList recentFiles() const;
    void setRecentFiles(const QStringList &files);

private:
    int readInt(const QString &key, int defaultValue) const;
    void writeInt(const QString &key, int value);
    QString readString(const QString &key, const QString &defaultValue) const;
    void writeString(const QString &key, const QString &value);
    QByteArray readBinary(const QString &key) const;
    void writeBinary(const QString &key, const QByteArray &value);

    QSettings &m_store;
};
