#include "settings/Settings.h"

#include <QMetaType>
#include <QSettings>
#include <QVariant>

#include <algorithm>
#include <array>
#include <limits>

namespace {

using Key = CSettings::Key;
using Type = CSettings::Type;
using OnWhen = CSettings::OnWhen;
using Entry = CSettings::Entry;

constexpr Entry integer(Key key, const char *section, const char *name, int value)
{
    return Entry{key, section, name, Type::Integer, value};
}

constexpr Entry flag(Key key, const char *name, int value, OnWhen onWhen)
{
    Entry e = integer(key, "Settings", name, value);
    e.onWhen = onWhen;
    return e;
}

constexpr Entry string(Key key, const char *section, const char *name, const char *value)
{
    Entry e{key, section, name, Type::String};
    e.text = value;
    return e;
}

constexpr Entry binary(Key key, const char *section, const char *name)
{
    return Entry{key, section, name, Type::Binary};
}

constexpr Entry numbered(Entry e, int count, int firstNumber)
{
    e.count = count;
    e.firstNumber = firstNumber;
    return e;
}

constexpr Entry atLeast(Entry e, int minimum)
{
    e.minimum = minimum;
    return e;
}

constexpr Entry indexDefault(Entry e)
{
    e.defaultIsIndex = true;
    return e;
}

constexpr const char *kSettings = "Settings";

// The one table, in the order of CSettings::Key.
constexpr std::array<Entry, CSettings::KeyCount> kTable{{
    flag(Key::AutoSave, "AutoSave", 0, OnWhen::NonZero),
    flag(Key::LastFile, "LastFile", 0, OnWhen::OnlyOne),
    integer(Key::LastNote, kSettings, "LastNote", -1),
    string(Key::StartPath, kSettings, "StartPath", ""),
    integer(Key::SortType, kSettings, "SortType", 2),
    flag(Key::Collapse, "Collapse", 1, OnWhen::NonZero),
    flag(Key::DblU, "DblU", 1, OnWhen::OnlyOne),
    flag(Key::DblM, "DblM", 1, OnWhen::OnlyOne),
    flag(Key::DblP, "DblP", 0, OnWhen::OnlyOne),
    flag(Key::DblF, "DblF", 1, OnWhen::OnlyOne),
    atLeast(integer(Key::LockMinutes, kSettings, "LockMinutes", 0), 0),
    integer(Key::ReqPsw, kSettings, "ReqPsw", 1),
    integer(Key::PreviewPages, kSettings, "PreviewPages", 0),
    binary(Key::Font, kSettings, "Font"),
    binary(Key::FontL, kSettings, "FontL"),
    integer(Key::PasswordLength, kSettings, "pswgqunt", 4),
    integer(Key::PasswordNumbers, kSettings, "pswgnum", 1),
    integer(Key::PasswordLetters, kSettings, "pswglet", 1),
    integer(Key::PasswordSpecial, kSettings, "pswgsp", 0),
    integer(Key::PasswordReminder, kSettings, "pswgrem", 0),
    integer(Key::ReminderColumn0, kSettings, "rl0", 250),
    integer(Key::ReminderColumn1, kSettings, "rl1", 35),
    integer(Key::ReminderColumn2, kSettings, "rl2", 70),
    string(Key::CodePage, kSettings, "CodePage", "windows-1252"),
    integer(Key::BackUp, "BackUp", "BackUp", 0),
    string(Key::BackUpPath, "BackUp", "BackUpPath", ""),
    integer(Key::BackUpNumber, "BackUp", "BackUpNumber", 1),
    integer(Key::BackUpPeriod, "BackUp", "BackUpPeriod", 1),
    indexDefault(numbered(integer(Key::DefIcon, "DefIcons", "", 0), CSettings::kDefIconSlots, 0)),
    integer(Key::WindowFlag, "RestoreWnd", "FLAG", 0),
    integer(Key::WindowShowCmd, "RestoreWnd", "SHOWCMD", 5),
    integer(Key::WindowLeft, "RestoreWnd", "LEFT", 50),
    integer(Key::WindowTop, "RestoreWnd", "TOP", 50),
    integer(Key::WindowRight, "RestoreWnd", "RIGHT", 750),
    integer(Key::WindowBottom, "RestoreWnd", "BOTTOM", 550),
    integer(Key::Splitter, "RestoreWnd", "Splitter", 220),
    binary(Key::BarState, "Torvi Quillbook-Summary", "BarState"),
    numbered(integer(Key::ToolbarShown, "Toolbar", "", 1), CSettings::kToolbarPositions, 0),
    numbered(string(Key::RecentFile, "Recent File List", "File", ""), CSettings::kMaxRecentFiles, 1),
}};

constexpr bool tableInKeyOrder()
{
    for (size_t i = 0; i < kTable.size(); ++i) {
        if (size_t(kTable[i].key) != i)
            return false;
    }
    return true;
}
static_assert(tableInKeyOrder(), "a row of the settings table is out of place");

bool validIndex(const Entry &e, int index)
{
    Q_ASSERT(index >= 0 && index < e.count);
    return index >= 0 && index < e.count;
}

}  // namespace

CSettings::CSettings(QSettings &store)
    : m_store(store)
{
}

