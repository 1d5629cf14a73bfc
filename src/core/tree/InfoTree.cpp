#include "tree/InfoTree.h"

#include "doc/TorviQuillbookDoc.h"
#include "editor/CaptureSplit.h"
#include "find/TextMatch.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tree/DragRules.h"
#include "tree/IconRules.h"
#include "tree/SortRules.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace {

// Branches bigger than this are inserted under one model reset rather than
// one row notice per item.
constexpr size_t kBulkThreshold = 2000;

}  // namespace

QString CInfoTree::tablesMismatchMessage()
{
    return QString::fromUtf8("Error 0(рассогласование массивов)");
}

QString CInfoTree::unplacedMessage(int count)
{
    return QStringLiteral("%1 item(s) of this document could not be placed in the tree because their parent "
                          "links name no item that can be shown. They are not shown, and they are kept in the "
                          "file when it is saved.")
        .arg(count);
}

CInfoTree::CInfoTree(CTorviQuillbookDoc &doc) : m_doc(doc)
{
    m_model.addObserver(this);
}

CInfoTree::~CInfoTree()
{
    m_model.removeObserver(this);
}

// ================================================================ helpers

QString CInfoTree::toText(const QByteArray &bytes) const
{
    const CCodePage page(m_doc.settings().codePage());
    return page.isValid() ? page.toUnicode(bytes) : QString::fromLatin1(bytes);
}

bool CInfoTree::inTableRange(Handle item) const
{
    const qint32 d = m_model.data(item);
    return d >= 0 && d < m_doc.count();
}

void CInfoTree::select(Handle item)
{
    // Like the platform control, selecting an item makes it visible.
    m_model.select(item);
    if (item != kNone && m_model.selected() == item)
        m_model.ensureVisible(item);
}

void CInfoTree::updateViews()
{
    emit m_doc.updateAllViews(CTorviQuillbookDoc::kHintShowItem);
}

void CInfoTree::markModified()
{
    m_doc.setModifiedFlag(true);
}

void CInfoTree::recomputeAnyExpanded()
{
    // Some visible item below the first root has a parent: the walk stops at
    // the first visible item that has one.
    m_bAnyExpanded = false;
    for (Handle h = m_model.firstVisible(); h != kNone; h = m_model.nextVisible(h)) {
        if (m_model.parent(h) != kNone) {
            m_bAnyExpanded = true;
            return;
        }
    }
}

void CInfoTree::forgetRecord()
{
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_hClipItem = kNone;
    m_hUndoParent = kNone;
    m_bClipHasChildren = false;
    m_bCut = false;
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
}

// ================================================================ sorting and icons

void CInfoTree::sortLevel(Handle item, qint32 type)
{
    const Handle parent = m_model.parent(item);
    const CNoteInfo *parentInfo = nullptr;
    if (parent != kNone) {
        const qint32 d = m_model.data(parent);
        if (d >= 0 && size_t(d) < m_doc.m_arInfos.size())
            parentInfo = &m_doc.m_arInfos[size_t(d)];
    }
    const qint32 used = sortrules::levelSortType(type, parent != kNone, parentInfo ? &parentInfo->m_nSort : nullptr,
                                                 m_doc.m_nRootSort);
    if (used != sortrules::kAlphabetical && used != sortrules::kFolderFirst)
        return;
    const std::vector<Handle> kids = m_model.children(parent);
    if (kids.size() < 2)
        return;
    std::vector<sortrules::SortChild> level;
    level.reserve(kids.size());
    for (Handle h : kids)
        level.push_back({toText(m_model.label(h)), m_model.hasChildren(h)});
    const std::vector<int> order = sortrules::sortOrder(level, used);
    std::vector<Handle> newOrder;
    newOrder.reserve(order.size());
    for (int i : order)
        newOrder.push_back(kids[size_t(i)]);
    m_model.reorderChildren(parent, newOrder);
}

const CNoteInfo *CInfoTree::infoOf(Handle item) const
{
    if (item == kNone || !m_model.isValid(item))
        return nullptr;
    const qint32 d = m_model.data(item);
    return (d >= 0 && size_t(d) < m_doc.m_arInfos.size()) ? &m_doc.m_arInfos[size_t(d)] : nullptr;
}

iconrules::IconSet CInfoTree::newRowIcons(Handle parent) const
{
    return iconrules::newRowIcons(parent == kNone, infoOf(parent), m_doc.m_defaultIcons);
}

void CInfoTree::localSort(int commandId)
{
    const Handle selected = m_model.selected();
    const Handle parent = m_model.parent(selected);
    const CNoteInfo *parentInfo = infoOf(parent);
    const std::optional<sortrules::LocalSortDecision> decision =
        sortrules::localSortCommand(commandId, parent != kNone, parentInfo != nullptr, m_doc.m_nLastLocalSort);
    if (!decision)
        return;
    if (decision->store == sortrules::LocalSortDecision::Store::RootLevel)
        m_doc.m_nRootSort = decision->type;
    else if (decision->store == sortrules::LocalSortDecision::Store::ParentInfo)
        m_doc.m_arInfos[size_t(m_model.data(parent))].m_nSort = decision->type;
    sortLevel(selected, decision->type);
    if (decision->setLastLocal)
        m_doc.m_nLastLocalSort = decision->type;
    collectOrder();
    if (decision->markModified)
        markModified();
}

void CInfoTree::executeForAllFolders()
{
    const qint32 type = m_doc.flags().defaultSortType();
    {
        // One reset instead of a notice per reordered level.
        CTreeModel::ResetGuard reset(m_model);
        sortrules::executeForAllFolders<Handle>(
            m_model.children(kNone), type, [this](Handle h) { return m_model.children(h); },
            [this](Handle h, qint32 t) {
                if (infoOf(h))
                    m_doc.m_arInfos[size_t(m_model.data(h))].m_nSort = t;
            },
            [this](Handle h, qint32 t) {
                if (const Handle first = m_model.firstChild(h); first != kNone)
                    sortLevel(first, t);
            },
            [this](qint32 t) {
                if (const Handle first = m_model.firstRoot(); first != kNone)
                    sortLevel(first, t);
            });
    }
    collectOrder();
    markModified();
    updateViews();
}

