#pragma once

#include "format/NoteInfo.h"

#include <QByteArray>

// Where a parser puts the items it reads. The parsers know nothing of the
// tree: the import appends through the infotree, the fuzz targets and tests
// record or check. Ids are the sink's own; every parent is an id returned
// before, or kDestination.
class IImportSink
{
public:
    static constexpr int kDestination = -1;  // the place the user chose
    static constexpr int kFailed = -2;       // the item could not be added

    virtual ~IImportSink() = default;
    // Appends an item as the last child of `parent`. A parent that failed
    // (kFailed) makes the child fail too, so a lost folder takes its branch
    // with it rather than spilling it elsewhere.
    virtual int add(int parent, const QByteArray &title, const QByteArray &text) = 0;
    // The same for an item that brings attributes of its own (icons and
    // reminder; the sort type stays manual). Sinks that keep no attributes
    // take the plain add.
    virtual int addWithInfo(int parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info)
    {
        Q_UNUSED(info)
        return add(parent, title, text);
    }
};
