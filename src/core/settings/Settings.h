#pragma once

#include "settings/BackupSettings.h"

#include <QByteArray>
#include <QString>

#include <climits>
#include <memory>

class QSettings;

// Every persistent setting of the program, as one table of keys: each row
// gives the section, the value name, the type, the default and the range of
// one value. A missing or unreadable value gives the default, reading never
// creates anything, and every write goes to the store at once.
class CSettings
{
public:
    // One row of the table each. A numbered key stands for `count` values
    // named by the row's name followed by a number (Toolbar "0".."33",
    // "File1".."File6"); the other keys take index 0.
    enum Key {
        // Section "Settings".
        AutoSave,
        LastFile,
        LastNote,
        StartPath,  // empty: the program's folder; otherwise ends with a separator
        SortType,
        Collapse,
        DblU,
        DblM,
        DblP,
        DblF,
        LockMinutes,   // "Lock after N minutes without input", 0 = never
        ReqPsw,        // never written by the program
        PreviewPages,  // never written by the program
        Font,          // raw LOGFONT bytes of the note pane
        FontL,         // raw LOGFONT bytes of the tree
        PasswordLength,  // password generator: list index of the length
        PasswordNumbers,
        PasswordLetters,
        PasswordSpecial,
        PasswordReminder,
        ReminderColumn0,  // widths of the reminders list's columns
        ReminderColumn1,
        ReminderColumn2,
        CodePage,  // name of the 8-bit code page of titles and texts
        // Section "BackUp".
        BackUp,
        BackUpPath,
        BackUpNumber,
        BackUpPeriod,
        // Section "DefIcons", numbered by icon slot; the default is the slot.
        DefIcon,
        // Section "RestoreWnd".
        WindowFlag,
        WindowShowCmd,
        WindowLeft,
        WindowTop,
        WindowRight,
        WindowBottom,
        Splitter,
        // The toolbar's docking state (Qt's own format); empty until the first close.
        BarState,
        // Section "Toolbar", numbered by position: shown unless stored as 0.
        ToolbarShown,
        // Section "Recent File List", "File1" the most recent.
        RecentFile,
        KeyCount
    };

    enum class Type { Integer, String, Binary };

    // Which stored numbers a menu check mark reads as on.
    enum class OnWhen { NotFlag, NonZero, OnlyOne };

    struct Entry
    {
        Key key;
        const char *section;
        const char *name;
        Type type;
        int number = 0;              // default of an integer
        const char *text = "";       // default of a string
        int minimum = INT_MIN;       // integers are kept within these,
        int maximum = INT_MAX;       // on reading and on writing
        int count = 1;               // values of a numbered key
        int firstNumber = 0;         // the number in the name of index 0
        bool defaultIsIndex = false;  // a numbered key whose default is its index
        OnWhen onWhen = OnWhen::NotFlag;
    };

    static constexpr int kDefIconSlots = 5;
    static constexpr int kToolbarPositions = 34;
    static constexpr int kReminderColumns = 3;
    static constexpr int kMaxRecentFiles = 6;
    static constexpr int kLogFontSize = 60;  // bytes of a stored "Font" / "FontL"

    explicit CSettings(QSettings &store);

    // The per-user store of the program (on Windows HKCU\Software\Torvi\Torvi Quillbook).
    static std::unique_ptr<QSettings> openUserStore();

    static const Entry &entry(Key key);
    // "Section/Name" as the store knows it.
    static QString path(Key key, int index = 0);

    int number(Key key, int index = 0) const;
    static int defaultNumber(Key key, int index = 0);
    QString text(Key key, int index = 0) const;
    // Empty when absent or not stored as binary.
    QByteArray bytes(Key key) const;

    void setNumber(Key key, int value, int index = 0);
    void setText(Key key, const QString &value, int index = 0);
    void setBytes(Key key, const QByteArray &value);
    void remove(Key key, int index = 0);

    // The Settings-menu toggles: whether the check mark shows, and the
    // negation of that, stored as 0 or 1.
    bool isOn(Key key) const;
    void toggle(Key key);

private:
    QSettings &m_store;
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

    static CPasswordGenSettings load(const CSettings &settings);
    void store(CSettings &settings) const;

    bool operator==(const CPasswordGenSettings &) const = default;
};
