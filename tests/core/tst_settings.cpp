#include "TestPaths.h"
#include "app/RecentFileList.h"
#include "settings/Settings.h"
#include "settings/StartFolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A settings file of its own for each test, never the user's store.
struct TempStore
{
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<CSettings> settings;

    explicit TempStore(const QByteArray &iniText = {})
    {
        path = dir.filePath(QStringLiteral("settings.ini"));
        if (!iniText.isEmpty()) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(iniText);
        }
        store = std::make_unique<QSettings>(path, QSettings::IniFormat);
        settings = std::make_unique<CSettings>(*store);
    }

    // What a later run would find: flush, then read the file with a new object.
    std::unique_ptr<QSettings> reopen() const
    {
        store->sync();
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
};

CSettings::Key flagKey(const QString &name)
{
    static const std::map<QString, CSettings::Key> keys{
        {QStringLiteral("AutoSave"), CSettings::AutoSave}, {QStringLiteral("LastFile"), CSettings::LastFile},
        {QStringLiteral("Collapse"), CSettings::Collapse}, {QStringLiteral("DblU"), CSettings::DblU},
        {QStringLiteral("DblM"), CSettings::DblM},         {QStringLiteral("DblP"), CSettings::DblP},
        {QStringLiteral("DblF"), CSettings::DblF},
    };
    return keys.at(name);
}

// Every value, as a run of the program before the key table wrote it into
// tests/data/settings/all-values.ini (in memory order: key, index, value).
struct StoredValue
{
    CSettings::Key key;
    int index;
    QVariant value;
};

QList<StoredValue> allValuesFileContents()
{
    QByteArray font(CSettings::kLogFontSize, '\0');
    for (int i = 0; i < font.size(); ++i)
        font[i] = char(i * 37);
    QList<StoredValue> values{
        {CSettings::AutoSave, 0, 2},
        {CSettings::LastFile, 0, 1},
        {CSettings::LastNote, 0, 17},
        {CSettings::StartPath, 0, QStringLiteral("C:\\Notes, old\\\u00DCn\u00EFcode\\")},
        {CSettings::SortType, 0, 0},
        {CSettings::Collapse, 0, 0},
        {CSettings::DblU, 0, 0},
        {CSettings::DblM, 0, 0},
        {CSettings::DblP, 0, 1},
        {CSettings::DblF, 0, 0},
        {CSettings::LockMinutes, 0, 15},
        {CSettings::Font, 0, font},
        {CSettings::FontL, 0, font.left(28) + QByteArray(32, '@')},
        {CSettings::PasswordLength, 0, 7},
        {CSettings::PasswordNumbers, 0, 0},
        {CSettings::PasswordLetters, 0, 1},
        {CSettings::PasswordSpecial, 0, 1},
        {CSettings::PasswordReminder, 0, 1},
        {CSettings::ReminderColumn0, 0, 300},
        {CSettings::ReminderColumn1, 0, 41},
        {CSettings::ReminderColumn2, 0, 92},
        {CSettings::CodePage, 0, QStringLiteral("windows-1251")},
        {CSettings::BackUp, 0, 1},
        {CSettings::BackUpPath, 0, QStringLiteral("/home/u/back ups/")},
        {CSettings::BackUpNumber, 0, 4},
        {CSettings::BackUpPeriod, 0, 14},
        {CSettings::WindowFlag, 0, 2},
        {CSettings::WindowShowCmd, 0, 3},
        {CSettings::WindowLeft, 0, -10},
        {CSettings::WindowTop, 0, 20},
        {CSettings::WindowRight, 0, 1000},
        {CSettings::WindowBottom, 0, 800},
        {CSettings::Splitter, 0, 300},
        {CSettings::BarState, 0, QByteArray("\x00\x00\x00\xff state", 11)},
        {CSettings::RecentFile, 0, QStringLiteral("/a/one.tqb")},
        {CSettings::RecentFile, 1, QStringLiteral("/b/two, three.tqb")},
        {CSettings::RecentFile, 2, QStringLiteral("/c/\u00E4.tqb")},
    };
    const QList<int> icons{9, 8, 7, 6, 59};
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        values.append({CSettings::DefIcon, slot, icons[slot]});
    for (int pos = 0; pos < CSettings::kToolbarPositions; ++pos)
        values.append({CSettings::ToolbarShown, pos, pos % 3 != 1 ? 1 : 0});
    return values;
}

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_savedCurrent = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_savedCurrent); }

    void emptyStoreGivesDefaultsAndStaysEmpty();
    void fileOfAnEarlierRunReadsAndWritesTheSame();
    void everyValueIsWrittenUnderItsName();
    void unreadableValuesGiveDefaults();
    void handEditedFileIsRead();
    void fontsAreBinary();
    void toolbarPositionShownUnlessZero();

    void backupOnOnlyForStoredOne_data();
    void backupOnOnlyForStoredOne();
    void backupRoundTrip();

    void recentFilesRoundTripAndShorten();
    void recentFilesSkipEmptyEntries();

    void toggleReadsAndWrites_data();
    void toggleReadsAndWrites();
    void otherFolderSetsStartAndCurrentFolder();
    void cancelledFolderChoiceChangesNothing();
    void programFolderEmptiesStartOnly();

