#pragma once

#include <QtGlobal>

#include <array>

// An item's attributes, carried one to one by its file record.
struct CNoteInfo
{
    std::array<qint32, 5> m_nIcons{0, 1, 2, 3, 4};
    qint32 m_nSort = 0;     // how this item's children are ordered: 0 manual, 1 alpha, 2 folders first
    qint32 m_nRemind = -1;  // -1: no reminder
    std::array<qint32, 5> m_times{};
    qint32 m_nKind = 0;

    bool operator==(const CNoteInfo &) const = default;
};
