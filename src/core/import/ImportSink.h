#pragma once

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
};
