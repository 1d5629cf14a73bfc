#pragma once

#include "format/DataNotes.h"
#include "doc/ItemTables.h"
#include "format/RecordCodec.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

class CCodePage;

// The JSON form of a document file, "tqb-json/1":
//   {"format": "tqb-json/1", "header": H, "items": [I, ...]}
//   H: null (a file without header) or
//      {"icons": [5 ints], "sort": int, "password": bool, "created": int}
//   I: {"parent": int, "title": str, "text": str, "icons": [5 ints], "sort": int,
//       "remind": int, "times": [5 ints], "kind": int}
// Values are those of the records as written, deciphered; "parent" is the
// record's parent link (1 for a root, 2 + the 0-based place of the parent
// among the items). Titles and texts are converted with the code page, and
// nothing is ever replaced: a byte or character the page cannot carry is an
// error naming where it is.
class CTqbJson
{
public:
    static constexpr const char *kFormat = "tqb-json/1";

    static bool fromRecords(const CRecordIndex &records, const CRecordCodec::Key &key,
                            const CCodePage &codePage, QJsonObject &json, QString &error);

    struct Header
    {
        bool present = false;
        std::optional<bool> password;  // "password" may be left out
    };
    // Checks the whole text strictly (keys, types, five-element arrays,
    // 32-bit integers, parent links that name a root or an item) and only
    // then fills the empty tables: the header's values, and one row per item
    // in the given order with its parent link as given.
    static bool toTables(const QByteArray &text, const CCodePage &codePage, CItemTables &tables, Header &header,
                         QString &error);
};