iconrules::DialogSetup CInfoTree::selectIconsSetup() const
{
    return iconrules::selectIconsSetup(m_doc.m_nCurItem, infoOf(m_model.selected()), m_doc.m_defaultIcons);
}

iconrules::DialogSetup CInfoTree::defaultIconsSetup() const
{
    return iconrules::defaultIconsSetup(m_doc.m_nCurItem, infoOf(m_model.selected()), m_doc.m_defaultIcons);
}

void CInfoTree::applyIcons(const iconrules::DialogSetup &setup, const iconrules::IconSet &values, bool branch)
{
    const iconrules::DialogOutcome outcome = iconrules::dialogOutcome(setup, m_doc.m_nCurItem, branch);
    if (outcome.storeDefaults)
        iconrules::storeDefaultIcons(m_doc.m_defaultIcons, m_doc.settings(), values);
    const Handle started = m_model.selected();
    if (outcome.storeItem && infoOf(started))
        m_doc.m_arInfos[size_t(m_model.data(started))].m_nIcons = values;
    if (outcome.storeBranch && started != kNone) {
        // Each item of the branch is selected in turn, so the selection
        // protocol runs for it, and the walk ends on the last one.
        for (Handle h = started; h != kNone; h = m_model.nextInBranch(h, started)) {
            if (infoOf(h))
                m_doc.m_arInfos[size_t(m_model.data(h))].m_nIcons = values;
            setItemIcon(h, m_model.isExpanded(h));
            select(h);
        }
    }
    if (started != kNone) {
        const Handle next = m_model.nextVisible(started);
        setItemIcon(started, next != kNone && m_model.parent(next) == started);
    }
    if (outcome.markModified)
        markModified();
}

void CInfoTree::setItemIcon(Handle item, bool expanded)
{
    if (item == kNone || !m_model.isValid(item))
        return;
    const qint32 d = m_model.data(item);
    const CNoteInfo *info = (d >= 0 && size_t(d) < m_doc.m_arInfos.size()) ? &m_doc.m_arInfos[size_t(d)] : nullptr;
    const qint32 image = iconrules::itemImage(info, m_doc.m_defaultIcons, m_model.parent(item) == kNone,
                                              m_model.hasChildren(item), expanded);
    m_model.setImages(item, image, image);
}

// ================================================================ tree and binding

void CInfoTree::initialUpdate()
{
    // Delete all items (m_new is set by the document's clearing, so
    // the selection notices are ignored).
    cancelDrag();
    m_model.clear();
    m_bAnyExpanded = false;
    m_bCanExpandAll = false;
    m_unplaced.clear();
    m_reportedUnplaced.clear();
    // Always build, even with no rows: only the build clears m_new.
    buildTree();
    m_bClipHasChildren = false;
    m_doc.m_new = false;
    m_nUndo = kUndoNone;
    m_bDragging = false;
    if (m_doc.m_nImport == CTorviQuillbookDoc::kImportText || m_doc.m_nImport == CTorviQuillbookDoc::kImportCsv
        || m_doc.m_nImport == CTorviQuillbookDoc::kImportFavorites) {
        const int request = m_doc.m_nImport;
        if (m_importRunner)
            m_importRunner(request);
        m_doc.m_nImport = CTorviQuillbookDoc::kNoImport;
    }
}

void CInfoTree::buildTree()
{
    std::vector<quint32> all(size_t(m_doc.count()));
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = quint32(i);
    m_doc.m_new = true;
    m_model.clear();
    buildFrom(all);
    chooseFirstSelection(m_doc.takeSelectionAfterReload());
}

void CInfoTree::rebuildTree()
{
    // Keep what the working copy holds and the order the user made.
    if (!m_doc.m_new && m_model.selected() != kNone)
        storeItem(m_model.selected(), kStoreUpdate);
    if (!m_doc.m_new)
        collectOrder();
    const int keep = m_doc.m_nCurItem;
    std::vector<quint32> sequence(m_doc.m_arOrder.begin(), m_doc.m_arOrder.end());
    m_doc.m_new = true;
    m_model.clear();
    buildFrom(sequence);
    chooseFirstSelection(keep);
}

