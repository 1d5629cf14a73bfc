#include "tree/SortRules.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QtTest>

#include <map>

using namespace sortrules;

namespace {

QStringList sortedLabels(const std::vector<SortChild> &children, qint32 type,
                         const QLocale &locale = QLocale(QLocale::English))
{
    QStringList out;
    for (int i : sortOrder(children, type, locale))
        out << children[static_cast<size_t>(i)].label;
    return out;
}

std::vector<SortChild> notes(const QStringList &labels)
{
    std::vector<SortChild> out;
    for (const QString &label : labels)
        out.push_back({label, false});
    return out;
}

// A small tree of our own, enough to run "Execute for all folders" on.
struct Node
{
    QString label;
    qint32 sort = -7;
    std::vector<Node *> children;
};

} // namespace

class TestSortRules : public QObject
{
    Q_OBJECT

private slots:
    void folderFirstPutsFoldersAheadEachGroupAlphabetical()
    {
        // Folders b and A, notes c and B.
        const std::vector<SortChild> level{{"b", true}, {"A", true}, {"c", false}, {"B", false}};
        QCOMPARE(sortedLabels(level, kFolderFirst), (QStringList{"A", "b", "B", "c"}));
        // Alphabetical alone mixes them; b and B compare equal and keep their order.
        QCOMPARE(sortedLabels(level, kAlphabetical), (QStringList{"A", "b", "B", "c"}));
        const std::vector<SortChild> swapped{{"B", false}, {"c", false}, {"b", true}, {"a", true}};
        QCOMPARE(sortedLabels(swapped, kAlphabetical), (QStringList{"a", "B", "b", "c"}));
        QCOMPARE(sortedLabels(swapped, kFolderFirst), (QStringList{"a", "b", "B", "c"}));
    }

    void anEmptyFolderSortsAmongTheNotes()
    {
        // "Folder" means having children at the moment of the sort.
        const std::vector<SortChild> level{{"Zeta", true}, {"Alpha", false}, {"Mid", false}};
        QCOMPARE(sortedLabels(level, kFolderFirst), (QStringList{"Zeta", "Alpha", "Mid"}));
        std::vector<SortChild> emptied = level;
        emptied[0].hasChildren = false;
        QCOMPARE(sortedLabels(emptied, kFolderFirst), (QStringList{"Alpha", "Mid", "Zeta"}));
    }

    void alphabeticalIgnoresCaseAndFollowsTheLocale()
    {
        // Byte order would put every capital ahead of every small letter.
        QCOMPARE(sortedLabels(notes({"banana", "Cherry", "apple", "Apricot"}), kAlphabetical),
                 (QStringList{"apple", "Apricot", "banana", "Cherry"}));
        // So does a process whose locale is plain C, as under a service manager.
        QCOMPARE(sortedLabels(notes({"banana", "Cherry", "apple", "Apricot"}), kAlphabetical,
                              QLocale::c()),
                 (QStringList{"apple", "Apricot", "banana", "Cherry"}));
        // Non-Latin-1 text is compared case-blind as well.
        QCOMPARE(sortedLabels(notes({"яблоко", "Груша", "Арбуз"}), kAlphabetical,
                              QLocale(QLocale::Russian)),
                 (QStringList{"Арбуз", "Груша", "яблоко"}));
        // German puts Ä with A; Swedish puts it after Z.
        const auto words = notes({"Zebra", QString::fromUtf8("Äpfel"), "Birne"});
        QCOMPARE(sortedLabels(words, kAlphabetical, QLocale(QLocale::German)),
                 (QStringList{QString::fromUtf8("Äpfel"), "Birne", "Zebra"}));
        QCOMPARE(sortedLabels(words, kAlphabetical, QLocale(QLocale::Swedish)),
                 (QStringList{"Birne", "Zebra", QString::fromUtf8("Äpfel")}));
    }

    void manualAndUnknownTypesMoveNothing()
    {
        const auto level = notes({"c", "a", "b"});
        for (qint32 type : {kManual, qint32(3), qint32(-1), qint32(1000)})
            QCOMPARE(sortOrder(level, type), (std::vector<int>{0, 1, 2}));
        QVERIFY(sortOrder({}, kFolderFirst).empty());
    }

    void equalLabelsKeepTheirPlacesSoResortingIsStable()
    {
        // Duplicates in case variants: a re-sort after a rename elsewhere must
        // not shuffle them.
        std::vector<SortChild> level{{"note", false}, {"Note", true}, {"NOTE", false},
                                     {"alpha", false}, {"note", true}};
        const auto first = sortOrder(level, kFolderFirst);
        QCOMPARE(first, (std::vector<int>{1, 4, 3, 0, 2}));
        const auto again = sortOrder(applyOrder(level, first), kFolderFirst);
        QCOMPARE(again, (std::vector<int>{0, 1, 2, 3, 4}));
    }