private:
    QString m_savedCurrent;
};

void TestSettings::emptyStoreGivesDefaultsAndStaysEmpty()
{
    TempStore t;
    const CSettings &s = *t.settings;

    QCOMPARE(s.number(CSettings::AutoSave), 0);
    QCOMPARE(s.number(CSettings::LastFile), 0);
    QCOMPARE(s.number(CSettings::LastNote), -1);
    QCOMPARE(s.text(CSettings::StartPath), QString());
    QCOMPARE(s.number(CSettings::SortType), 2);
    QCOMPARE(s.number(CSettings::Collapse), 1);
    QCOMPARE(s.number(CSettings::DblU), 1);
    QCOMPARE(s.number(CSettings::DblM), 1);
    QCOMPARE(s.number(CSettings::DblP), 0);
    QCOMPARE(s.number(CSettings::DblF), 1);
    QCOMPARE(s.number(CSettings::ReqPsw), 1);
    QCOMPARE(s.number(CSettings::PreviewPages), 0);
    QVERIFY(s.bytes(CSettings::Font).isEmpty());
    QVERIFY(s.bytes(CSettings::FontL).isEmpty());
    QCOMPARE(s.text(CSettings::CodePage), QStringLiteral("windows-1252"));
    const CPasswordGenSettings gen = CPasswordGenSettings::load(s);
    QCOMPARE(gen.quantity, 4);
    QCOMPARE(gen.numbers, 1);
    QCOMPARE(gen.letters, 1);
    QCOMPARE(gen.special, 0);
    QCOMPARE(gen.reminder, 0);
    QCOMPARE(s.number(CSettings::ReminderColumn0), 250);
    QCOMPARE(s.number(CSettings::ReminderColumn1), 35);
    QCOMPARE(s.number(CSettings::ReminderColumn2), 70);
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        QCOMPARE(s.number(CSettings::DefIcon, slot), slot);
    QCOMPARE(s.number(CSettings::WindowFlag), 0);
    QCOMPARE(s.number(CSettings::WindowShowCmd), 5);
    QCOMPARE(s.number(CSettings::WindowLeft), 50);
    QCOMPARE(s.number(CSettings::WindowTop), 50);
    QCOMPARE(s.number(CSettings::WindowRight), 750);
    QCOMPARE(s.number(CSettings::WindowBottom), 550);
    QCOMPARE(s.number(CSettings::Splitter), 220);
    for (int pos = 0; pos < CSettings::kToolbarPositions; ++pos)
        QCOMPARE(s.number(CSettings::ToolbarShown, pos), 1);
    QVERIFY(CRecentFileList::load(s).isEmpty());
    const CBackupSettings backup = CBackupSettings::load(s);
    QCOMPARE(backup.on, false);
    QCOMPARE(backup.folder, QString());
    QCOMPARE(backup.versions, 1);
    QCOMPARE(backup.periodDays, 1);

    // The menu marks of a first run.
    QVERIFY(!s.isOn(CSettings::AutoSave));
    QVERIFY(!s.isOn(CSettings::LastFile));
    QVERIFY(s.isOn(CSettings::Collapse));
    QVERIFY(s.isOn(CSettings::DblU) && s.isOn(CSettings::DblM) && !s.isOn(CSettings::DblP) && s.isOn(CSettings::DblF));

    // Reading created nothing, in memory or on disk.
    QVERIFY(t.store->allKeys().isEmpty());
    t.store->sync();
    QVERIFY(!QFile::exists(t.path) || QFile(t.path).size() == 0);
}

