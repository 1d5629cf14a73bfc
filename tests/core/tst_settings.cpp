#include "settings/DocumentFlags.h"
#include "settings/Settings.h"

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

using Toggle = void (CDocumentFlags::*)(CSettings &);
using Checked = bool (CDocumentFlags::*)() const;

struct FlagCommand
{
    const char *key;
    Toggle toggle;
    Checked checked;
};

FlagCommand flagCommand(const QString &name)
{
    static const std::map<QString, FlagCommand> commands{
        {QStringLiteral("AutoSave"), {"Settings/AutoSave", &CDocumentFlags::toggleAutoSave, &CDocumentFlags::isAutoSaveChecked}},
        {QStringLiteral("LastFile"), {"Settings/LastFile", &CDocumentFlags::toggleLastFile, &CDocumentFlags::isLastFileChecked}},
        {QStringLiteral("Collapse"), {"Settings/Collapse", &CDocumentFlags::toggleCollapse, &CDocumentFlags::isCollapseChecked}},
        {QStringLiteral("DblU"), {"Settings/DblU", &CDocumentFlags::toggleDblU, &CDocumentFlags::isDblUChecked}},
        {QStringLiteral("DblM"), {"Settings/DblM", &CDocumentFlags::toggleDblM, &CDocumentFlags::isDblMChecked}},
        {QStringLiteral("DblP"), {"Settings/DblP", &CDocumentFlags::toggleDblP, &CDocumentFlags::isDblPChecked}},
        {QStringLiteral("DblF"), {"Settings/DblF", &CDocumentFlags::toggleDblF, &CDocumentFlags::isDblFChecked}},
    };
    return commands.at(name);
}

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_savedCurrent = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_savedCurrent); }

    void emptyStoreGivesDefaultsAndStaysEmpty();
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

    QCOMPARE(s.autoSave(), 0);
    QCOMPARE(s.lastFile(), 0);
    QCOMPARE(s.lastNote(), -1);
    QCOMPARE(s.startPath(), QString());
    QCOMPARE(s.sortType(), 2);
    QCOMPARE(s.collapse(), 1);
    QCOMPARE(s.dblU(), 1);
    QCOMPARE(s.dblM(), 1);
    QCOMPARE(s.dblP(), 0);
    QCOMPARE(s.dblF(), 1);
    QCOMPARE(s.reqPsw(), 1);
    QCOMPARE(s.previewPages(), 0);
    QVERIFY(s.font().isEmpty());
    QVERIFY(s.fontL().isEmpty());
    QCOMPARE(s.codePage(), QStringLiteral("windows-1252"));
    const CPasswordGenSettings gen = s.passwordGen();
    QCOMPARE(gen.quantity, 4);
    QCOMPARE(gen.numbers, 1);
    QCOMPARE(gen.letters, 1);
    QCOMPARE(gen.special, 0);
    QCOMPARE(gen.reminder, 0);
    QCOMPARE(s.reminderColumnWidth(0), 250);
    QCOMPARE(s.reminderColumnWidth(1), 35);
    QCOMPARE(s.reminderColumnWidth(2), 70);
    QCOMPARE(s.defIcons(), (std::array<qint32, 5>{0, 1, 2, 3, 4}));
    const CRestoreWndSettings wnd = s.restoreWnd();
    QCOMPARE(wnd.flag, 0);
    QCOMPARE(wnd.showCmd, 5);
    QCOMPARE(wnd.left, 50);
    QCOMPARE(wnd.top, 50);
    QCOMPARE(wnd.right, 750);
    QCOMPARE(wnd.bottom, 550);
    QCOMPARE(wnd.splitter, 220);
    for (int pos = 0; pos < CSettings::kToolbarPositions; ++pos)
        QVERIFY(s.toolbarButtonShown(pos));
    QVERIFY(s.recentFiles().isEmpty());
    const CBackupSettings backup = s.backup();
    QCOMPARE(backup.on, false);
    QCOMPARE(backup.folder, QString());
    QCOMPARE(backup.versions, 1);
    QCOMPARE(backup.periodDays, 1);

    const CDocumentFlags flags = CDocumentFlags::load(s);
    QVERIFY(!flags.isAutoSaveChecked());
    QVERIFY(!flags.isLastFileChecked());
    QCOMPARE(flags.defaultSortType(), 2);
    QVERIFY(flags.isSortTypeChecked(2));
    QVERIFY(flags.isCollapseChecked());
    QVERIFY(flags.dblU() && flags.dblM() && !flags.dblP() && flags.dblF());
    QVERIFY(flags.isProgramFolderChecked());
    QVERIFY(!flags.isOtherFolderChecked());

    // Reading created nothing, in memory or on disk.
    QVERIFY(t.store->allKeys().isEmpty());
    t.store->sync();
    QVERIFY(!QFile::exists(t.path) || QFile(t.path).size() == 0);
}

