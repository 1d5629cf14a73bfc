#include "tree/InfoTree.h"
#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"
#include "text/TextMatch.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tree/IconRules.h"
#include "tree/SortRules.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

QString CInfoTree::unplacedMessage(int count)
{
    return QCoreApplication::translate("CInfoTree", "%1 item(s) of this document could not be placed in the tree because their parent "
                          "links name no item that can be shown. They are not shown, and they are kept in the "
                          "file when it is saved.")
        .arg(count);
}

CInfoTree::CInfoTree(CTorviQuillbookDoc &doc) : m_doc(doc)
{
    m_model.setTitleStore(&m_titles);
    m_model.addObserver(this);
}

QByteArray CInfoTree::DocTitles::title(qint32 row) const
{
    return m_doc.isItem(row) ? m_doc.title(row) : QByteArray();
}

bool CInfoTree::DocTitles::setTitle(qint32 row, const QByteArray &title)
{
    if (!m_doc.isItem(row))
        return false;
    m_doc.setTitle(row, title);
    return true;
}

CInfoTree::~CInfoTree()
{
    m_model.removeObserver(this);
}

// ================================================================ helpers

QString CInfoTree::toText(const QByteArray &bytes) const
{
    return toText(CCodePage(m_doc.settings().text(CSettings::CodePage)), bytes);
}

QString CInfoTree::toText(const CCodePage &page, const QByteArray &bytes)
{
    return page.isValid() ? page.toUnicode(bytes) : QString::fromLatin1(bytes);
}