void TestSettings::fileOfAnEarlierRunReadsAndWritesTheSame()
{
    const QString written = testpaths::data(QStringLiteral("settings/all-values.ini"));
    QFile original(written);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray originalBytes = original.readAll();
    const QList<StoredValue> values = allValuesFileContents();

    // Every value reads back as it was written.
    TempStore before(originalBytes);
    for (const StoredValue &v : values) {
        const QString what = CSettings::path(v.key, v.index);
        switch (CSettings::entry(v.key).type) {
        case CSettings::Type::Integer:
            QVERIFY2(before.settings->number(v.key, v.index) == v.value.toInt(), qPrintable(what));
            break;
        case CSettings::Type::String:
            QVERIFY2(before.settings->text(v.key, v.index) == v.value.toString(), qPrintable(what));
            break;
        case CSettings::Type::Binary:
            QVERIFY2(before.settings->bytes(v.key) == v.value.toByteArray(), qPrintable(what));
            break;
        }
    }
    QCOMPARE(CBackupSettings::load(*before.settings),
             (CBackupSettings{true, QStringLiteral("/home/u/back ups/"), 4, 14}));
    QCOMPARE(CPasswordGenSettings::load(*before.settings), (CPasswordGenSettings{7, 0, 1, 1, 1}));
    QCOMPARE(CRecentFileList::load(*before.settings).size(), 3);

    // And writing the same values now gives the same file, byte for byte.
    TempStore now;
    for (const StoredValue &v : values) {
        switch (CSettings::entry(v.key).type) {
        case CSettings::Type::Integer:
            now.settings->setNumber(v.key, v.value.toInt(), v.index);
            break;
        case CSettings::Type::String:
            now.settings->setText(v.key, v.value.toString(), v.index);
            break;
        case CSettings::Type::Binary:
            now.settings->setBytes(v.key, v.value.toByteArray());
            break;
        }
    }
    now.store->sync();
    QFile rewritten(now.path);
    QVERIFY(rewritten.open(QIODevice::ReadOnly));
    QCOMPARE(rewritten.readAll(), originalBytes);
}