// Build tree, linear. Passes over the rows are computed rather than
// repeated: an item is placed in the pass of its parent when the parent comes
// before it in the sequence, else in the pass after. Placing the items in
// (pass, position) order gives exactly the tree the repeated passes give, in
// one sweep, and an item whose parent chain never reaches a root is simply
// never reached (0, itself, a cycle, past the end): the build ends.
void CInfoTree::buildFrom(const std::vector<quint32> &sequence)
{
    const int n = m_doc.count();
    CTreeModel::ResetGuard reset(m_model);
    m_doc.m_arOrder.clear();
    m_unplaced.clear();

    std::vector<int> position(size_t(n), -1);
    std::vector<quint32> seq;
    seq.reserve(sequence.size());
    for (quint32 i : sequence) {
        if (qint64(i) < n && position[i] < 0) {
            position[i] = int(seq.size());
            seq.push_back(i);
        }
    }
    // Children lists in sequence order (head / next arrays).
    std::vector<int> firstChild(size_t(n), -1), lastChild(size_t(n), -1), nextSibling(size_t(n), -1);
    std::vector<quint32> roots;
    for (quint32 i : seq) {
        const quint32 link = m_doc.m_arParents[i];
        if (link == CItemTables::kRootParent) {
            roots.push_back(i);
        } else if (link >= 2 && qint64(link) - 2 < n && position[link - 2] >= 0 && link - 2 != i) {
            const quint32 p = link - 2;
            if (lastChild[p] < 0)
                firstChild[p] = int(i);
            else
                nextSibling[size_t(lastChild[p])] = int(i);
            lastChild[p] = int(i);
        }
    }
    // Pass numbers, from the roots down (iteratively: a chain may be deep).
    std::vector<int> pass(size_t(n), 0);
    std::vector<quint32> stack;
    for (quint32 r : roots) {
        pass[r] = 1;
        stack.push_back(r);
    }
    int maxPass = roots.empty() ? 0 : 1;
    while (!stack.empty()) {
        const quint32 p = stack.back();
        stack.pop_back();
        for (int c = firstChild[p]; c >= 0; c = nextSibling[size_t(c)]) {
            pass[size_t(c)] = pass[p] + (position[p] > position[size_t(c)] ? 1 : 0);
            maxPass = std::max(maxPass, pass[size_t(c)]);
            stack.push_back(quint32(c));
        }
    }
    // Buckets by pass, each in sequence order (a counting sort).
    std::vector<int> bucketStart(size_t(maxPass) + 2, 0);
    for (quint32 i : seq)
        if (pass[i] > 0)
            ++bucketStart[size_t(pass[i]) + 1];
    for (size_t b = 1; b < bucketStart.size(); ++b)
        bucketStart[b] += bucketStart[b - 1];
    std::vector<quint32> placeOrder(size_t(bucketStart.back()));
    {
        std::vector<int> fill(bucketStart.begin(), bucketStart.end() - 1);
        for (quint32 i : seq)
            if (pass[i] > 0)
                placeOrder[size_t(fill[size_t(pass[i])]++)] = i;
    }
    // Place them; the handle of a placed item is found through a map.
    std::vector<Handle> placed(size_t(n), kNone);
    m_doc.m_arOrder.reserve(qsizetype(placeOrder.size() + (seq.size() - placeOrder.size())));
    for (quint32 i : placeOrder) {
        const quint32 link = m_doc.m_arParents[i];
        Handle item;
        if (link == CItemTables::kRootParent) {
            item = m_model.insertLast(kNone, m_doc.m_arTitles[i], 0, qint32(i));
            placed[i] = item;
            m_doc.m_arOrder.append(i);
            setItemIcon(item, true);
        } else {
            const Handle parent = placed[link - 2];
            item = m_model.insertLast(parent, m_doc.m_arTitles[i], 4, qint32(i));
            placed[i] = item;
            m_doc.m_arOrder.append(i);
            setItemIcon(parent, false);
            setItemIcon(item, true);
        }
    }
    // The rest can never be placed. They stay out of the tree but in the
    // order list (Collect order appends them), so a save keeps them. A link
    // that names no row the file can point to (0, past the end, a row not in
    // the sequence) becomes a link to the row itself, the one "no parent" a
    // file can carry, so the writer does not drop the row.
    for (quint32 i : seq) {
        if (pass[i] > 0)
            continue;
        const quint32 link = m_doc.m_arParents[i];
        if (link < 2 || qint64(link) - 2 >= n || position[link - 2] < 0)
            m_doc.m_arParents[i] = i + 2;
        m_unplaced.append(i);
        m_doc.m_arOrder.append(i);
    }

    // The Collapse command (also clears the record).
    collapse();
    m_doc.m_new = false;
    if (!m_unplaced.isEmpty() && m_unplaced != m_reportedUnplaced)
        m_doc.prompter().message(unplacedMessage(int(m_unplaced.size())));
    m_reportedUnplaced = m_unplaced;
}

void CInfoTree::chooseFirstSelection(int keepIndex)
{
    if (keepIndex >= 0) {
        if (!selectByIndex(keepIndex))
            selectByIndex(0);
        return;
    }
    if (m_doc.m_bOpenLastNote) {
        m_doc.m_bOpenLastNote = false;
        const int last = m_doc.settings().lastNote();
        if (last < 0 || last >= m_doc.count())
            select(m_model.firstRoot());
        else
            selectByIndex(last);
        return;
    }
    selectByIndex(0);
}

int CInfoTree::storeItem(Handle item, StoreMode mode)
{
    if (m_doc.m_new) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNotSaveNew));
        return -1;
    }
    CBusyGuard guard(m_doc, CTorviQuillbookDoc::kBusyTree);
    if (!guard)
        return -1;
    const Handle parent = m_model.parent(item);
    const quint32 link = parent != kNone ? quint32(m_model.data(parent)) + 2 : CItemTables::kRootParent;
    if (mode == kStoreUpdate) {
        const int c = m_doc.m_nCurItem;
        if (c >= 0 && c < m_doc.m_arTitles.size()) {
            m_doc.m_arTitles[c] = m_doc.m_strCurTitle;
            if (c < m_doc.m_arTexts.size())
                m_doc.m_arTexts[c] = m_doc.m_strCurText;
            // Without an item there is no parent to record.
            if (item != kNone && c < m_doc.m_arParents.size())
                m_doc.m_arParents[c] = link;
        }
        return c;
    }
    const qsizetype t = m_doc.m_arTitles.size();
    const qsizetype x = m_doc.m_arTexts.size();
    const qsizetype l = m_doc.m_arParents.size();
    const qsizetype n = qsizetype(m_doc.m_arInfos.size());
    CNoteInfo info;
    info.m_nIcons = newRowIcons(parent);
    info.m_nSort = m_doc.flags().defaultSortType();
    info.m_nRemind = -1;
    m_doc.m_arTitles.append(m_model.label(item));
    m_doc.m_arTexts.append(QByteArray());
    m_doc.m_arParents.append(link);
    m_doc.m_arInfos.push_back(info);
    if (t == x && x == l && l == n) {
        m_model.setData(item, qint32(t));
        return int(t);
    }
    m_doc.m_arTitles.removeLast();
    m_doc.m_arTexts.removeLast();
    m_doc.m_arParents.removeLast();
    m_doc.m_arInfos.pop_back();
    m_doc.prompter().message(tablesMismatchMessage());
    return -1;
}

void CInfoTree::collectOrder()
{
    CBusyGuard guard(m_doc, CTorviQuillbookDoc::kBusyTree);
    if (!guard)
        return;
    m_doc.m_arOrder.clear();
    m_doc.m_arOrder.reserve(m_model.count() + m_unplaced.size());
    for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h))
        m_doc.m_arOrder.append(quint32(m_model.data(h)));
    m_doc.m_arOrder.append(m_unplaced);
}

bool CInfoTree::selectByIndex(int index, bool markAnyExpanded)
{
    for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h)) {
        if (m_model.data(h) == index) {
            select(h);
            if (markAnyExpanded)
                m_bAnyExpanded = true;
            return true;
        }
    }
    return false;
}