std::unique_ptr<QSettings> CSettings::openUserStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Torvi"),
                                       QStringLiteral("Torvi Quillbook"));
}

const CSettings::Entry &CSettings::entry(Key key)
{
    Q_ASSERT(key >= 0 && key < KeyCount);
    return kTable[size_t(key)];
}

QString CSettings::path(Key key, int index)
{
    const Entry &e = entry(key);
    QString name = QString::fromLatin1(e.section) + QLatin1Char('/') + QLatin1String(e.name);
    if (e.count > 1)
        name += QString::number(e.firstNumber + index);
    return name;
}

int CSettings::defaultNumber(Key key, int index)
{
    const Entry &e = entry(key);
    return e.defaultIsIndex ? index : e.number;
}

int CSettings::number(Key key, int index) const
{
    const Entry &e = entry(key);
    Q_ASSERT(e.type == Type::Integer);
    if (!validIndex(e, index))
        return 0;
    const int fallback = defaultNumber(key, index);
    const QVariant value = m_store.value(path(key, index));
    if (!value.isValid())
        return fallback;
    int read = 0;
    if (value.metaType() == QMetaType::fromType<uint>()) {
        // A registry number is a 32-bit DWORD: the same bits as a signed int.
        read = int(value.toUInt());
    } else {
        // Through 64 bits, because a string's toInt() wraps out-of-range numbers.
        bool ok = false;
        const qlonglong wide = value.toLongLong(&ok);
        if (!ok || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
            return fallback;
        read = int(wide);
    }
    return std::clamp(read, e.minimum, e.maximum);
}

QString CSettings::text(Key key, int index) const
{
    const Entry &e = entry(key);
    Q_ASSERT(e.type == Type::String);
    if (!validIndex(e, index))
        return {};
    const QVariant value = m_store.value(path(key, index));
    if (!value.isValid())
        return QString::fromLatin1(e.text);
    // A list (an unquoted comma in a hand-edited file) is not a readable string.
    QString read;
    if (!QMetaType::convert(value.metaType(), value.constData(), QMetaType::fromType<QString>(), &read))
        return QString::fromLatin1(e.text);
    return read;
}

QByteArray CSettings::bytes(Key key) const
{
    Q_ASSERT(entry(key).type == Type::Binary);
    const QVariant value = m_store.value(path(key));
    // Only a value stored as binary counts; text of any kind does not.
    if (value.metaType() != QMetaType::fromType<QByteArray>())
        return {};
    return value.toByteArray();
}

void CSettings::setNumber(Key key, int value, int index)
{
    const Entry &e = entry(key);
    Q_ASSERT(e.type == Type::Integer);
    if (validIndex(e, index))
        m_store.setValue(path(key, index), std::clamp(value, e.minimum, e.maximum));
}

void CSettings::setText(Key key, const QString &value, int index)
{
    const Entry &e = entry(key);
    Q_ASSERT(e.type == Type::String);
    if (validIndex(e, index))
        m_store.setValue(path(key, index), value);
}

void CSettings::setBytes(Key key, const QByteArray &value)
{
    Q_ASSERT(entry(key).type == Type::Binary);
    m_store.setValue(path(key), value);
}

void CSettings::remove(Key key, int index)
{
    if (validIndex(entry(key), index))
        m_store.remove(path(key, index));
}

bool CSettings::isOn(Key key) const
{
    switch (entry(key).onWhen) {
    case OnWhen::NonZero:
        return number(key) != 0;
    case OnWhen::OnlyOne:
        return number(key) == 1;
    case OnWhen::NotFlag:
        break;
    }
    Q_ASSERT(!"not a flag");
    return false;
}

void CSettings::toggle(Key key)
{
    setNumber(key, isOn(key) ? 0 : 1);
}

CBackupSettings CBackupSettings::load(const CSettings &settings)
{
    CBackupSettings values;
    values.on = settings.number(CSettings::BackUp) == 1;
    values.folder = settings.text(CSettings::BackUpPath);
    values.versions = settings.number(CSettings::BackUpNumber);
    values.periodDays = settings.number(CSettings::BackUpPeriod);
    return values;
}

void CBackupSettings::store(CSettings &settings) const
{
    settings.setNumber(CSettings::BackUp, on ? 1 : 0);
    settings.setText(CSettings::BackUpPath, folder);
    settings.setNumber(CSettings::BackUpNumber, versions);
    settings.setNumber(CSettings::BackUpPeriod, periodDays);
}

CPasswordGenSettings CPasswordGenSettings::load(const CSettings &settings)
{
    return {settings.number(CSettings::PasswordLength), settings.number(CSettings::PasswordNumbers),
            settings.number(CSettings::PasswordLetters), settings.number(CSettings::PasswordSpecial),
            settings.number(CSettings::PasswordReminder)};
}

void CPasswordGenSettings::store(CSettings &settings) const
{
    settings.setNumber(CSettings::PasswordLength, quantity);
    settings.setNumber(CSettings::PasswordNumbers, numbers);
    settings.setNumber(CSettings::PasswordLetters, letters);
    settings.setNumber(CSettings::PasswordSpecial, special);
    settings.setNumber(CSettings::PasswordReminder, reminder);
}
