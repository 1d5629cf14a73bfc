#pragma once

#include "format/NoteInfo.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <vector>

// The document's parallel item tables. An item index is a row in the first
// four tables; rows are only appended while a document is open.
struct CItemTables
{
    static constexpr quint32 kRootParent = 1;  // parent link of a root item; k + 2 for a child of k

    QList<QByteArray> m_arTitles;
    QList<QByteArray> m_arTexts;
    QList<quint32> m_arParents;
    std::vector<CNoteInfo> m_arInfos;
    QList<quint32> m_arOrder;      // items present in the tree, in pre-order
    QList<quint32> m_arReminders;  // items whose reminder mode is 0 or more

    // Document-wide values carried by the header record.
    std::array<qint32, 5> m_defaultIcons{0, 1, 2, 3, 4};
    qint32 m_nRootSort = 2;
    qint32 m_creationTime = 0;  // 0 until a file provides one

    int count() const { return int(m_arTitles.size()); }

    // Appends one row to all four tables; returns its item index.
    int appendItem(QByteArray title, QByteArray text, quint32 parentLink, const CNoteInfo &info)
    {
        m_arTitles.append(std::move(title));
        m_arTexts.append(std::move(text));
        m_arParents.append(parentLink);
        m_arInfos.push_back(info);
        return count() - 1;
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
};