bool CInfoTree::findNextItem(const QByteArray &text, bool caseSensitive)
{
    if (m_doc.m_nCurItem < 0 || text.isEmpty())
        return false;
    const CTextMatcher matcher(text, caseSensitive, CCodePage(m_doc.settings().codePage()));
    return findNextItem(matcher, beginItemWalk()) >= 0;
}

CInfoTree::ItemWalk CInfoTree::beginItemWalk(int stopIndex) const
{
    ItemWalk walk;
    walk.stopIndex = stopIndex;
    const int n = m_doc.count();
    walk.handles.assign(size_t(std::max(n, 0)), kNone);
    // The first item in pre-order that carries an index, as Select by index finds it.
    for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h)) {
        const qint32 d = m_model.data(h);
        if (d >= 0 && d < n && walk.handles[size_t(d)] == kNone)
            walk.handles[size_t(d)] = h;
    }
    return walk;
}

int CInfoTree::findNextItem(const CTextMatcher &matcher, const ItemWalk &walk)
{
    const int start = m_doc.m_nCurItem;
    const int n = int(std::min<qsizetype>(m_doc.count(), qsizetype(walk.handles.size())));
    if (start < 0 || start >= n || matcher.isEmpty())
        return -1;
    for (int step = 1; step < n; ++step) {
        const int i = int((qint64(start) + step) % n);
        if (i == walk.stopIndex)
            break;
        const Handle h = walk.handles[size_t(i)];
        // Only rows shown in the tree count: a deleted or unplaced row is skipped.
        if (h == kNone || !m_model.isValid(h) || m_model.data(h) != i)
            continue;
        const bool hit = matcher.foundIn(m_doc.m_arTitles[i]) ||
                         (i < m_doc.m_arTexts.size() && matcher.foundIn(m_doc.m_arTexts[i]));
        if (hit) {
            select(h);
            return m_model.selected() == h ? i : -1;
        }
    }
    return -1;
}

void CInfoTree::onUpdate(int hint)
{
    if (hint == CTorviQuillbookDoc::kHintRefreshAll) {
        initialUpdate();  // New and Open: the view starts again
        return;
    }
    if (hint != CTorviQuillbookDoc::kHintTitleChanged)
        return;
    const Handle selected = m_model.selected();
    if (selected == kNone)
        return;
    m_model.setLabel(selected, m_doc.m_strCurTitle);
    sortLevel(selected);
    collectOrder();
}

void CInfoTree::focusLost()
{
    cancelDrag();
    collectOrder();
    if (m_doc.flags().lastFile() && !m_doc.m_arOrder.isEmpty()) {
        const qsizetype pos = m_doc.m_arOrder.indexOf(quint32(m_doc.m_nCurItem));
        if (m_doc.m_nCurItem >= 0 && pos >= 0)
            m_doc.settings().setLastNote(int(pos));
    }
}

bool CInfoTree::keyDown(Key key)
{
    const bool editing = m_model.isEditing();
    switch (key) {
    case Key::Insert:
        insertNewNote();
        return true;
    case Key::Delete:
        if (editing)
            return false;
        deleteSelected();
        return true;
    case Key::Enter: {
        const Handle s = m_model.selected();
        if (editing || s == kNone)
            return false;
        m_model.setExpanded(s, true);
        setItemIcon(s, true);
        return true;
    }
    case Key::Escape: {
        if (m_bDragging) {
            cancelDrag();
            return true;
        }
        const Handle s = m_model.selected();
        if (s != kNone) {
            m_model.setExpanded(s, false);
            setItemIcon(s, false);
        }
        return true;
    }
    }
    return false;
}

void CInfoTree::onItemExpanded(Handle item)
{
    if (!m_model.isValid(item))
        return;
    m_model.setExpanded(item, true);
    m_bAnyExpanded = true;
    setItemIcon(item, true);
}

void CInfoTree::onItemCollapsed(Handle item)
{
    if (!m_model.isValid(item))
        return;
    m_model.setExpanded(item, false);
    m_bCanExpandAll = true;
    setItemIcon(item, false);
    recomputeAnyExpanded();
}

void CInfoTree::changeLeftPanelFont(const QByteArray &logFont)
{
    m_doc.settings().setFontL(logFont);
    cancelDrag();
    rebuildTree();
    m_bClipHasChildren = false;
    m_bDragging = false;
    m_nUndo = kUndoNone;
}

// ---------------------------------------------------------------- selection protocol

void CInfoTree::selectionChanging(Handle oldItem, Handle newItem)
{
    Q_UNUSED(newItem)
    if (!m_doc.m_new)
        storeItem(oldItem, kStoreUpdate);
}

void CInfoTree::selectionChanged(Handle oldItem, Handle newItem)
{
    Q_UNUSED(oldItem)
    if (m_doc.m_new)
        return;
    if (newItem != kNone) {
        const qint32 index = m_model.data(newItem);
        m_doc.m_nCurItem = index;
        if (index >= 0 && index < m_doc.m_arTitles.size())
            m_doc.m_strCurTitle = m_doc.m_arTitles[index];
        if (index >= 0 && index < m_doc.m_arTexts.size())
            m_doc.m_strCurText = m_doc.m_arTexts[index];
        const QByteArray label = m_model.label(newItem);
        if (label != m_doc.m_strCurTitle)
            m_doc.prompter().message(toText(label));
        m_doc.autoSaveOnSelectionChange();
    } else {
        m_doc.m_strCurTitle.clear();
        m_doc.m_strCurText.clear();
        m_doc.m_nCurItem = -1;
    }
    updateViews();
}

// ================================================================ item editing

bool CInfoTree::canDelete() const
{
    return m_doc.m_nCurItem >= 0;
}

bool CInfoTree::isCompleteCollapseChecked() const
{
    return m_doc.flags().isCollapseChecked();
}

void CInfoTree::addRootFolder()
{
    forgetRecord();
    const int image = m_doc.m_defaultIcons[0];
    const Handle item = m_model.insertItem(kNone, CTreeModel::Pos::last(), kNewFolderLabel, image, image);
    if (!storeNewItem(item))
        return;
    select(item);
    beginNamingNewItem(item);
    m_hUndoParent = kNone;
}

bool CInfoTree::storeNewItem(Handle item)
{
    if (item == kNone)
        return false;
    if (storeItem(item, kStoreAppend) >= 0)
        return true;
    m_doc.prompter().message(QString::fromLatin1(kMsgDataNotSaved));
    m_model.deleteItem(item);
    return false;
}