    // Placing the one item that was added, renamed or moved gives exactly
    // the full sort's order: sorted levels with one item moved or renamed,
    // ties and case variants among the labels, folders among notes, and
    // levels out of order where the placement must give way to the sort.
    void placingOneItemMatchesTheFullSort()
    {
        QRandomGenerator rng(7);
        const QStringList pieces{QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b"),
                                 QStringLiteral("é"), QStringLiteral("E"), QStringLiteral("z")};
        const auto randomLabel = [&] {
            QString label;
            for (int c = 1 + int(rng.bounded(3)); c > 0; --c)
                label += pieces.at(int(rng.bounded(pieces.size())));
            return label;
        };
        const QLocale locale(QLocale::French);
        for (int round = 0; round < 2000; ++round) {
            const qint32 type = round % 2 ? kFolderFirst : kAlphabetical;
            std::vector<SortChild> level;
            for (int i = int(rng.bounded(40)); i > 0; --i)
                level.push_back({randomLabel(), rng.bounded(4) == 0});
            if (round % 3 != 0)
                level = applyOrder(level, sortOrder(level, type, locale));  // sorted, then one change
            if (level.empty())
                continue;
            const int moved = int(rng.bounded(int(level.size())));
            if (round % 3 == 1) {
                level[size_t(moved)].label = randomLabel();
                level[size_t(moved)].hasChildren = rng.bounded(2) == 0;
            } else if (round % 3 == 2) {
                const SortChild item = level[size_t(moved)];
                level.erase(level.begin() + moved);
                level.insert(level.begin() + qsizetype(rng.bounded(int(level.size()) + 1)), item);
                // the moved item now stands wherever it was put: name it by its label's place
                int at = 0;
                while (at < int(level.size()) && !(level[size_t(at)].label == item.label &&
                                                     level[size_t(at)].hasChildren == item.hasChildren))
                    ++at;
                QCOMPARE(sortOrder(level, type, locale, at), sortOrder(level, type, locale));
                continue;
            }
            QCOMPARE(sortOrder(level, type, locale, moved), sortOrder(level, type, locale));
        }
    }

    void largeLevelGivesAPermutationInOrder()
    {
        // One level of 100,000 items: every item appears once, folders ahead,
        // each group non-decreasing under the same collation.
        QRandomGenerator rng(42);
        std::vector<SortChild> level;
        const int n = 100000;
        level.reserve(n);
        for (int i = 0; i < n; ++i) {
            QString label;
            for (int c = 0; c < 6; ++c) {
                const char base = rng.bounded(2) ? 'a' : 'A';
                label += QChar(base + char(rng.bounded(26)));
            }
            level.push_back({label, rng.bounded(5) == 0});
        }
        const QLocale locale(QLocale::English);
        const auto order = sortOrder(level, kFolderFirst, locale);
        QCOMPARE(order.size(), level.size());
        std::vector<bool> seen(level.size(), false);
        for (int i : order) {
            QVERIFY(!seen[size_t(i)]);
            seen[size_t(i)] = true;
        }
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        bool inFolders = true;
        for (size_t k = 1; k < order.size(); ++k) {
            const SortChild &a = level[size_t(order[k - 1])];
            const SortChild &b = level[size_t(order[k])];
            if (a.hasChildren != b.hasChildren) {
                QVERIFY2(inFolders && a.hasChildren, "a folder after a note");
                inFolders = false;
                continue;
            }
            QVERIFY2(collator.compare(a.label.toCaseFolded(), b.label.toCaseFolded()) <= 0,
                     qPrintable(a.label + " before " + b.label));
        }
    }

    void levelTypeComesFromTheRequestTheParentOrTheRoot_data()
    {
        QTest::addColumn<qint32>("requested");
        QTest::addColumn<bool>("hasParent");
        QTest::addColumn<bool>("parentIsValid");
        QTest::addColumn<qint32>("rootType");
        QTest::addColumn<qint32>("expected");
        // The parent, where valid, sorts alphabetically.
        QTest::newRow("manual asked") << kManual << true << true << kFolderFirst << kManual;
        QTest::newRow("folders first asked") << kFolderFirst << false << false << kManual << kFolderFirst;
        QTest::newRow("own type below a parent") << kLevelOwnType << true << true << kFolderFirst << kAlphabetical;
        QTest::newRow("own type at the root") << kLevelOwnType << false << false << kFolderFirst << kFolderFirst;
        // Any value other than 0..2 asks for the level's own type.
        QTest::newRow("out of range") << qint32(9) << false << false << kAlphabetical << kAlphabetical;
        // A parent without a valid row sorts nothing.
        QTest::newRow("parent without a row") << kLevelOwnType << true << false << kFolderFirst << kManual;
    }

    void levelTypeComesFromTheRequestTheParentOrTheRoot()
    {
        QFETCH(qint32, requested);
        QFETCH(bool, hasParent);
        QFETCH(bool, parentIsValid);
        QFETCH(qint32, rootType);
        QFETCH(qint32, expected);
        const qint32 parentSort = kAlphabetical;
        QCOMPARE(levelSortType(requested, hasParent, parentIsValid ? &parentSort : nullptr, rootType), expected);
    }

