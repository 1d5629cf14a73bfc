#include "settings/Settings.h"

#include <algorithm>

#include <QMetaType>
#include <QSettings>
#include <QVariant>

#include <limits>

namespace {

// Key paths: section, then value name.
QString settingsKey(const char *name)
{
    return QStringLiteral("Settings/") + QLatin1String(name);
}

QString backupKey(const char *name)
{
    return QStringLiteral("BackUp/") + QLatin1String(name);
}

QString restoreWndKey(const char *name)
{
    return QStringLiteral("RestoreWnd/") + QLatin1String(name);
}

QString defIconKey(int slot)
{
    return QStringLiteral("DefIcons/") + QString::number(slot);
}

QString toolbarKey(int pos)
{
    return QStringLiteral("Toolbar/") + QString::number(pos);
}

QString recentFileKey(int number)
{
    return QStringLiteral("Recent File List/File") + QString::number(number);
}

constexpr std::array<const char *, CSettings::kReminderColumns> kReminderColumnNames{"rl0", "rl1", "rl2"};
constexpr std::array<int, CSettings::kReminderColumns> kReminderColumnDefaults{250, 35, 70};

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

int CSettings::readInt(const QString &key, int defaultValue) const
{
    const QVariant value = m_store.value(key);
    if (!value.isValid())
        return defaultValue;
    // A registry number is a 32-bit DWORD: the same bits as a signed int.
    if (value.metaType() == QMetaType::fromType<uint>())
        return int(value.toUInt());
    // Through 64 bits, because a string's toInt() wraps out-of-range numbers.
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return defaultValue;
    return int(number);
}

void CSettings::writeInt(const QString &key, int value)
{
    m_store.setValue(key, value);
}

QString CSettings::readString(const QString &key, const QString &defaultValue) const
{
    const QVariant value = m_store.value(key);
    if (!value.isValid())
        return defaultValue;
    // A list (an unquoted comma in a hand-edited file) is not a readable string.
    QString text;
    if (!QMetaType::convert(value.metaType(), value.constData(), QMetaType::fromType<QString>(), &text))
        return defaultValue;
    return text;
}

void CSettings::writeString(const QString &key, const QString &value)
{
    m_store.setValue(key, value);
}

QByteArray CSettings::readBinary(const QString &key) const
{
    const QVariant value = m_store.value(key);
    // Only a value stored as binary is a font; text of any kind is not.
    if (value.metaType() != QMetaType::fromType<QByteArray>())
        return {};
    return value.toByteArray();
}

void CSettings::writeBinary(const QString &key, const QByteArray &value)
{
    m_store.setValue(key, value);
}

int CSettings::autoSave() const
{
    return readInt(settingsKey("AutoSave"), 0);
}

void CSettings::setAutoSave(int value)
{
    writeInt(settingsKey("AutoSave"), value);
}

int CSettings::lastFile() const
{
    return readInt(settingsKey("LastFile"), 0);
}

void CSettings::setLastFile(int value)
{
    writeInt(settingsKey("LastFile"), value);
}

int CSettings::lastNote() const
{
    return readInt(settingsKey("LastNote"), -1);
}

void CSettings::setLastNote(int value)
{
    writeInt(settingsKey("LastNote"), value);
}

QString CSettings::startPath() const
{
    return readString(settingsKey("StartPath"), QString());
}

void CSettings::setStartPath(const QString &path)
{
    writeString(settingsKey("StartPath"), path);
}

int CSettings::sortType() const
{
    return readInt(settingsKey("SortType"), 2);
}

void CSettings::setSortType(int value)
{
    writeInt(settingsKey("SortType"), value);
}

int CSettings::collapse() const
{
    return readInt(settingsKey("Collapse"), 1);
}

void CSettings::setCollapse(int value)
{
    writeInt(settingsKey("Collapse"), value);
}

int CSettings::dblU() const
{
    return readInt(settingsKey("DblU"), 1);
}

void CSettings::setDblU(int value)
{
    writeInt(settingsKey("DblU"), value);
}

int CSettings::dblM() const
{
    return readInt(settingsKey("DblM"), 1);
}

void CSettings::setDblM(int value)
{
    writeInt(settingsKey("DblM"), value);
}

int CSettings::dblP() const
{
    return readInt(settingsKey("DblP"), 0);
}

void CSettings::setDblP(int value)
{
    writeInt(settingsKey("DblP"), value);
}

int CSettings::dblF() const
{
    return readInt(settingsKey("DblF"), 1);
}

void CSettings::setDblF(int value)
{
    writeInt(settingsKey("DblF"), value);
}

int CSettings::lockMinutes() const
{
    return std::max(0, readInt(settingsKey("LockMinutes"), 0));
}

void CSettings::setLockMinutes(int minutes)
{
    writeInt(settingsKey("LockMinutes"), std::max(0, minutes));
}

int CSettings::reqPsw() const
{
    return readInt(settingsKey("ReqPsw"), 1);
}

int CSettings::previewPages() const
{
    return readInt(settingsKey("PreviewPages"), 0);
}

QByteArray CSettings::font() const
{
    return readBinary(settingsKey("Font"));
}

void CSettings::setFont(const QByteArray &logFont)
{
    writeBinary(settingsKey("Font"), logFont);
}

QByteArray CSettings::fontL() const
{
    return readBinary(settingsKey("FontL"));
}

void CSettings::setFontL(const QByteArray &logFont)
{
    writeBinary(settingsKey("FontL"), logFont);
}

CPasswordGenSettings CSettings::passwordGen() const
{
    const CPasswordGenSettings defaults;
    CPasswordGenSettings values;
    values.quantity = readInt(settingsKey("pswgqunt"), defaults.quantity);
    values.numbers = readInt(settingsKey("pswgnum"), defaults.numbers);
    values.letters = readInt(settingsKey("pswglet"), defaults.letters);
    values.special = readInt(settingsKey("pswgsp"), defaults.special);
    values.reminder = readInt(settingsKey("pswgrem"), defaults.reminder);
    return values;
}

void CSettings::setPasswordGen(const CPasswordGenSettings &values)
{
    writeInt(settingsKey("pswgqunt"), values.quantity);
    writeInt(settingsKey("pswgnum"), values.numbers);
    writeInt(settingsKey("pswglet"), values.letters);
    writeInt(settingsKey("pswgsp"), values.special);
    writeInt(settingsKey("pswgrem"), values.reminder);
}

int CSettings::reminderColumnWidth(int column) const
{
    Q_ASSERT(column >= 0 && column < kReminderColumns);
    if (column < 0 || column >= kReminderColumns)
        return 0;
    return readInt(settingsKey(kReminderColumnNames[size_t(column)]), kReminderColumnDefaults[size_t(column)]);
}

bool CSettings::hasReminderColumnWidth(int column) const
{
    if (column < 0 || column >= kReminderColumns)
        return false;
    return reminderColumnWidth(column) != kReminderColumnDefaults[size_t(column)];
}

void CSettings::setReminderColumnWidth(int column, int width)
{
    Q_ASSERT(column >= 0 && column < kReminderColumns);
    if (column < 0 || column >= kReminderColumns)
        return;
    writeInt(settingsKey(kReminderColumnNames[size_t(column)]), width);
}

QString CSettings::codePage() const
{
    return readString(settingsKey("CodePage"), QStringLiteral("windows-1252"));
}

void CSettings::setCodePage(const QString &name)
{
    writeString(settingsKey("CodePage"), name);
}

CBackupSettings CSettings::backup() const
{
    const CBackupSettings defaults;
    CBackupSettings values;
    values.on = readInt(backupKey("BackUp"), 0) == 1;
    values.folder = readString(backupKey("BackUpPath"), defaults.folder);
    values.versions = readInt(backupKey("BackUpNumber"), defaults.versions);
    values.periodDays = readInt(backupKey("BackUpPeriod"), defaults.periodDays);
    return values;
}

void CSettings::setBackup(const CBackupSettings &values)
{
    writeInt(backupKey("BackUp"), values.on ? 1 : 0);
    writeString(backupKey("BackUpPath"), values.folder);
    writeInt(backupKey("BackUpNumber"), values.versions);
    writeInt(backupKey("BackUpPeriod"), values.periodDays);
}

std::array<qint32, CSettings::kDefIconSlots> CSettings::defIcons() const
{
    std::array<qint32, kDefIconSlots> icons{};
    for (int slot = 0; slot < kDefIconSlots; ++slot)
        icons[size_t(slot)] = readInt(defIconKey(slot), slot);
    return icons;
}

void CSettings::setDefIcons(const std::array<qint32, kDefIconSlots> &icons)
{
    for (int slot = 0; slot < kDefIconSlots; ++slot)
        writeInt(defIconKey(slot), icons[size_t(slot)]);
}

CRestoreWndSettings CSettings::restoreWnd() const
{
    const CRestoreWndSettings defaults;
    CRestoreWndSettings values;
    values.flag = readInt(restoreWndKey("FLAG"), defaults.flag);
    values.showCmd = readInt(restoreWndKey("SHOWCMD"), defaults.showCmd);
    values.left = readInt(restoreWndKey("LEFT"), defaults.left);
    values.top = readInt(restoreWndKey("TOP"), defaults.top);
    values.right = readInt(restoreWndKey("RIGHT"), defaults.right);
    values.bottom = readInt(restoreWndKey("BOTTOM"), defaults.bottom);
    values.splitter = readInt(restoreWndKey("Splitter"), defaults.splitter);
    return values;
}

void CSettings::setRestoreWnd(const CRestoreWndSettings &values)
{
    writeInt(restoreWndKey("FLAG"), values.flag);
    writeInt(restoreWndKey("SHOWCMD"), values.showCmd);
    writeInt(restoreWndKey("LEFT"), values.left);
    writeInt(restoreWndKey("TOP"), values.top);
    writeInt(restoreWndKey("RIGHT"), values.right);
    writeInt(restoreWndKey("BOTTOM"), values.bottom);
    writeInt(restoreWndKey("Splitter"), values.splitter);
}

QByteArray CSettings::barState() const
{
    return readBinary(QStringLiteral("Torvi Quillbook-Summary/BarState"));
}

void CSettings::setBarState(const QByteArray &state)
{
    writeBinary(QStringLiteral("Torvi Quillbook-Summary/BarState"), state);
}

bool CSettings::toolbarButtonShown(int pos) const
{
    Q_ASSERT(pos >= 0 && pos < kToolbarPositions);
    if (pos < 0 || pos >= kToolbarPositions)
        return false;
    return readInt(toolbarKey(pos), 1) != 0;
}

void CSettings::setToolbarButtonShown(int pos, bool shown)
{
    Q_ASSERT(pos >= 0 && pos < kToolbarPositions);
    if (pos < 0 || pos >= kToolbarPositions)
        return;
    writeInt(toolbarKey(pos), shown ? 1 : 0);
}

QStringList CSettings::recentFiles() const
{
    QStringList files;
    for (int number = 1; number <= kMaxRecentFiles; ++number) {
        const QString file = readString(recentFileKey(number), QString());
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void CSettings::setRecentFiles(const QStringList &files)
{
    int number = 1;
    for (const QString &file : files) {
        if (number > kMaxRecentFiles)
            break;
        if (file.isEmpty())
            continue;
        writeString(recentFileKey(number), file);
        ++number;
    }
    // Entries beyond the new end would otherwise come back on the next read.
    for (; number <= kMaxRecentFiles; ++number)
        m_store.remove(recentFileKey(number));
}