void CInfoTree::beginNamingNewItem(Handle item)
{
    m_doc.m_nCurItem = m_model.data(item);
    m_doc.m_strCurTitle = m_model.label(item);
    m_doc.m_strCurText.clear();
    m_model.editLabel(item);
    collectOrder();
    markModified();
    updateViews();
    m_hClipItem = item;
    m_nUndo = kUndoAdded;
}

void CInfoTree::insertNewNote()
{
    forgetRecord();
    const Handle selected = m_model.selected();
    if (selected == kNone) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNoSelectionFolder));
        return;
    }
    const Handle item = m_model.insertLast(selected, kNewNoteLabel, 4);
    if (!storeNewItem(item))
        return;
    setItemIcon(item, true);
    setItemIcon(selected, true);
    select(item);
    beginNamingNewItem(item);
    m_bAnyExpanded = true;
}

CInfoTree::Handle CInfoTree::addNote(const QByteArray &title, const QByteArray &text, bool asRoot)
{
    forgetRecord();
    const Handle parent = asRoot ? kNone : m_model.selected();
    const Handle item = m_model.insertLast(parent, title, 4);
    if (!storeNewItem(item))
        return kNone;
    setItemIcon(item, true);
    setItemIcon(parent, true);
    select(item);
    m_doc.m_nCurItem = m_model.data(item);
    m_doc.m_strCurTitle = m_model.label(item);
    m_doc.m_strCurText = text;
    sortLevel(parent);
    sortLevel(item);
    storeItem(item, kStoreUpdate);
    collectOrder();
    markModified();
    updateViews();
    m_hClipItem = item;
    m_nUndo = kUndoAdded;
    m_bAnyExpanded = true;
    return item;
}

void CInfoTree::rename()
{
    forgetRecord();
    const Handle selected = m_model.selected();
    m_hClipItem = selected;
    m_strOldLabel = m_model.label(selected);
    m_nUndo = kUndoRename;
    if (selected == kNone)
        return;
    m_model.ensureVisible(selected);
    m_model.editLabel(selected);
}

bool CInfoTree::beginLabelEdit(Handle item)
{
    return m_model.editLabel(item);  // no edit is refused; nothing recorded
}

void CInfoTree::endLabelEdit(bool accepted, const QByteArray &text)
{
    m_model.endLabelEdit(accepted, text);  // labelEditEnded does the work
}

void CInfoTree::labelEditEnded(Handle item, bool accepted, const QByteArray &text)
{
    Q_UNUSED(item)
    const Handle selected = m_model.selected();
    if (selected == kNone) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNoSelectionTryAgain));
        return;
    }
    if (accepted) {
        m_model.setLabel(selected, text);
        m_doc.m_strCurTitle = text;
        storeItem(selected, kStoreUpdate);
        sortLevel(selected);
    }
    sortLevel(m_model.parent(selected));
    collectOrder();
    markModified();
    updateViews();
}

CInfoTree::LabelSplit CInfoTree::splitPastedText(const QByteArray &s)
{
    const CaptureSplit::Parts<QByteArray> parts = CaptureSplit::splitAtSentence(s);
    LabelSplit out;
    out.position = int(parts.position);
    out.title = parts.title;
    out.body = parts.text;
    return out;
}

bool CInfoTree::pasteIntoLabel(const QByteArray &clipboardText)
{
    if (!m_model.isEditing())
        return false;
    if (clipboardText.isEmpty() || !m_doc.m_strCurText.isEmpty())
        return false;
    const LabelSplit split = splitPastedText(clipboardText);
    if (split.position < 0)
        return false;
    m_doc.m_strCurTitle = split.title;
    m_doc.m_strCurText = split.body;
    if (split.position == 0)
        return false;  // pasted into the field as usual; the body stays set
    // The edit ends with the split title; Store item writes title and body.
    m_model.endLabelEdit(true, split.title);
    return true;
}

void CInfoTree::deleteSelected()
{
    deleteItemCommand(false);
}

void CInfoTree::deleteItemCommand(bool fromUndo)
{
    Q_UNUSED(fromUndo)
    forgetRecord();
    const Handle selected = m_model.selected();
    if (selected == kNone) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNoSelection));
        return;
    }
    const Handle oldParent = m_model.parent(selected);
    m_hUndoParent = oldParent;
    if (m_model.hasChildren(selected)) {
        const auto answer =
            m_doc.prompter().message(QString::fromLatin1(kMsgDeleteWarning), IPrompter::Buttons::OkCancel);
        if (answer != IPrompter::Answer::Ok) {
            m_hUndoParent = kNone;  // the record stays forgotten
            return;
        }
        m_bClipHasChildren = true;
    } else {
        m_bClipHasChildren = false;
    }
    // The branch in pre-order, with each entry's parent as a list position.
    const std::vector<Handle> branch = m_model.branch(selected);
    std::unordered_map<Handle, int> positionOf;
    positionOf.reserve(branch.size());
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    for (Handle h : branch) {
        const auto it = positionOf.find(m_model.parent(h));
        m_aDeletedParent.push_back(it == positionOf.end() ? -1 : it->second);
        positionOf.emplace(h, int(m_aDeleted.size()));
        m_aDeleted.append(quint32(m_model.data(h)));
    }
    m_nUndo = kUndoDeleted;
    m_doc.m_strCurTitle.clear();
    m_doc.m_strCurText.clear();
    m_doc.m_nCurItem = -1;
    {
        std::optional<CTreeModel::ResetGuard> bulk;
        if (branch.size() > kBulkThreshold)
            bulk.emplace(m_model);
        m_model.deleteItem(selected);
    }
    setItemIcon(oldParent, false);
    sortLevel(oldParent);
    collectOrder();
    markModified();
    updateViews();
    recomputeAnyExpanded();
}

void CInfoTree::expandBranch()
{
    const Handle selected = m_model.selected();
    if (selected != kNone) {
        for (Handle h = selected; h != kNone; h = m_model.nextInBranch(h, selected)) {
            m_model.setExpanded(h, true);
            setItemIcon(h, true);
        }
    }
    forgetRecord();
    m_bAnyExpanded = true;
}