void TestSettings::everyValueIsWrittenUnderItsName()
{
    TempStore t;
    CSettings &s = *t.settings;
    s.setNumber(CSettings::AutoSave, 7);
    s.setNumber(CSettings::LastFile, 1);
    s.setNumber(CSettings::LastNote, 12);
    s.setText(CSettings::StartPath, QStringLiteral("C:\\Notes, old\\"));
    s.setNumber(CSettings::SortType, 0);
    s.setNumber(CSettings::Collapse, 0);
    s.setNumber(CSettings::DblU, 0);
    s.setNumber(CSettings::DblM, 0);
    s.setNumber(CSettings::DblP, 1);
    s.setNumber(CSettings::DblF, 0);
    CPasswordGenSettings{20, 0, 1, 1, 1}.store(s);
    s.setNumber(CSettings::ReminderColumn0, 300);
    s.setNumber(CSettings::ReminderColumn1, 40);
    s.setNumber(CSettings::ReminderColumn2, 90);
    s.setText(CSettings::CodePage, QStringLiteral("windows-1251"));
    const QList<int> icons{9, 8, 7, 6, 5};
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        s.setNumber(CSettings::DefIcon, icons[slot], slot);
    s.setNumber(CSettings::WindowFlag, 2);
    s.setNumber(CSettings::WindowShowCmd, 3);
    s.setNumber(CSettings::WindowLeft, -10);
    s.setNumber(CSettings::WindowTop, 20);
    s.setNumber(CSettings::WindowRight, 1000);
    s.setNumber(CSettings::WindowBottom, 800);
    s.setNumber(CSettings::Splitter, 300);
    s.setNumber(CSettings::ToolbarShown, 0, 33);

    const auto raw = t.reopen();
    const QMap<QString, int> expectedInts{
        {"Settings/AutoSave", 7}, {"Settings/LastFile", 1}, {"Settings/LastNote", 12},
        {"Settings/SortType", 0}, {"Settings/Collapse", 0}, {"Settings/DblU", 0},
        {"Settings/DblM", 0}, {"Settings/DblP", 1}, {"Settings/DblF", 0},
        {"Settings/pswgqunt", 20}, {"Settings/pswgnum", 0}, {"Settings/pswglet", 1},
        {"Settings/pswgsp", 1}, {"Settings/pswgrem", 1}, {"Settings/rl0", 300},
        {"Settings/rl1", 40}, {"Settings/rl2", 90}, {"DefIcons/0", 9},
        {"DefIcons/1", 8}, {"DefIcons/2", 7}, {"DefIcons/3", 6},
        {"DefIcons/4", 5}, {"RestoreWnd/FLAG", 2}, {"RestoreWnd/SHOWCMD", 3},
        {"RestoreWnd/LEFT", -10}, {"RestoreWnd/TOP", 20}, {"RestoreWnd/RIGHT", 1000},
        {"RestoreWnd/BOTTOM", 800}, {"RestoreWnd/Splitter", 300}, {"Toolbar/33", 0},
    };
    QStringList expectedKeys = expectedInts.keys();
    expectedKeys << "Settings/StartPath" << "Settings/CodePage";
    expectedKeys.sort();
    QStringList keys = raw->allKeys();
    keys.sort();
    QCOMPARE(keys, expectedKeys);
    for (auto it = expectedInts.cbegin(); it != expectedInts.cend(); ++it)
        QCOMPARE(raw->value(it.key()).toInt(), it.value());
    QCOMPARE(raw->value("Settings/StartPath").toString(), QStringLiteral("C:\\Notes, old\\"));
    QCOMPARE(raw->value("Settings/CodePage").toString(), QStringLiteral("windows-1251"));

    // And the table reads back what it wrote.
    CSettings again(*raw);
    QCOMPARE(again.text(CSettings::StartPath), QStringLiteral("C:\\Notes, old\\"));
    QCOMPARE(CPasswordGenSettings::load(again), (CPasswordGenSettings{20, 0, 1, 1, 1}));
    QCOMPARE(again.number(CSettings::WindowLeft), -10);
    QCOMPARE(again.number(CSettings::Splitter), 300);
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        QCOMPARE(again.number(CSettings::DefIcon, slot), icons[slot]);
    QCOMPARE(again.number(CSettings::ReminderColumn2), 90);
    QCOMPARE(again.number(CSettings::ToolbarShown, 33), 0);
    QCOMPARE(again.number(CSettings::ToolbarShown, 32), 1);
}