    void localSortChangesTheHoldingLevel()
    {
        using Store = LocalSortDecision::Store;
        // A root item (or nothing) selected: the root level.
        auto d = localSortCommand(kCmdLocalAlphabetical, false, false, kFolderFirst);
        QVERIFY(d);
        QCOMPARE(d->store, Store::RootLevel);
        QCOMPARE(d->type, kAlphabetical);
        QVERIFY(d->setLastLocal);
        QVERIFY(d->markModified);
        // A child: its parent's row, not the selected item's own children.
        d = localSortCommand(kCmdLocalManual, true, true, kFolderFirst);
        QCOMPARE(d->store, Store::ParentInfo);
        QCOMPARE(d->type, kManual);
        d = localSortCommand(kCmdLocalFolderFirst, true, false, kManual);
        QCOMPARE(d->store, Store::Nothing);
        QCOMPARE(d->type, kFolderFirst);
        // The button repeats the last choice and leaves it as it was.
        d = localSortCommand(kCmdLocalSortButton, true, true, kAlphabetical);
        QCOMPARE(d->type, kAlphabetical);
        QVERIFY(!d->setLastLocal);
        QVERIFY(!localSortCommand(kCmdDefaultAlphabetical, true, true, kManual));
        QVERIFY(!localSortCommand(kCmdExecuteForAllFolders, true, true, kManual));

        QCOMPARE(defaultSortTypeForCommand(kCmdDefaultManual), kManual);
        QCOMPARE(defaultSortTypeForCommand(kCmdDefaultAlphabetical), kAlphabetical);
        QCOMPARE(defaultSortTypeForCommand(kCmdDefaultFolderFirst), kFolderFirst);
        QCOMPARE(defaultSortTypeForCommand(kCmdLocalManual), -1);

        QCOMPARE(localSortButtonImage(kManual), 22);
        QCOMPARE(localSortButtonImage(kAlphabetical), 13);
        QCOMPARE(localSortButtonImage(kFolderFirst), 23);
        QVERIFY(!localSortButtonEnabled(-1));
        QVERIFY(localSortButtonEnabled(0));
    }

    void executeForAllFoldersSortsEveryLevelAndSetsEveryItem()
    {
        // root "r2" { "z note", "Sub" { "y", "X" }, "a note" }, root "R1" {}, root "m" { "k" }
        std::map<QString, Node> n;
        for (const char *name : {"r2", "z note", "Sub", "y", "X", "a note", "R1", "m", "k"})
            n[name].label = QString::fromLatin1(name);
        n["r2"].children = {&n["z note"], &n["Sub"], &n["a note"]};
        n["Sub"].children = {&n["y"], &n["X"]};
        n["m"].children = {&n["k"]};
        std::vector<Node *> roots{&n["r2"], &n["R1"], &n["m"]};

        auto sortLevel = [](std::vector<Node *> &level, qint32 type) {
            std::vector<SortChild> children;
            for (Node *node : level)
                children.push_back({node->label, !node->children.empty()});
            level = applyOrder(level, sortOrder(children, type));
        };
        QStringList calls;
        executeForAllFolders<Node *>(
            roots, kFolderFirst, [](Node *node) { return node->children; },
            [](Node *node, qint32 type) { node->sort = type; },
            [&](Node *node, qint32 type) {
                calls << "sort " + node->label;
                sortLevel(node->children, type);
            },
            [&](qint32 type) {
                calls << "roots";
                sortLevel(roots, type);
            });

        for (const auto &entry : n)
            QCOMPARE(entry.second.sort, kFolderFirst);
        auto labels = [](const std::vector<Node *> &level) {
            QStringList out;
            for (Node *node : level)
                out << node->label;
            return out;
        };
        QCOMPARE(labels(roots), (QStringList{"m", "r2", "R1"}));
        QCOMPARE(labels(n["r2"].children), (QStringList{"Sub", "a note", "z note"}));
        QCOMPARE(labels(n["Sub"].children), (QStringList{"X", "y"}));
        // Deeper levels before the level above them; the root level last.
        QCOMPARE(calls, (QStringList{"sort Sub", "sort r2", "sort m", "roots"}));
    }

    void executeForAllFoldersCopesWithAVeryDeepChain()
    {
        const int depth = 100000;
        std::vector<Node> chain(depth);
        for (int i = 0; i + 1 < depth; ++i)
            chain[size_t(i)].children = {&chain[size_t(i) + 1]};
        std::vector<Node *> roots{&chain[0]};
        int sorted = 0;
        executeForAllFolders<Node *>(
            roots, kAlphabetical, [](Node *node) { return node->children; },
            [](Node *node, qint32 type) { node->sort = type; },
            [&](Node *, qint32) { ++sorted; }, [](qint32) {});
        QCOMPARE(sorted, depth - 1);
        QCOMPARE(chain.back().sort, kAlphabetical);
    }
};

QTEST_GUILESS_MAIN(TestSortRules)
#include "tst_sortrules.moc"