void CInfoTree::expandAll()
{
    {
        CTreeModel::ResetGuard reset(m_model);
        for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h)) {
            m_model.setExpanded(h, true);
            setItemIcon(h, true);
        }
    }
    if (m_model.selected() != kNone)
        m_model.ensureVisible(m_model.selected());
    forgetRecord();
    m_bAnyExpanded = true;
    m_bCanExpandAll = false;
}

void CInfoTree::collapse()
{
    const bool complete = m_doc.flags().collapse() != 0;
    {
        CTreeModel::ResetGuard reset(m_model);
        for (Handle root = m_model.firstRoot(); root != kNone; root = m_model.nextSibling(root)) {
            m_model.setExpanded(root, false);
            if (complete) {
                for (Handle h = m_model.nextInBranch(root, root); h != kNone; h = m_model.nextInBranch(h, root)) {
                    m_model.setExpanded(h, false);
                    setItemIcon(h, false);
                }
            }
            setItemIcon(root, false);
        }
    }
    const Handle selected = m_model.selected();
    if (selected != kNone) {
        m_model.ensureVisible(selected);
        const qint32 index = m_model.data(selected);
        m_doc.m_nCurItem = index;
        m_doc.m_strCurTitle = m_model.label(selected);
        if (index >= 0 && index < m_doc.m_arTexts.size())
            m_doc.m_strCurText = m_doc.m_arTexts[index];
        updateViews();
    }
    forgetRecord();
    m_bAnyExpanded = false;
    m_bCanExpandAll = true;
}

void CInfoTree::toggleCompleteCollapse()
{
    m_doc.flags().toggleCollapse(m_doc.settings());
}

int CInfoTree::contextMenuPopup() const
{
    const Handle selected = m_model.selected();
    const Handle parent = m_model.parent(selected);
    qint32 type = m_doc.m_nRootSort;
    if (parent != kNone) {
        const qint32 d = m_model.data(parent);
        type = (d >= 0 && size_t(d) < m_doc.m_arInfos.size()) ? m_doc.m_arInfos[size_t(d)].m_nSort : 0;
    }
    return type == 0 ? 1 : 0;
}

// ================================================================ branch clipboard and undo

void CInfoTree::markForCut()
{
    markSelected(true, kMsgNoSelectionCut);
}

void CInfoTree::markForCopy()
{
    markSelected(false, kMsgNoSelectionItem);
}

void CInfoTree::markSelected(bool cut, const char *noSelectionMessage)
{
    forgetRecord();
    m_hClipItem = m_model.selected();
    if (m_hClipItem == kNone) {
        m_doc.prompter().message(QString::fromLatin1(noSelectionMessage));
        return;
    }
    m_bCut = cut;
    m_bClipHasChildren = m_model.hasChildren(m_hClipItem);
    m_nUndo = kUndoMarked;
}

CInfoTree::Handle CInfoTree::copyBranch(Handle source, Handle parent, CTreeModel::Pos pos)
{
    if (!m_model.isValid(source) || (parent != kNone && !m_model.isValid(parent))
        || m_model.isSelfOrDescendant(parent, source))
        return kNone;
    if (m_bCut) {
        // A move: the same items, rows and everything in them. The top comes
        // out collapsed, as a freshly inserted copy would.
        if (!m_model.moveItem(source, parent, pos))
            return kNone;
        m_model.setExpanded(source, false);
        return source;
    }
    const std::vector<Handle> branch = m_model.branch(source);
    std::optional<CTreeModel::ResetGuard> bulk;
    if (branch.size() > kBulkThreshold)
        bulk.emplace(m_model);
    std::unordered_map<Handle, Handle> copyOf;
    copyOf.reserve(branch.size());
    Handle top = kNone;
    for (Handle src : branch) {
        const Handle newParent = src == source ? parent : copyOf.at(m_model.parent(src));
        const CTreeModel::Pos where = src == source ? pos : CTreeModel::Pos::last();
        int image = m_model.image(src);
        int selectedImage = m_model.selectedImage(src);
        if (image == 3)
            image = selectedImage = 2;
        else if (image == 1)
            image = selectedImage = 0;
        const Handle item = m_model.insertItem(newParent, where, m_model.label(src), image, selectedImage);
        if (item == kNone || storeItem(item, kStoreAppend) < 0) {
            // Roll back: none of the copied items stays without a row.
            if (item != kNone)
                m_model.deleteItem(item);
            if (top != kNone && top != item)
                m_model.deleteItem(top);
            m_doc.prompter().message(QString::fromLatin1(kMsgDataNotSaved));
            return kNone;
        }
        if (src == source)
            top = item;
        const qint32 from = m_model.data(src);
        const qint32 to = m_model.data(item);
        if (from >= 0 && from < m_doc.m_arTexts.size() && to >= 0 && to < m_doc.m_arTexts.size())
            m_doc.m_arTexts[to] = m_doc.m_arTexts[from];
        m_model.setStateImage(item, m_model.stateImage(src));
        copyOf.emplace(src, item);
    }
    return top;
}

void CInfoTree::paste()
{
    pasteInto();
}

// What Paste into, Paste before and the undo of a move to the root level share.
void CInfoTree::pasteAt(Handle destParent, CTreeModel::Pos pos, Handle iconParent)
{
    const Handle marked = m_hClipItem;
    const Handle oldParent = m_model.parent(marked);
    m_bClipHasChildren = m_model.hasChildren(marked);
    const Handle item = copyBranch(marked, destParent, pos);
    if (item != kNone) {
        if (m_bCut) {
            m_hUndoParent = oldParent;
            setItemIcon(oldParent, false);
            m_hClipItem = item;
            m_nUndo = kUndoMoved;
        } else {
            m_hClipItem = item;
            m_hUndoParent = kNone;
            m_nUndo = kUndoAdded;
        }
        setItemIcon(item, false);
        setItemIcon(iconParent, true);
        select(item);
        sortLevel(item);
        if (storeItem(item, kStoreUpdate) < 0)
            m_doc.prompter().message(QString::fromLatin1(kMsgDataNotSaved));
        collectOrder();
        markModified();
        updateViews();
    }
    recomputeAnyExpanded();
}