void TestSettings::unreadableValuesGiveDefaults()
{
    TempStore t;
    QSettings &raw = *t.store;
    raw.setValue("Settings/SortType", "abc");
    raw.setValue("Settings/Collapse", "");
    raw.setValue("Settings/DblU", "2147483648");  // beyond 32 bits
    raw.setValue("Settings/DblM", "-2147483649");
    raw.setValue("Settings/rl0", "1.5");
    raw.setValue("Settings/LastNote", uint(0xFFFFFFFEu));  // a DWORD holding -2
    raw.setValue("Settings/LockMinutes", -5);              // below its range
    raw.setValue("DefIcons/3", QStringList{"1", "2"});
    raw.setValue("Settings/StartPath", QStringList{"C:\\a", "b\\"});
    raw.setValue("RestoreWnd/Splitter", QByteArray("\x01\x02", 2));
    const CSettings &s = *t.settings;

    QCOMPARE(s.number(CSettings::SortType), 2);
    QCOMPARE(s.number(CSettings::Collapse), 1);
    QCOMPARE(s.number(CSettings::DblU), 1);
    QCOMPARE(s.number(CSettings::DblM), 1);
    QCOMPARE(s.number(CSettings::ReminderColumn0), 250);
    QCOMPARE(s.number(CSettings::LastNote), -2);
    QCOMPARE(s.number(CSettings::LockMinutes), 0);
    QCOMPARE(s.number(CSettings::DefIcon, 3), 3);
    QCOMPARE(s.text(CSettings::StartPath), QString());
    QCOMPARE(s.number(CSettings::Splitter), 220);
    // Neighbours are unaffected.
    QCOMPARE(s.number(CSettings::DefIcon, 2), 2);
}

void TestSettings::handEditedFileIsRead()
{
    TempStore t("[Settings]\n"
                "AutoSave=2\n"
                "LastFile= 1\n"
                "SortType=x1\n"
                "StartPath=D:\\\\Docs\\\\\n"
                "ReqPsw=0\n"
                "PreviewPages=2\n"
                "[BackUp]\n"
                "BackUp=1\n"
                "BackUpPath=\"E:\\\\Back, up\\\\\"\n"
                "BackUpNumber=6\n"
                "BackUpPeriod=45\n"
                "[Recent%20File%20List]\n"
                "File1=a.tqb\n"
                "File2=\n"
                "File3=c.tqb\n");
    const CSettings &s = *t.settings;
    QCOMPARE(s.number(CSettings::AutoSave), 2);
    QCOMPARE(s.number(CSettings::LastFile), 1);
    QCOMPARE(s.number(CSettings::SortType), 2);
    QCOMPARE(s.text(CSettings::StartPath), QStringLiteral("D:\\Docs\\"));
    QCOMPARE(s.number(CSettings::ReqPsw), 0);
    QCOMPARE(s.number(CSettings::PreviewPages), 2);
    QCOMPARE(CBackupSettings::load(s), (CBackupSettings{true, QStringLiteral("E:\\Back, up\\"), 6, 45}));
    QCOMPARE(CRecentFileList::load(s), (QStringList{"a.tqb", "c.tqb"}));
}

void TestSettings::fontsAreBinary()
{
    TempStore t;
    QByteArray logFont(CSettings::kLogFontSize, '\0');
    for (int i = 0; i < logFont.size(); ++i)
        logFont[i] = char(i * 37);  // zeros, high bytes and '@' included
    t.settings->setBytes(CSettings::Font, logFont);
    t.settings->setBytes(CSettings::FontL, logFont.left(10));

    const auto raw = t.reopen();
    CSettings again(*raw);
    QCOMPARE(again.bytes(CSettings::Font), logFont);
    QCOMPARE(again.bytes(CSettings::FontL), logFont.left(10));

    // A font stored as text is no font.
    raw->setValue("Settings/Font", QStringLiteral("Arial"));
    QVERIFY(again.bytes(CSettings::Font).isEmpty());
}

void TestSettings::toolbarPositionShownUnlessZero()
{
    TempStore t;
    t.store->setValue("Toolbar/0", 0);
    t.store->setValue("Toolbar/1", 2);
    t.store->setValue("Toolbar/2", "no");
    QCOMPARE(t.settings->number(CSettings::ToolbarShown, 0), 0);
    QCOMPARE(t.settings->number(CSettings::ToolbarShown, 1), 2);
    QCOMPARE(t.settings->number(CSettings::ToolbarShown, 2), 1);

    t.settings->setNumber(CSettings::ToolbarShown, 1, 0);
    t.settings->setNumber(CSettings::ToolbarShown, 0, 5);
    QCOMPARE(t.store->value("Toolbar/0").toInt(), 1);
    QCOMPARE(t.store->value("Toolbar/5").toInt(), 0);
}