void TestSettings::everyValueIsWrittenUnderItsName()
{
    TempStore t;
    CSettings &s = *t.settings;
    s.setAutoSave(7);
    s.setLastFile(1);
    s.setLastNote(12);
    s.setStartPath(QStringLiteral("C:\\Notes, old\\"));
    s.setSortType(0);
    s.setCollapse(0);
    s.setDblU(0);
    s.setDblM(0);
    s.setDblP(1);
    s.setDblF(0);
    s.setPasswordGen({20, 0, 1, 1, 1});
    s.setReminderColumnWidth(0, 300);
    s.setReminderColumnWidth(1, 40);
    s.setReminderColumnWidth(2, 90);
    s.setCodePage(QStringLiteral("windows-1251"));
    s.setDefIcons({9, 8, 7, 6, 5});
    s.setRestoreWnd({2, 3, -10, 20, 1000, 800, 300});
    s.setToolbarButtonShown(33, false);

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

    // And the accessors read back what they wrote.
    CSettings again(*raw);
    QCOMPARE(again.startPath(), QStringLiteral("C:\\Notes, old\\"));
    QCOMPARE(again.passwordGen(), (CPasswordGenSettings{20, 0, 1, 1, 1}));
    QCOMPARE(again.restoreWnd(), (CRestoreWndSettings{2, 3, -10, 20, 1000, 800, 300}));
    QCOMPARE(again.defIcons(), (std::array<qint32, 5>{9, 8, 7, 6, 5}));
    QCOMPARE(again.reminderColumnWidth(2), 90);
    QVERIFY(!again.toolbarButtonShown(33));
    QVERIFY(again.toolbarButtonShown(32));
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
    raw.setValue("DefIcons/3", QStringList{"1", "2"});
    raw.setValue("Settings/StartPath", QStringList{"C:\\a", "b\\"});
    raw.setValue("RestoreWnd/Splitter", QByteArray("\x01\x02", 2));
    const CSettings &s = *t.settings;

    QCOMPARE(s.sortType(), 2);
    QCOMPARE(s.collapse(), 1);
    QCOMPARE(s.dblU(), 1);
    QCOMPARE(s.dblM(), 1);
    QCOMPARE(s.reminderColumnWidth(0), 250);
    QCOMPARE(s.lastNote(), -2);
    QCOMPARE(s.defIcons()[3], 3);
    QCOMPARE(s.startPath(), QString());
    QCOMPARE(s.restoreWnd().splitter, 220);
    // Neighbours are unaffected.
    QCOMPARE(s.defIcons()[2], 2);
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
    QCOMPARE(s.autoSave(), 2);
    QCOMPARE(s.lastFile(), 1);
    QCOMPARE(s.sortType(), 2);
    QCOMPARE(s.startPath(), QStringLiteral("D:\\Docs\\"));
    QCOMPARE(s.reqPsw(), 0);
    QCOMPARE(s.previewPages(), 2);
    QCOMPARE(s.backup(), (CBackupSettings{true, QStringLiteral("E:\\Back, up\\"), 6, 45}));
    QCOMPARE(s.recentFiles(), (QStringList{"a.tqb", "c.tqb"}));
}

void TestSettings::fontsAreBinary()
{
    TempStore t;
    QByteArray logFont(CSettings::kLogFontSize, '\0');
    for (int i = 0; i < logFont.size(); ++i)
        logFont[i] = char(i * 37);  // zeros, high bytes and '@' included
    t.settings->setFont(logFont);
    t.settings->setFontL(logFont.left(10));

    const auto raw = t.reopen();
    CSettings again(*raw);
    QCOMPARE(again.font(), logFont);
    QCOMPARE(again.fontL(), logFont.left(10));

    // A font stored as text is no font.
    raw->setValue("Settings/Font", QStringLiteral("Arial"));
    QVERIFY(again.font().isEmpty());
}

void TestSettings::toolbarPositionShownUnlessZero()
{
    TempStore t;
    t.store->setValue("Toolbar/0", 0);
    t.store->setValue("Toolbar/1", 2);
    t.store->setValue("Toolbar/2", "no");
    QVERIFY(!t.settings->toolbarButtonShown(0));
    QVERIFY(t.settings->toolbarButtonShown(1));
    QVERIFY(t.settings->toolbarButtonShown(2));

    t.settings->setToolbarButtonShown(0, true);
    t.settings->setToolbarButtonShown(5, false);
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
    QCOMPARE(t.settings->backup().on, on);
}

void TestSettings::backupRoundTrip()
{
    TempStore t;
    const CBackupSettings on{true, QStringLiteral("/home/u/backups/"), 4, 14};
    t.settings->setBackup(on);
    {
        const auto raw = t.reopen();
        QCOMPARE(raw->value("BackUp/BackUp").toInt(), 1);
        QCOMPARE(raw->value("BackUp/BackUpPath").toString(), on.folder);
        QCOMPARE(raw->value("BackUp/BackUpNumber").toInt(), 4);
        QCOMPARE(raw->value("BackUp/BackUpPeriod").toInt(), 14);
        QCOMPARE(CSettings(*raw).backup(), on);
    }

    // Turning backups off still writes all four values, "BackUp" as 0.
    const CBackupSettings off{false, QString(), 2, 30};
    t.settings->setBackup(off);
    const auto raw = t.reopen();
    QCOMPARE(raw->value("BackUp/BackUp").toInt(), 0);
    QVERIFY(raw->contains("BackUp/BackUpPath"));
    QCOMPARE(raw->value("BackUp/BackUpPath").toString(), QString());
    QCOMPARE(raw->value("BackUp/BackUpNumber").toInt(), 2);
    QCOMPARE(raw->value("BackUp/BackUpPeriod").toInt(), 30);
    QCOMPARE(CSettings(*raw).backup(), off);
}