void CInfoTree::pasteInto()
{
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
    if (!m_model.isValid(m_hClipItem))
        m_hClipItem = kNone;  // the marked item was deleted meanwhile
    const Handle selected = m_model.selected();
    if (selected == m_hClipItem || m_model.isSelfOrDescendant(selected, m_hClipItem))
        return;
    if (selected == kNone) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNoSelectionItem));
        return;
    }
    if (m_hClipItem == kNone) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNothingCopied));
        return;
    }
    pasteAt(selected, CTreeModel::Pos::last(), selected);
}

void CInfoTree::pasteBefore()
{
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
    if (!m_model.isValid(m_hClipItem))
        m_hClipItem = kNone;
    if (m_hClipItem == kNone) {
        m_doc.prompter().message(QString::fromLatin1(kMsgNothingCopied));
        return;
    }
    const Handle selected = m_model.selected();
    const Handle p = m_model.parent(selected);
    if (m_doc.flags().defaultSortType() != 0) {
        pasteAt(kNone, CTreeModel::Pos::last(), p);
        return;
    }
    if (p != kNone && m_model.isSelfOrDescendant(p, m_hClipItem))
        return;
    pasteAt(p, CTreeModel::Pos::afterItem(m_model.prevSibling(selected)), p);
}

void CInfoTree::undoMoveToRoot()
{
    // Mend: a branch moved away from the root level goes back last at the
    // root level directly, whatever is selected and whatever the default
    // sort type; the record stays "moved", so undo again moves it back.
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
    if (!m_model.isValid(m_hClipItem)) {
        m_hClipItem = kNone;
        return;
    }
    pasteAt(kNone, CTreeModel::Pos::last(), kNone);
}

void CInfoTree::restoreDeleted()
{
    if (m_aDeleted.isEmpty()) {
        m_nUndo = kUndoNone;
        return;
    }
    if (m_hUndoParent != kNone && !m_model.isValid(m_hUndoParent))
        m_hUndoParent = kNone;
    const bool children = m_bClipHasChildren;
    const qsizetype count = children ? m_aDeleted.size() : 1;
    std::optional<CTreeModel::ResetGuard> bulk;
    if (size_t(count) > kBulkThreshold)
        bulk.emplace(m_model);
    // One pre-order pass; each entry's parent is found through a map from
    // list position to the restored item.
    std::vector<Handle> restored(size_t(count), kNone);
    const quint32 r = m_aDeleted[0];
    const QByteArray topLabel = qint64(r) < m_doc.count() ? m_doc.m_arTitles[r] : QByteArray();
    Handle top;
    if (m_hUndoParent != kNone) {
        top = m_model.insertLast(m_hUndoParent, topLabel, 4, qint32(r));
        setItemIcon(m_hUndoParent, true);
    } else {
        top = m_model.insertLast(kNone, topLabel, 0, qint32(r));
    }
    restored[0] = top;
    std::vector<bool> gotChildren(size_t(count), false);
    for (qsizetype k = 1; k < count; ++k) {
        const int parentPos = m_aDeletedParent.size() == size_t(m_aDeleted.size()) ? m_aDeletedParent[size_t(k)] : -1;
        if (parentPos < 0 || restored[size_t(parentPos)] == kNone)
            continue;
        const quint32 d = m_aDeleted[k];
        const QByteArray label = qint64(d) < m_doc.count() ? m_doc.m_arTitles[d] : QByteArray();
        restored[size_t(k)] = m_model.insertLast(restored[size_t(parentPos)], label, 4, qint32(d));
        gotChildren[size_t(parentPos)] = true;
    }
    bulk.reset();
    for (qsizetype k = 0; k < count; ++k)
        if (gotChildren[size_t(k)])
            setItemIcon(restored[size_t(k)], false);
    select(top);
    m_hClipItem = top;
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_nUndo = kUndoAdded;
}

void CInfoTree::undo()
{
    if (m_model.isEditing()) {
        // The GUI has undone the edit field's last change.
        collectOrder();
        markModified();
        return;
    }
    switch (m_nUndo) {
    case kUndoNone:
        return;
    case kUndoAdded:
        if (!m_model.isValid(m_hClipItem)) {
            forgetRecord();
            break;
        }
        select(m_hClipItem);
        deleteItemCommand(true);
        break;
    case kUndoMarked:
        m_hClipItem = kNone;
        m_hUndoParent = kNone;
        m_bCut = false;
        m_bClipHasChildren = false;
        m_nUndo = kUndoNone;
        break;
    case kUndoMoved:
        if (m_hUndoParent != kNone && m_model.isValid(m_hUndoParent)) {
            select(m_hUndoParent);
            pasteInto();
        } else {
            undoMoveToRoot();
        }
        break;
    case kUndoDeleted:
        restoreDeleted();
        break;
    case kUndoRename: {
        const Handle item = m_hClipItem;
        if (!m_model.isValid(item))
            break;
        const QByteArray before = m_model.label(item);
        m_model.setLabel(item, m_strOldLabel);
        const qint32 d = m_model.data(item);
        if (d >= 0 && d < m_doc.m_arTitles.size())
            m_doc.m_arTitles[d] = m_strOldLabel;
        if (d >= 0 && d == m_doc.m_nCurItem)
            m_doc.m_strCurTitle = m_strOldLabel;
        m_strOldLabel = before;
        updateViews();
        break;
    }
    default:
        m_nUndo = kUndoNone;
        return;
    }
    collectOrder();
    markModified();
    recomputeAnyExpanded();
}