void TestSettings::backupOnOnlyForStoredOne_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << QVariant(1) << true;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("5") << QVariant(5) << false;
    QTest::newRow("-1") << QVariant(-1) << false;
    QTest::newRow("text") << QVariant("yes") << false;
}

void TestSettings::backupOnOnlyForStoredOne()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, on);
    TempStore t;
    t.store->setValue("BackUp/BackUp", stored);
    QCOMPARE(CBackupSettings::load(*t.settings).on, on);
}

void TestSettings::backupRoundTrip()
{
    TempStore t;
    const CBackupSettings on{true, QStringLiteral("/home/u/backups/"), 4, 14};
    on.store(*t.settings);
    {
        const auto raw = t.reopen();
        QCOMPARE(raw->value("BackUp/BackUp").toInt(), 1);
        QCOMPARE(raw->value("BackUp/BackUpPath").toString(), on.folder);
        QCOMPARE(raw->value("BackUp/BackUpNumber").toInt(), 4);
        QCOMPARE(raw->value("BackUp/BackUpPeriod").toInt(), 14);
        QCOMPARE(CBackupSettings::load(CSettings(*raw)), on);
    }

    // Turning backups off still writes all four values, "BackUp" as 0.
    const CBackupSettings off{false, QString(), 2, 30};
    off.store(*t.settings);
    const auto raw = t.reopen();
    QCOMPARE(raw->value("BackUp/BackUp").toInt(), 0);
    QVERIFY(raw->contains("BackUp/BackUpPath"));
    QCOMPARE(raw->value("BackUp/BackUpPath").toString(), QString());
    QCOMPARE(raw->value("BackUp/BackUpNumber").toInt(), 2);
    QCOMPARE(raw->value("BackUp/BackUpPeriod").toInt(), 30);
    QCOMPARE(CBackupSettings::load(CSettings(*raw)), off);
}

void TestSettings::recentFilesRoundTripAndShorten()
{
    TempStore t;
    CRecentFileList list(*t.settings);
    for (int n = 1; n <= 7; ++n)
        list.add(QStringLiteral("%1.tqb").arg(n));
    const QStringList six{"7.tqb", "6.tqb", "5.tqb", "4.tqb", "3.tqb", "2.tqb"};
    QCOMPARE(list.files(), six);
    QCOMPARE(CRecentFileList::load(*t.settings), six);
    QCOMPARE(t.store->value("Recent File List/File1").toString(), QStringLiteral("7.tqb"));
    QCOMPARE(t.store->value("Recent File List/File6").toString(), QStringLiteral("2.tqb"));
    QVERIFY(!t.store->contains("Recent File List/File7"));

    // A shorter list leaves no stale entries behind.
    for (const char *gone : {"6.tqb", "5.tqb", "4.tqb", "2.tqb"})
        list.remove(QString::fromLatin1(gone));
    const auto raw = t.reopen();
    QStringList keys = raw->allKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"Recent File List/File1", "Recent File List/File2"}));
    QCOMPARE(CRecentFileList::load(CSettings(*raw)), (QStringList{"7.tqb", "3.tqb"}));

    list.remove(QStringLiteral("7.tqb"));
    list.remove(QStringLiteral("3.tqb"));
    QVERIFY(t.store->allKeys().isEmpty());
}

void TestSettings::recentFilesSkipEmptyEntries()
{
    TempStore t;
    t.store->setValue("Recent File List/File1", "");
    t.store->setValue("Recent File List/File2", "b.tqb");
    t.store->setValue("Recent File List/File4", "d.tqb");
    t.store->setValue("Recent File List/File7", "beyond.tqb");
    QCOMPARE(CRecentFileList::load(*t.settings), (QStringList{"b.tqb", "d.tqb"}));
}

