#pragma once

#include "format/NoteInfo.h"
#include "text/MemoryWipe.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <array>
#include <vector>

// The document's parallel item tables. An item index is a row in the first
// four tables; rows are only appended while a document is open, and only
// through appendItem, so the four tables always have one count.
class CItemTables
{
public:
    static constexpr quint32 kRootParent = 1;  // parent link of a root item; k + 2 for a child of k
    using Icons = std::array<qint32, 5>;

    // --- reading ---
    int count() const { return int(m_arTitles.size()); }
    bool isItem(qint64 index) const { return index >= 0 && index < count(); }
    const QByteArray &title(qsizetype index) const { return m_arTitles[index]; }
    const QByteArray &text(qsizetype index) const { return m_arTexts[index]; }
    quint32 parentLink(qsizetype index) const { return m_arParents[index]; }
    const CNoteInfo &info(qsizetype index) const { return m_arInfos[size_t(index)]; }
    // Whole tables at once, for a snapshot that shares them or a comparison.
    const QList<QByteArray> &titles() const { return m_arTitles; }
    const QList<QByteArray> &texts() const { return m_arTexts; }
    const QList<quint32> &parentLinks() const { return m_arParents; }
    const std::vector<CNoteInfo> &infos() const { return m_arInfos; }
    const QList<quint32> &order() const { return m_arOrder; }
    const QList<quint32> &reminders() const { return m_arReminders; }

    // Document-wide values carried by the header record.
    const Icons &defaultIcons() const { return m_defaultIcons; }
    qint32 rootSort() const { return m_nRootSort; }
    qint32 creationTime() const { return m_creationTime; }
    void setDefaultIcons(const Icons &icons) { m_defaultIcons = icons; }
    void setDefaultIcon(int slot, qint32 icon) { m_defaultIcons[size_t(slot)] = icon; }
    void setRootSort(qint32 type) { m_nRootSort = type; }
    void setCreationTime(qint32 stamp) { m_creationTime = stamp; }

    // --- writing ---
    // Appends one row to all four tables; returns its item index.
    int appendItem(QByteArray title, QByteArray text, quint32 parentLink, const CNoteInfo &info)
    {
        m_arTitles.append(std::move(title));
        m_arTexts.append(std::move(text));
        m_arParents.append(parentLink);
        m_arInfos.push_back(info);
        return count() - 1;
    }
    // Room for `more` rows, so that reading a file appends without regrowing.
    void reserveItems(qsizetype more)
    {
        m_arTitles.reserve(m_arTitles.size() + more);
        m_arTexts.reserve(m_arTexts.size() + more);
        m_arParents.reserve(m_arParents.size() + more);
        m_arInfos.reserve(m_arInfos.size() + size_t(more));
        m_arOrder.reserve(m_arOrder.size() + more);
    }
    void setTitle(qsizetype index, QByteArray title) { m_arTitles[index] = std::move(title); }
    void setText(qsizetype index, QByteArray text) { m_arTexts[index] = std::move(text); }
    void setParentLink(qsizetype index, quint32 link) { m_arParents[index] = link; }
    void setInfo(qsizetype index, const CNoteInfo &info) { m_arInfos[size_t(index)] = info; }
    void setIcons(qsizetype index, const Icons &icons) { m_arInfos[size_t(index)].m_nIcons = icons; }
    void setSort(qsizetype index, qint32 type) { m_arInfos[size_t(index)].m_nSort = type; }

    void setOrder(QList<quint32> order) { m_arOrder = std::move(order); }
    void appendToOrder(quint32 index) { m_arOrder.append(index); }
    // Writes `items` over the order list from position `from` on; they fit.
    void setOrderStretch(qsizetype from, const QList<quint32> &items)
    {
        std::copy(items.begin(), items.end(), m_arOrder.begin() + from);
    }

    // Lists `index` among the items with a reminder unless it is listed already.
    void addReminder(quint32 index)
    {
        if (!m_arReminders.contains(index))
            m_arReminders.append(index);
    }
    // Lists `index` without looking for it first: for a row appended since
    // the list was last complete, which cannot be listed yet.
    void appendReminder(quint32 index) { m_arReminders.append(index); }
    void removeReminder(quint32 index) { m_arReminders.removeOne(index); }
    void setReminders(QList<quint32> reminders) { m_arReminders = std::move(reminders); }

    // Empties the tables with the bytes of every title and text zeroed
    // first, wherever else they are shared.
    void wipeItems()
    {
        memorywipe::zeroEntries(m_arTitles);
        memorywipe::zeroEntries(m_arTexts);
        clearItems();
    }
    void clearItems()
    {
        m_arTitles.clear();
        m_arTexts.clear();
        m_arParents.clear();
        m_arInfos.clear();
        m_arOrder.clear();
        m_arReminders.clear();
    }

private:
    QList<QByteArray> m_arTitles;
    QList<QByteArray> m_arTexts;
    QList<quint32> m_arParents;
    std::vector<CNoteInfo> m_arInfos;
    QList<quint32> m_arOrder;      // items present in the tree, in pre-order
    QList<quint32> m_arReminders;  // items whose reminder mode is 0 or more

    Icons m_defaultIcons{0, 1, 2, 3, 4};
    qint32 m_nRootSort = 2;
    qint32 m_creationTime = 0;  // 0 until a file provides one
};