void TestSettings::recentFilesRoundTripAndShorten()
{
    TempStore t;
    const QStringList six{"1.tqb", "2.tqb", "3.tqb", "4.tqb", "5.tqb", "6.tqb"};
    t.settings->setRecentFiles(six + QStringList{"7.tqb"});
    QCOMPARE(t.settings->recentFiles(), six);
    QCOMPARE(t.store->value("Recent File List/File1").toString(), QStringLiteral("1.tqb"));
    QCOMPARE(t.store->value("Recent File List/File6").toString(), QStringLiteral("6.tqb"));
    QVERIFY(!t.store->contains("Recent File List/File7"));

    // A shorter list leaves no stale entries behind.
    t.settings->setRecentFiles({"new.tqb", "", "1.tqb"});
    const auto raw = t.reopen();
    QStringList keys = raw->allKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"Recent File List/File1", "Recent File List/File2"}));
    QCOMPARE(CSettings(*raw).recentFiles(), (QStringList{"new.tqb", "1.tqb"}));

    t.settings->setRecentFiles({});
    QVERIFY(t.store->allKeys().isEmpty());
}

void TestSettings::recentFilesSkipEmptyEntries()
{
    TempStore t;
    t.store->setValue("Recent File List/File1", "");
    t.store->setValue("Recent File List/File2", "b.tqb");
    t.store->setValue("Recent File List/File4", "d.tqb");
    t.store->setValue("Recent File List/File7", "beyond.tqb");
    QCOMPARE(t.settings->recentFiles(), (QStringList{"b.tqb", "d.tqb"}));
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
    const FlagCommand command = flagCommand(flag);
    TempStore t;
    if (stored.isValid())
        t.store->setValue(command.key, stored);

    CDocumentFlags flags = CDocumentFlags::load(*t.settings);
    QCOMPARE((flags.*command.checked)(), checked);

    (flags.*command.toggle)(*t.settings);
    QCOMPARE((flags.*command.checked)(), !checked);
    const auto raw = t.reopen();
    QCOMPARE(raw->value(command.key).toInt(), written);
    // Only the toggled value was written.
    QCOMPARE(raw->allKeys(), QStringList{command.key});
    // What was written reads back as the same state on the next start.
    QCOMPARE((CDocumentFlags::load(CSettings(*raw)).*command.checked)(), !checked);
}



void TestSettings::otherFolderSetsStartAndCurrentFolder()
{
    TempStore t;
    QTemporaryDir chosen;
    const QString chosenPath = chosen.path();  // no trailing separator
    QVERIFY(!chosenPath.endsWith('/'));

    CDocumentFlags flags = CDocumentFlags::load(*t.settings);
    QVERIFY(flags.useOtherFolder(*t.settings, chosenPath));

    const QString expected = QDir::toNativeSeparators(chosenPath) + QDir::separator();
    QCOMPARE(flags.startPath(), expected);
    QVERIFY(flags.isOtherFolderChecked());
    QVERIFY(!flags.isProgramFolderChecked());
    QCOMPARE(t.reopen()->value("Settings/StartPath").toString(), expected);
    QCOMPARE(QDir(QDir::currentPath()).canonicalPath(), QDir(chosenPath).canonicalPath());
}


void TestSettings::cancelledFolderChoiceChangesNothing()
{
    TempStore t;
    t.store->setValue("Settings/StartPath", "/kept/");
    CDocumentFlags flags = CDocumentFlags::load(*t.settings);
    const QString current = QDir::currentPath();

    QVERIFY(!flags.useOtherFolder(*t.settings, QString()));
    QCOMPARE(flags.startPath(), QStringLiteral("/kept/"));
    QCOMPARE(t.settings->startPath(), QStringLiteral("/kept/"));
    QCOMPARE(QDir::currentPath(), current);
}

void TestSettings::programFolderEmptiesStartOnly()
{
    TempStore t;
    t.store->setValue("Settings/StartPath", "/somewhere/");
    CDocumentFlags flags = CDocumentFlags::load(*t.settings);
    QVERIFY(flags.isOtherFolderChecked());
    const QString current = QDir::currentPath();

    flags.useProgramFolder(*t.settings);
    QVERIFY(flags.isProgramFolderChecked());
    QCOMPARE(flags.startPath(), QString());
    const auto raw = t.reopen();
    QVERIFY(raw->contains("Settings/StartPath"));
    QCOMPARE(raw->value("Settings/StartPath").toString(), QString());
    QCOMPARE(QDir::currentPath(), current);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