void TestSettings::toggleReadsAndWrites_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QVariant>("stored");  // invalid: not stored
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("written");

    QTest::newRow("AutoSave missing") << "AutoSave" << QVariant() << false << 1;
    QTest::newRow("AutoSave 2") << "AutoSave" << QVariant(2) << true << 0;
    QTest::newRow("AutoSave -1") << "AutoSave" << QVariant(-1) << true << 0;
    QTest::newRow("LastFile 1") << "LastFile" << QVariant(1) << true << 0;
    QTest::newRow("LastFile 2") << "LastFile" << QVariant(2) << false << 1;
    QTest::newRow("Collapse missing") << "Collapse" << QVariant() << true << 0;
    QTest::newRow("Collapse 3") << "Collapse" << QVariant(3) << true << 0;
    QTest::newRow("Collapse 0") << "Collapse" << QVariant(0) << false << 1;
    QTest::newRow("DblU missing") << "DblU" << QVariant() << true << 0;
    QTest::newRow("DblU 2") << "DblU" << QVariant(2) << false << 1;
    QTest::newRow("DblM missing") << "DblM" << QVariant() << true << 0;
    QTest::newRow("DblM 2") << "DblM" << QVariant(2) << false << 1;
    QTest::newRow("DblP missing") << "DblP" << QVariant() << false << 1;
    QTest::newRow("DblP 1") << "DblP" << QVariant(1) << true << 0;
    QTest::newRow("DblF missing") << "DblF" << QVariant() << true << 0;
    QTest::newRow("DblF -1") << "DblF" << QVariant(-1) << false << 1;
}

void TestSettings::toggleReadsAndWrites()
{
    QFETCH(QString, flag);
    QFETCH(QVariant, stored);
    QFETCH(bool, checked);
    QFETCH(int, written);
    const CSettings::Key key = flagKey(flag);
    const QString path = CSettings::path(key);
    TempStore t;
    if (stored.isValid())
        t.store->setValue(path, stored);

    QCOMPARE(t.settings->isOn(key), checked);

    t.settings->toggle(key);
    QCOMPARE(t.settings->isOn(key), !checked);
    const auto raw = t.reopen();
    QCOMPARE(raw->value(path).toInt(), written);
    // Only the toggled value was written.
    QCOMPARE(raw->allKeys(), QStringList{path});
    // What was written reads back as the same state on the next start.
    QCOMPARE(CSettings(*raw).isOn(key), !checked);
}

void TestSettings::otherFolderSetsStartAndCurrentFolder()
{
    TempStore t;
    QTemporaryDir chosen;
    const QString chosenPath = chosen.path();  // no trailing separator
    QVERIFY(!chosenPath.endsWith('/'));

    QVERIFY(startfolder::useOtherFolder(*t.settings, chosenPath));

    const QString expected = QDir::toNativeSeparators(chosenPath) + QDir::separator();
    QCOMPARE(t.settings->text(CSettings::StartPath), expected);
    QCOMPARE(t.reopen()->value("Settings/StartPath").toString(), expected);
    QCOMPARE(QDir(QDir::currentPath()).canonicalPath(), QDir(chosenPath).canonicalPath());
}

void TestSettings::cancelledFolderChoiceChangesNothing()
{
    TempStore t;
    t.store->setValue("Settings/StartPath", "/kept/");
    const QString current = QDir::currentPath();

    QVERIFY(!startfolder::useOtherFolder(*t.settings, QString()));
    QCOMPARE(t.settings->text(CSettings::StartPath), QStringLiteral("/kept/"));
    QCOMPARE(QDir::currentPath(), current);
}

void TestSettings::programFolderEmptiesStartOnly()
{
    TempStore t;
    t.store->setValue("Settings/StartPath", "/somewhere/");
    const QString current = QDir::currentPath();

    startfolder::useProgramFolder(*t.settings);
    QCOMPARE(t.settings->text(CSettings::StartPath), QString());
    const auto raw = t.reopen();
    QVERIFY(raw->contains("Settings/StartPath"));
    QCOMPARE(raw->value("Settings/StartPath").toString(), QString());
    QCOMPARE(QDir::currentPath(), current);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
