#include "DocFixture.h"
#include "settings/Settings.h"
#include "tree/IconRules.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace iconrules;

namespace {

CNoteInfo infoWith(const IconSet &icons)
{
    CNoteInfo info;
    info.m_nIcons = icons;
    return info;
}

const IconSet kDocDefaults{10, 11, 5, 6, 9};

} // namespace

class TestIconRules : public QObject
{
    Q_OBJECT

private slots:
    void slotFollowsTheItemAsItGainsAndLosesChildren()
    {
        // A note under a folder with a set of its own.
        const CNoteInfo folderInfo = infoWith({20, 21, 22, 23, 24});
        CNoteInfo note = infoWith(newRowIcons(false, &folderInfo, kDocDefaults));
        QCOMPARE(itemImage(&note, kDocDefaults, false, false, true), 24);
        // Its first child arrives: opened when the insertion expands it, else closed.
        QCOMPARE(itemImage(&note, kDocDefaults, false, true, true), 23);
        QCOMPARE(itemImage(&note, kDocDefaults, false, true, false), 22);
        // The last child goes away: a note again, whatever the flag says.
        QCOMPARE(itemImage(&note, kDocDefaults, false, false, false), 24);

        // A root folder: closed while empty, even when "expanded".
        const CNoteInfo root = infoWith(newRowIcons(true, nullptr, kDocDefaults));
        QCOMPARE(root.m_nIcons, kDocDefaults);
        QCOMPARE(itemImage(&root, kDocDefaults, true, false, true), 10);
        QCOMPARE(itemImage(&root, kDocDefaults, true, true, true), 11);
        QCOMPARE(itemImage(&root, kDocDefaults, true, true, false), 10);
    }

    void slotTable_data()
    {
        QTest::addColumn<bool>("isRoot");
        QTest::addColumn<bool>("hasChildren");
        QTest::addColumn<bool>("expanded");
        QTest::addColumn<int>("slot");
        QTest::newRow("empty root") << true << false << false << kClosedRoot;
        QTest::newRow("empty root, expanded") << true << false << true << kClosedRoot;
        QTest::newRow("root collapsed") << true << true << false << kClosedRoot;
        QTest::newRow("root expanded") << true << true << true << kOpenedRoot;
        QTest::newRow("subfolder collapsed") << false << true << false << kClosedSubfolder;
        QTest::newRow("subfolder expanded") << false << true << true << kOpenedSubfolder;
        QTest::newRow("note") << false << false << false << kNote;
        QTest::newRow("note, expanded") << false << false << true << kNote;
    }
    void slotTable()
    {
        QFETCH(bool, isRoot);
        QFETCH(bool, hasChildren);
        QFETCH(bool, expanded);
        QFETCH(int, slot);
        QCOMPARE(slotFor(isRoot, hasChildren, expanded), slot);
    }

    void negativeOrMissingValuesTakeTheDocumentDefaults()
    {
        const CNoteInfo partial = infoWith({-1, 30, -5, 0, -1});
        QCOMPARE(effectiveIcons(&partial, kDocDefaults), (IconSet{10, 30, 5, 0, 9}));
        // A data value outside the tables: all five defaults.
        QCOMPARE(effectiveIcons(nullptr, kDocDefaults), kDocDefaults);
        QCOMPARE(itemImage(nullptr, kDocDefaults, false, false, false), 9);
        // A child copies the parent's values as stored, negatives included, so a
        // later change of the defaults still reaches it.
        QCOMPARE(newRowIcons(false, &partial, kDocDefaults), partial.m_nIcons);
        // A child whose parent has no row starts from the defaults.
        QCOMPARE(newRowIcons(false, nullptr, kDocDefaults), kDocDefaults);
    }

    void numbersOutsideTheImageListAreKeptButDrawnAsTheSlotDefault()
    {
        const CNoteInfo odd = infoWith({75, 60, 1000, 59, 0});
        // The value is the item's and goes back into the file unchanged.
        QCOMPARE(itemImage(&odd, kDocDefaults, true, false, false), 75);
        QCOMPARE(displayImage(75, kClosedRoot), 0);
        QCOMPARE(displayImage(60, kOpenedRoot), 1);
        QCOMPARE(displayImage(1000, kClosedSubfolder), 2);
        QCOMPARE(displayImage(-3, kNote), 4);
        QCOMPARE(displayImage(59, kOpenedSubfolder), 59);
        QCOMPARE(displayImage(0, kNote), 0);

        QVERIFY(isImageIndex(0) && isImageIndex(59));
        QVERIFY(!isImageIndex(60) && !isImageIndex(-1));
        QVERIFY(isHeaderIcon(0) && isHeaderIcon(79));
        QVERIFY(!isHeaderIcon(80) && !isHeaderIcon(-1));
    }