bool CInfoTree::inTableRange(Handle item) const
{
    const qint32 d = m_model.data(item);
    return d >= 0 && d < m_doc.count();
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

// ================================================================ sorting and icons

void CInfoTree::sortLevel(Handle item, qint32 type)
{
    const Handle parent = m_model.parent(item);
    const CNoteInfo *parentInfo = nullptr;
    if (parent != kNone) {
        const qint32 d = m_model.data(parent);
        if (m_doc.isItem(d))
            parentInfo = &m_doc.info(d);
    }
    const qint32 used = sortrules::levelSortType(type, parent != kNone, parentInfo ? &parentInfo->m_nSort : nullptr,
                                                 m_doc.rootSort());
    if (used != sortrules::kAlphabetical && used != sortrules::kFolderFirst)
        return;
    const std::vector<Handle> kids = m_model.children(parent);
    if (kids.size() < 2)
        return;
    std::vector<sortrules::SortChild> level;
    level.reserve(kids.size());
    int moved = -1;
    // One page for the level: making one per label cost more than the sort.
    const CCodePage page(m_doc.settings().text(CSettings::CodePage));
    for (Handle h : kids) {
        if (h == item)
            moved = int(level.size());
        level.push_back({toText(page, m_model.label(h)), m_model.hasChildren(h)});
    }
    const std::vector<int> order = sortrules::sortOrder(level, used, QLocale(), moved);
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
    return m_doc.isItem(d) ? &m_doc.info(d) : nullptr;
}

iconrules::IconSet CInfoTree::newRowIcons(Handle parent) const
{
    return iconrules::newRowIcons(parent == kNone, infoOf(parent), m_doc.defaultIcons());
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
        m_doc.setRootSort(decision->type);
    else if (decision->store == sortrules::LocalSortDecision::Store::ParentInfo)
        m_doc.setSort(m_model.data(parent), decision->type);
    sortLevel(selected, decision->type);
    if (decision->setLastLocal)
        m_doc.m_nLastLocalSort = decision->type;
    collectOrder();
    if (decision->markModified)
        markModified();
}

void CInfoTree::executeForAllFolders()
{
    const qint32 type = m_doc.settings().number(CSettings::SortType);
    {
        // One reset instead of a notice per reordered level.
        CTreeModel::ResetGuard reset(m_model);
        sortrules::executeForAllFolders<Handle>(
            m_model.children(kNone), type, [this](Handle h) { return m_model.children(h); },
            [this](Handle h, qint32 t) {
                if (infoOf(h))
                    m_doc.setSort(m_model.data(h), t);
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
    return iconrules::selectIconsSetup(m_doc.m_nCurItem, infoOf(m_model.selected()), m_doc.defaultIcons());
}

iconrules::DialogSetup CInfoTree::defaultIconsSetup() const
{
    return iconrules::defaultIconsSetup(m_doc.m_nCurItem, infoOf(m_model.selected()), m_doc.defaultIcons());
}

void CInfoTree::applyIcons(const iconrules::DialogSetup &setup, const iconrules::IconSet &values, bool branch)
{
    const iconrules::DialogOutcome outcome = iconrules::dialogOutcome(setup, m_doc.m_nCurItem, branch);
    if (outcome.storeDefaults) {
        iconrules::IconSet defaults = m_doc.defaultIcons();
        iconrules::storeDefaultIcons(defaults, m_doc.settings(), values);
        m_doc.setDefaultIcons(defaults);
    }
    const Handle started = m_model.selected();
    if (outcome.storeItem && infoOf(started))
        m_doc.setIcons(m_model.data(started), values);
    if (outcome.storeBranch && started != kNone) {
        // Each item of the branch is selected in turn, so the selection
        // protocol runs for it, and the walk ends on the last one.
        for (Handle h = started; h != kNone; h = m_model.nextInBranch(h, started)) {
            if (infoOf(h))
                m_doc.setIcons(m_model.data(h), values);
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
    // A folder that stands open shows the open picture, whatever the caller
    // last did to it.
    expanded = expanded || m_model.isExpanded(item);
    const qint32 d = m_model.data(item);
    const CNoteInfo *info = m_doc.isItem(d) ? &m_doc.info(d) : nullptr;
    const qint32 image = iconrules::itemImage(info, m_doc.defaultIcons(), m_model.parent(item) == kNone,
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
    m_clipboard.forgetUndo();
    m_doc.m_new = false;
    m_drag.stop();
    if (m_doc.m_nImport == CTorviQuillbookDoc::kImportText || m_doc.m_nImport == CTorviQuillbookDoc::kImportCsv
        || m_doc.m_nImport == CTorviQuillbookDoc::kImportFavorites || m_doc.m_nImport == CTorviQuillbookDoc::kImportMarkdown) {
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
    std::vector<quint32> sequence(m_doc.order().begin(), m_doc.order().end());
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
    m_doc.setOrder({});
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
        const quint32 link = m_doc.parentLink(i);
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
    QList<quint32> order;
    order.reserve(qsizetype(seq.size()));
    for (quint32 i : placeOrder) {
        const quint32 link = m_doc.parentLink(i);
        Handle item;
        if (link == CItemTables::kRootParent) {
            item = m_model.insertLast(kNone, {}, 0, qint32(i));  // the label is the row's title
            placed[i] = item;
            order.append(i);
            setItemIcon(item, true);
        } else {
            const Handle parent = placed[link - 2];
            item = m_model.insertLast(parent, {}, 4, qint32(i));
            placed[i] = item;
            order.append(i);
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
        const quint32 link = m_doc.parentLink(i);
        if (link < 2 || qint64(link) - 2 >= n || position[link - 2] < 0)
            m_doc.setParentLink(i, i + 2);
        m_unplaced.append(i);
        order.append(i);
    }
    m_doc.setOrder(std::move(order));

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
        const int last = m_doc.settings().number(CSettings::LastNote);
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
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNotSaveNew));
        return -1;
    }
    CBusyGuard guard(m_doc, CTorviQuillbookDoc::kBusyTree);
    if (!guard)
        return -1;
    const Handle parent = m_model.parent(item);
    const quint32 link = parent != kNone ? quint32(m_model.data(parent)) + 2 : CItemTables::kRootParent;
    if (mode == kStoreUpdate) {
        const int c = m_doc.m_nCurItem;
        if (m_doc.isItem(c)) {
            m_doc.setTitle(c, m_doc.m_strCurTitle);
            m_doc.setText(c, m_doc.m_strCurText);
            // Without an item there is no parent to record.
            if (item != kNone)
                m_doc.setParentLink(c, link);
        }
        return c;
    }
    CNoteInfo info;
    info.m_nIcons = newRowIcons(parent);
    info.m_nSort = m_doc.settings().number(CSettings::SortType);
    info.m_nRemind = -1;
    const int row = m_doc.appendItem(m_model.label(item), QByteArray(), link, info);
    m_model.setData(item, qint32(row));
    return row;
}

void CInfoTree::collectOrder()
{
    CBusyGuard guard(m_doc, CTorviQuillbookDoc::kBusyTree);
    if (!guard)
        return;
    collectWholeOrder();
}

void CInfoTree::collectLevelOrder(Handle parent)
{
    CBusyGuard guard(m_doc, CTorviQuillbookDoc::kBusyTree);
    if (!guard)
        return;
    if (parent == kNone || !m_model.isValid(parent)) {
        collectWholeOrder();
        return;
    }
    QList<quint32> branch;
    for (Handle h = m_model.nextInBranch(parent, parent); h != kNone; h = m_model.nextInBranch(h, parent))
        branch.append(quint32(m_model.data(h)));
    // The branch follows its parent in the list; a reordered level changes
    // only the arrangement inside it. Anything else is not a rename's doing.
    const QList<quint32> &order = m_doc.order();
    const qsizetype at = order.indexOf(quint32(m_model.data(parent)));
    bool inPlace = at >= 0 && at + 1 + branch.size() <= order.size();
    if (inPlace) {
        // The stretch holds exactly the branch's items, each once.
        std::vector<bool> inBranch(size_t(m_doc.count()), false);
        for (const quint32 i : std::as_const(branch)) {
            if (i < inBranch.size())
                inBranch[i] = true;
        }
        for (qsizetype p = at + 1; inPlace && p < at + 1 + branch.size(); ++p) {
            const quint32 i = order[p];
            inPlace = i < inBranch.size() && inBranch[i];
            if (inPlace)
                inBranch[i] = false;
        }
    }
    if (inPlace)
        m_doc.setOrderStretch(at + 1, branch);
    else
        collectWholeOrder();
}

void CInfoTree::collectWholeOrder()
{
    QList<quint32> order;
    order.reserve(m_model.count() + m_unplaced.size());
    for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h))
        order.append(quint32(m_model.data(h)));
    order.append(m_unplaced);
    m_doc.setOrder(std::move(order));
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

CInfoTree::Outline CInfoTree::outline() const
{
    Outline shape;
    qsizetype place = 0;
    for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h), ++place) {
        if (m_model.isExpanded(h) && m_model.hasChildren(h))
            shape.open.push_back(place);
        if (h == m_model.selected())
            shape.selected = place;
    }
    return shape;
}

void CInfoTree::restoreOutline(const Outline &shape)
{
    Handle selected = kNone;
    auto open = shape.open.begin();
    qsizetype place = 0;
    for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h), ++place) {
        while (open != shape.open.end() && *open < place)
            ++open;
        if (open != shape.open.end() && *open == place && m_model.hasChildren(h))
            m_model.setExpanded(h, true);  // the picture follows (dataChanged)
        if (place == shape.selected)
            selected = h;
    }
    recomputeAnyExpanded();
    if (selected != kNone)
        select(selected);
}

bool CInfoTree::findNextItem(const QByteArray &text, bool caseSensitive)
{
    if (m_doc.m_nCurItem < 0 || text.isEmpty())
        return false;
    const CTextMatcher matcher(text, caseSensitive, CCodePage(m_doc.settings().text(CSettings::CodePage)));
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
        const bool hit = matcher.foundIn(m_doc.title(i)) || matcher.foundIn(m_doc.text(i));
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
    // The working copy's title goes where the tree reads it (the row's
    // title, or the label of an item without a row). The note pane may have
    // written it there already; the views are told either way.
    const qint32 row = m_model.data(selected);
    if (row < 0 || row == m_doc.m_nCurItem) {
        if (m_model.label(selected) != m_doc.m_strCurTitle)
            m_model.setLabel(selected, m_doc.m_strCurTitle);
        else
            m_model.labelChanged(selected);
    }
    sortLevel(selected);
    collectLevelOrder(m_model.parent(selected));
}

void CInfoTree::focusLost()
{
    cancelDrag();
    // A save that waits for another writer shows a window of its own: the
    // order it writes was collected before it began.
    if (m_doc.busy() == CTorviQuillbookDoc::kIdle)
        collectOrder();
    if (m_doc.settings().isOn(CSettings::LastFile) && !m_doc.order().isEmpty()) {
        const qsizetype pos = m_doc.order().indexOf(quint32(m_doc.m_nCurItem));
        if (m_doc.m_nCurItem >= 0 && pos >= 0)
            m_doc.settings().setNumber(CSettings::LastNote, int(pos));
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
        if (m_drag.isDragging()) {
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
    m_doc.settings().setBytes(CSettings::FontL, logFont);
    cancelDrag();
    rebuildTree();
    m_clipboard.forgetUndo();
    m_drag.stop();
}

void CInfoTree::dataChanged(Handle item, int what)
{
    if (what & CTreeModel::ChangedExpanded) {
        setItemIcon(item, m_model.isExpanded(item));
        // Opened by the program (to show a selected note): its children are
        // in sight, so Collapse has something to close.
        if (m_model.isExpanded(item) && m_model.hasChildren(item))
            m_bAnyExpanded = true;
    }
}

// ---------------------------------------------------------------- selection protocol

void CInfoTree::selectionChanging(Handle oldItem, Handle newItem)
{
    Q_UNUSED(newItem)
    m_selection.leaving(oldItem);
}

void CInfoTree::selectionChanged(Handle oldItem, Handle newItem)
{
    Q_UNUSED(oldItem)
    m_selection.entered(newItem);
}

// ---------------------------------------------------------------- branch clipboard and drag

void CInfoTree::markForCut()
{
    m_clipboard.markSelected(true, kMsgNoSelectionCut);
}

void CInfoTree::markForCopy()
{
    m_clipboard.markSelected(false, kMsgNoSelectionItem);
}

bool CInfoTree::beginDrag(Handle item, qint64 nowMs)
{
    m_clipboard.markDragged(item);
    m_drag.clearTarget();
    if (!m_model.isValid(item))
        return false;  // no drag image can be made
    m_drag.begin(nowMs);
    return true;
}

void CInfoTree::drop(bool ctrl, bool alt)
{
    if (!m_drag.isDragging())
        return;
    m_drag.end();
    Handle target = m_drag.dropTarget();
    if (target != kNone && !m_model.isValid(target))
        m_drag.setDropTarget(target = kNone);
    const Handle clip = m_clipboard.clipItem();
    const Handle dragged = m_model.isValid(clip) ? clip : kNone;
    if (dragged != kNone && target != kNone && m_model.isSelfOrDescendant(target, dragged))
        return;  // onto itself or into its own branch: nothing
    if (dragged != kNone)
        m_drag.setDropTarget(m_clipboard.dropBranch(dragged, target, ctrl, alt));
    recomputeAnyExpanded();
}
