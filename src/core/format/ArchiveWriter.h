#pragma once

#include "doc/DataNotes.h"

#include <QByteArray>

#include <vector>

// Writes a record array as the framework's binary object stream: a COUNT,
// then each record behind a class tag (a class block for the first, a
// reference to class 1 for the others) with its schema-2 body.
class CArchiveWriter
{
public:
    static QByteArray write(const std::vector<CDataNotes> &records);
};
