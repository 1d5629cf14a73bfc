#pragma once

#include <QtGlobal>

#include <array>
#include <vector>

// One record of a document file: an item, or the document header, with
// WORD arrays of its own. Documents do not go through this form: they are
// read in place (CRecordView) and written from their tables; it serves code
// that builds or compares records one by one.
struct CDataNotes
{
    static constexpr int kCurrentSchema = 2;
    static constexpr qint32 kHeaderKind = 1;

    qint32 m_nParent = 0;
    std::vector<quint16> m_wTitle;
    std::vector<quint16> m_wText;
    std::array<qint32, 5> m_nIcons{};
    qint32 m_nSort = 0;
    qint32 m_nRemind = 0;
    std::array<qint32, 5> m_times{};
    qint32 m_nKind = 0;
    int m_nSchema = kCurrentSchema;  // schema the record was read with; never written

    bool operator==(const CDataNotes &) const = default;
};