    void dialogFillsSlotsInTurnAndWraps()
    {
        const CNoteInfo item = infoWith({0, 1, 2, 3, 4});
        CIconChoice choice(selectIconsSetup(3, &item, kDocDefaults));
        choice.setCurrentTab(2);
        for (qint32 image : {40, 41, 42, 43, 44})
            choice.pick(image);
        QCOMPARE(choice.values(), (IconSet{43, 44, 40, 41, 42}));
        QCOMPARE(choice.currentTab(), 2);
        // A number the list does not hold changes nothing, not even the tab.
        choice.pick(60);
        choice.pick(-1);
        QCOMPARE(choice.values(), (IconSet{43, 44, 40, 41, 42}));
        QCOMPARE(choice.currentTab(), 2);
        choice.setCurrentTab(5);
        QCOMPARE(choice.currentTab(), 2);
        // "Default" loads the document defaults.
        choice.useAlternative();
        QCOMPARE(choice.values(), kDocDefaults);
    }

    void selectIconsEditsTheItemOrWithNothingSelectedTheDefaults()
    {
        const CNoteInfo item = infoWith({-1, 50, 51, 52, 53});
        DialogSetup setup = selectIconsSetup(7, &item, kDocDefaults);
        QVERIFY(!setup.defaultsMode);
        QVERIFY(setup.alternativeEnabled);
        QCOMPARE(setup.current, (IconSet{10, 50, 51, 52, 53}));
        QCOMPARE(setup.alternative, kDocDefaults);
        CIconChoice choice(setup);
        QCOMPARE(choice.windowTitle(), QStringLiteral("Select icons"));
        QCOMPARE(choice.alternativeButtonText(), QStringLiteral("Default"));
        QVERIFY(choice.branchEnabled());
        DialogOutcome outcome = dialogOutcome(setup, 7, true);
        QVERIFY(outcome.storeItem && outcome.storeBranch && outcome.markModified);
        QVERIFY(!outcome.storeDefaults);
        outcome = dialogOutcome(setup, 7, false);
        QVERIFY(outcome.storeItem && !outcome.storeBranch);

        setup = selectIconsSetup(-1, nullptr, kDocDefaults);
        QVERIFY(setup.defaultsMode);
        QVERIFY(!setup.alternativeEnabled);
        QCOMPARE(setup.current, kDocDefaults);
        CIconChoice defaults(setup);
        QCOMPARE(defaults.windowTitle(), QStringLiteral("Select default icons"));
        QCOMPARE(defaults.alternativeButtonText(), QStringLiteral("As Selected"));
        QVERIFY(!defaults.branchEnabled());
        defaults.setBranch(true);
        QVERIFY(!defaults.branch());
        defaults.pick(33);
        defaults.useAlternative();   // disabled: keeps the pick
        QCOMPARE(defaults.value(0), 33);
        outcome = dialogOutcome(setup, -1, true);
        QVERIFY(outcome.storeDefaults);
        QVERIFY(!outcome.storeItem && !outcome.storeBranch && !outcome.markModified);
    }

    void defaultIconsCommandOffersTheSelectedItemsSet()
    {
        const CNoteInfo item = infoWith({7, -1, 8, -1, 9});
        DialogSetup setup = defaultIconsSetup(2, &item, kDocDefaults);
        QVERIFY(setup.defaultsMode && setup.alternativeEnabled);
        QCOMPARE(setup.current, kDocDefaults);
        QCOMPARE(setup.alternative, (IconSet{7, 11, 8, 6, 9}));
        CIconChoice choice(setup);
        choice.useAlternative();
        QCOMPARE(choice.values(), (IconSet{7, 11, 8, 6, 9}));
        const DialogOutcome outcome = dialogOutcome(setup, 2, true);
        QVERIFY(outcome.storeDefaults && outcome.markModified);
        QVERIFY(!outcome.storeItem && !outcome.storeBranch);
        QVERIFY(!defaultIconsSetup(-1, nullptr, kDocDefaults).alternativeEnabled);
    }

    void storedDefaultsSurviveARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        IconSet docDefaults = kBuiltInDefaults;
        {
            QSettings store(path, QSettings::IniFormat);
            CSettings settings(store);
            storeDefaultIcons(docDefaults, settings, {12, 13, 14, 15, 59});
        }
        QCOMPARE(docDefaults, (IconSet{12, 13, 14, 15, 59}));
        QSettings reread(path, QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("DefIcons/4")).toInt(), 59);
        QCOMPARE(storedDefaultIcons(CSettings(reread)), (IconSet{12, 13, 14, 15, 59}));
    }
};

QTEST_GUILESS_MAIN(TestIconRules)
#include "tst_iconrules.moc"