CInfoTree::Handle CInfoTree::appendImportedItem(Handle parent, const QByteArray &title, const QByteArray &text)
{
    if (parent != kNone && !m_model.isValid(parent))
        parent = kNone;
    const qsizetype t = m_doc.m_arTitles.size();
    const qsizetype x = m_doc.m_arTexts.size();
    const qsizetype l = m_doc.m_arParents.size();
    const qsizetype n = qsizetype(m_doc.m_arInfos.size());
    CNoteInfo info;
    info.m_nSort = 0;
    info.m_nRemind = -1;
    info.m_nIcons = newRowIcons(parent);
    const qint32 pd = m_model.data(parent);
    const Handle item = parent != kNone ? m_model.insertLast(parent, title, 4) : m_model.insertLast(kNone, title, 0);
    if (item == kNone)
        return kNone;
    m_doc.m_arInfos.push_back(info);
    m_doc.m_arTitles.append(title);
    m_doc.m_arTexts.append(text);
    m_doc.m_arParents.append(parent != kNone ? quint32(pd) + 2 : CItemTables::kRootParent);
    if (t == x && x == l && l == n) {
        m_model.setData(item, qint32(t));
        setItemIcon(item, true);
        setItemIcon(parent, true);
        if (parent == kNone)
            select(item);
        return item;
    }
    m_doc.prompter().message(tablesMismatchMessage());
    m_doc.m_arTitles.removeLast();
    m_doc.m_arTexts.removeLast();
    m_doc.m_arParents.removeLast();
    m_doc.m_arInfos.pop_back();
    m_model.deleteItem(item);
    return kNone;
}

void CInfoTree::recordAdded(Handle item)
{
    forgetRecord();
    m_hClipItem = item;
    m_nUndo = kUndoAdded;
}

// ================================================================ drag and drop

bool CInfoTree::beginDrag(Handle item, qint64 nowMs)
{
    forgetRecord();
    m_bCut = true;
    m_hDropTarget = kNone;
    if (!m_model.isValid(item))
        return false;  // no drag image can be made
    m_hClipItem = item;
    m_bDragging = true;
    m_nScrollTicks = 0;
    m_scrollStartMs = nowMs;
    m_hoverStartMs = -1;
    m_nHoverTicksDone = 0;
    return true;
}

void CInfoTree::dragMove(Handle target, qint64 nowMs)
{
    if (!m_bDragging)
        return;
    m_hDropTarget = m_model.isValid(target) ? target : kNone;
    if (m_hDropTarget == kNone)
        return;  // the previous highlight stays
    if (m_hDropHome == kNone)
        m_hDropHome = m_model.dropHighlight();
    m_model.setDropHighlight(m_hDropTarget);
    if (m_hoverStartMs >= 0 && m_hDropTarget == m_hDropHome)
        m_hoverStartMs = -1;
    if (m_hoverStartMs < 0) {
        m_hoverStartMs = nowMs;
        m_nHoverTicksDone = 0;
    }
}

QPoint CInfoTree::autoScrollStep(int tick, QPoint cursor, QRect client)
{
    const dragrules::ScrollStep step = dragrules::scrollStep(tick, cursor, client);
    return {int(step.right) - int(step.left), int(step.down) - int(step.up)};
}

CInfoTree::DragTick CInfoTree::dragTick(qint64 nowMs, QPoint cursor, QRect client)
{
    DragTick out;
    if (!m_bDragging)
        return out;
    // Hover ticks due by now (before the scroll ticks, as both would have
    // queued; the order does not matter for the outcome).
    if (m_hoverStartMs >= 0) {
        while (m_hoverStartMs + qint64(m_nHoverTicksDone + 1) * kHoverPeriodMs <= nowMs) {
            ++m_nHoverTicksDone;
            const Handle h = m_model.dropHighlight();
            if (h != kNone && h == m_hDropTarget && m_model.hasChildren(h) && !m_model.isExpanded(h)) {
                m_model.setExpanded(h, true);
                setItemIcon(h, true);
                out.expanded = h;
            }
        }
    }
    while (m_scrollStartMs + qint64(m_nScrollTicks + 1) * kScrollPeriodMs <= nowMs) {
        ++m_nScrollTicks;
        const QPoint step = autoScrollStep(m_nScrollTicks, cursor, client);
        out.lines += step.y();
        out.columns += step.x();
    }
    return out;
}

void CInfoTree::cancelDrag()
{
    if (!m_bDragging)
        return;
    m_model.setDropHighlight(kNone);
    m_hoverStartMs = -1;
    m_scrollStartMs = -1;
    m_nScrollTicks = 0;
    m_nHoverTicksDone = 0;
    m_bDragging = false;
}

void CInfoTree::drop(bool ctrl, bool alt)
{
    if (!m_bDragging)
        return;
    m_hoverStartMs = -1;
    m_scrollStartMs = -1;
    m_nScrollTicks = 0;
    m_nHoverTicksDone = 0;
    m_model.setDropHighlight(kNone);
    m_hDropHome = kNone;
    m_bDragging = false;

    const Handle dragged = m_model.isValid(m_hClipItem) ? m_hClipItem : kNone;
    if (m_hDropTarget != kNone && !m_model.isValid(m_hDropTarget))
        m_hDropTarget = kNone;
    if (dragged != kNone && m_hDropTarget != kNone && m_model.isSelfOrDescendant(m_hDropTarget, dragged))
        return;  // onto itself or into its own branch: nothing
    if (dragged != kNone) {
        m_bCut = !ctrl;
        m_bClipHasChildren = m_model.hasChildren(dragged);
        Handle destParent;
        CTreeModel::Pos pos;
        if (!alt) {
            destParent = m_hDropTarget;
            pos = CTreeModel::Pos::last();
        } else {
            destParent = m_model.parent(m_hDropTarget);
            const Handle before = m_model.prevSibling(m_hDropTarget);
            pos = CTreeModel::Pos::afterItem(m_hDropTarget == kNone ? kNone : before);
            m_hDropTarget = before;
        }
        const Handle oldParent = m_model.parent(dragged);
        const Handle item = copyBranch(dragged, destParent, pos);
        if (item != kNone) {
            if (!m_bCut) {
                m_hClipItem = item;
                m_hUndoParent = kNone;
                m_nUndo = kUndoAdded;
            } else {
                m_hUndoParent = oldParent;
                setItemIcon(oldParent, true);
                sortLevel(oldParent);
                m_hClipItem = item;
                m_nUndo = kUndoMoved;
            }
            setItemIcon(item, false);
            sortLevel(item);
            setItemIcon(destParent, true);
            sortLevel(destParent);
            select(item);
            if (storeItem(item, kStoreUpdate) < 0)
                m_doc.prompter().message(QString::fromLatin1(kMsgDataNotSaved));
            collectOrder();
            markModified();
            updateViews();
        }
    }
    recomputeAnyExpanded();
}
