#include "TqbJson.h"

#include "doc/RecordMapper.h"
#include "text/CodePage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QStringList>

#include <array>
#include <cmath>
#include <limits>

namespace {

using Ints5 = std::array<qint32, 5>;

QJsonArray toArray(const Ints5 &values)
{
    QJsonArray array;
    for (qint32 v : values)
        array.append(v);
    return array;
}

bool decode(const QByteArray &bytes, const CCodePage &codePage, const QString &where, QString &out, QString &error)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 byte = quint8(bytes[i]);
        if (!codePage.maps(byte)) {
            error = QStringLiteral("%1: byte 0x%2 at index %3 is not a character of %4")
                        .arg(where)
                        .arg(byte, 2, 16, QLatin1Char('0'))
                        .arg(i)
                        .arg(codePage.name());
            return false;
        }
    }
    out = codePage.toUnicode(bytes);
    return true;
}

QString itemPlace(qsizetype index)
{
    return QStringLiteral("items[%1]").arg(index);
}

// Reads JSON values by the strict rules of the format, remembering the first
// problem together with where it was found.
class CStrictReader
{
public:
    explicit CStrictReader(const CCodePage &codePage) : m_codePage(codePage) {}

    QString error;

    bool fail(const QString &where, const QString &what)
    {
        error = where + QStringLiteral(": ") + what;
        return false;
    }

    bool object(const QJsonValue &value, const QString &where, QJsonObject &out)
    {
        if (!value.isObject())
            return fail(where, QStringLiteral("must be an object"));
        out = value.toObject();
        return true;
    }

    bool keys(const QJsonObject &object, const QString &where, const QStringList &required,
              const QStringList &optional = {})
    {
        for (const QString &key : object.keys()) {
            if (!required.contains(key) && !optional.contains(key))
                return fail(where, QStringLiteral("unknown key \"%1\"").arg(key));
        }
        for (const QString &key : required) {
            if (!object.contains(key))
                return fail(where, QStringLiteral("missing key \"%1\"").arg(key));
        }
        return true;
    }

    bool int32(const QJsonValue &value, const QString &where, qint32 &out)
    {
        if (!value.isDouble())
            return fail(where, QStringLiteral("must be an integer"));
        const double d = value.toDouble();
        if (d != std::trunc(d) || d < double(std::numeric_limits<qint32>::min())
            || d > double(std::numeric_limits<qint32>::max())) {
            return fail(where, QStringLiteral("must be an integer from %1 to %2")
                                   .arg(std::numeric_limits<qint32>::min())
                                   .arg(std::numeric_limits<qint32>::max()));
        }
        out = qint32(d);
        return true;
    }

    bool ints5(const QJsonValue &value, const QString &where, Ints5 &out)
    {
        if (!value.isArray() || value.toArray().size() != 5)
            return fail(where, QStringLiteral("must be an array of 5 integers"));
        const QJsonArray array = value.toArray();
        for (int i = 0; i < 5; ++i) {
            if (!int32(array[i], QStringLiteral("%1[%2]").arg(where).arg(i), out[size_t(i)]))
                return false;
        }
        return true;
    }

    bool boolean(const QJsonValue &value, const QString &where, bool &out)
    {
        if (!value.isBool())
            return fail(where, QStringLiteral("must be true or false"));
        out = value.toBool();
        return true;
    }

    bool text(const QJsonValue &value, const QString &where, QByteArray &out)
    {
        if (!value.isString())
            return fail(where, QStringLiteral("must be a string"));
        const QString string = value.toString();
        const qsizetype at = m_codePage.firstUnmappable(string);
        if (at >= 0) {
            char32_t ch = string.at(at).unicode();
            if (string.at(at).isHighSurrogate() && at + 1 < string.size() && string.at(at + 1).isLowSurrogate())
                ch = QChar::surrogateToUcs4(string.at(at), string.at(at + 1));
            return fail(where, QStringLiteral("the character U+%1 at index %2 is not in %3")
                                   .arg(uint(ch), 4, 16, QLatin1Char('0'))
                                   .arg(at)
                                   .arg(m_codePage.name()));
        }
        out = *m_codePage.fromUnicode(string);
        return true;
    }

private:
    const CCodePage &m_codePage;
};

struct CParsedItem
{
    qint32 parent = 0;
    QByteArray title;
    QByteArray text;
    CNoteInfo info;
};

}  // namespace

bool CTqbJson::fromRecords(const CRecordIndex &records, const CRecordCodec::Key &key,
                           const CCodePage &codePage, QJsonObject &json, QString &error)
{
    size_t first = 0;
    QJsonValue header = QJsonValue::Null;
    if (!records.empty() && CRecordMapper::isHeader(records.view(0))) {
        const CRecordView record = records.view(0);
        const CNoteInfo info = CRecordCodec::read(record, key).info;
        QJsonObject h;
        h.insert(QStringLiteral("icons"), toArray(info.m_nIcons));
        h.insert(QStringLiteral("sort"), info.m_nSort);
        h.insert(QStringLiteral("password"), record.m_nRemind > 0);
        h.insert(QStringLiteral("created"), info.m_times[0]);
        header = h;
        first = 1;
    }

    QJsonArray items;
    const CRecordCodec codec(key);
    for (size_t r = first; r < records.size(); ++r) {
        const QString where = itemPlace(qsizetype(r - first));
        const CRecordView record = records.view(r);
        const CRecordCodec::Item item = codec.read(record);
        QString title;
        QString text;
        if (!decode(item.title, codePage, where + QStringLiteral(".title"), title, error)
            || !decode(item.text, codePage, where + QStringLiteral(".text"), text, error)) {
            return false;
        }
        QJsonObject i;
        i.insert(QStringLiteral("parent"), record.m_nParent);
        i.insert(QStringLiteral("title"), title);
        i.insert(QStringLiteral("text"), text);
        i.insert(QStringLiteral("icons"), toArray(item.info.m_nIcons));
        i.insert(QStringLiteral("sort"), item.info.m_nSort);
        i.insert(QStringLiteral("remind"), item.info.m_nRemind);
        i.insert(QStringLiteral("times"), toArray(item.info.m_times));
        i.insert(QStringLiteral("kind"), item.info.m_nKind);
        items.append(i);
    }

    json = QJsonObject();
    json.insert(QStringLiteral("format"), QLatin1String(kFormat));
    json.insert(QStringLiteral("header"), header);
    json.insert(QStringLiteral("items"), items);
    return true;
}

bool CTqbJson::toTables(const QByteArray &text, const CCodePage &codePage, CItemTables &tables, Header &header,
                        QString &error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    CStrictReader in(codePage);
    const auto failed = [&] {
        error = in.error;
        return false;
    };
    const QString top = QStringLiteral("document");
    QJsonObject root;
    if (!in.object(document.isObject() ? QJsonValue(document.object()) : QJsonValue(), top, root)
        || !in.keys(root, top, {QStringLiteral("format"), QStringLiteral("header"), QStringLiteral("items")})) {
        return failed();
    }
    if (root.value(QStringLiteral("format")) != QJsonValue(QLatin1String(kFormat))) {
        in.fail(QStringLiteral("format"), QStringLiteral("must be \"%1\"").arg(QLatin1String(kFormat)));
        return failed();
    }

    header = Header();
    Ints5 headerIcons{};
    qint32 rootSort = 0;
    qint32 created = 0;
    const QJsonValue h = root.value(QStringLiteral("header"));
    if (!h.isNull()) {
        const QString where = QStringLiteral("header");
        QJsonObject object;
        if (!in.object(h, where, object)
            || !in.keys(object, where, {QStringLiteral("icons"), QStringLiteral("sort"), QStringLiteral("created")},
                        {QStringLiteral("password")})
            || !in.ints5(object.value(QStringLiteral("icons")), where + QStringLiteral(".icons"), headerIcons)
            || !in.int32(object.value(QStringLiteral("sort")), where + QStringLiteral(".sort"), rootSort)
            || !in.int32(object.value(QStringLiteral("created")), where + QStringLiteral(".created"), created)) {
            return failed();
        }
        if (object.contains(QStringLiteral("password"))) {
            bool password = false;
            if (!in.boolean(object.value(QStringLiteral("password")), where + QStringLiteral(".password"), password))
                return failed();
            header.password = password;
        }
        header.present = true;
    }

    const QJsonValue itemsValue = root.value(QStringLiteral("items"));
    if (!itemsValue.isArray()) {
        in.fail(QStringLiteral("items"), QStringLiteral("must be an array"));
        return failed();
    }
    const QJsonArray items = itemsValue.toArray();
    std::vector<CParsedItem> parsed(size_t(items.size()));
    for (qsizetype j = 0; j < items.size(); ++j) {
        const QString where = itemPlace(j);
        CParsedItem &item = parsed[size_t(j)];
        QJsonObject object;
        if (!in.object(items[j], where, object)
            || !in.keys(object, where,
                        {QStringLiteral("parent"), QStringLiteral("title"), QStringLiteral("text"),
                         QStringLiteral("icons"), QStringLiteral("sort"), QStringLiteral("remind"),
                         QStringLiteral("times"), QStringLiteral("kind")})
            || !in.int32(object.value(QStringLiteral("parent")), where + QStringLiteral(".parent"), item.parent)
            || !in.text(object.value(QStringLiteral("title")), where + QStringLiteral(".title"), item.title)
            || !in.text(object.value(QStringLiteral("text")), where + QStringLiteral(".text"), item.text)
            || !in.ints5(object.value(QStringLiteral("icons")), where + QStringLiteral(".icons"), item.info.m_nIcons)
            || !in.int32(object.value(QStringLiteral("sort")), where + QStringLiteral(".sort"), item.info.m_nSort)
            || !in.int32(object.value(QStringLiteral("remind")), where + QStringLiteral(".remind"), item.info.m_nRemind)
            || !in.ints5(object.value(QStringLiteral("times")), where + QStringLiteral(".times"), item.info.m_times)
            || !in.int32(object.value(QStringLiteral("kind")), where + QStringLiteral(".kind"), item.info.m_nKind)) {
            return failed();
        }
        // Items are in tree order, so a parent always comes before its
        // children. A link to the item itself, to a later item (which is how
        // every cycle starts) or to nothing would make the item vanish from
        // the tree and from the next save: refused here.
        const qint64 link = item.parent;
        if (link != qint64(CItemTables::kRootParent) && (link < 2 || link - 2 >= j)) {
            in.fail(where + QStringLiteral(".parent"),
                    j == 0 ? QStringLiteral("must be 1 (the first item is a root)")
                           : QStringLiteral("must be 1 (a root) or 2 to %1 (a child of an earlier item, 0 to %2)")
                                 .arg(j + 1)
                                 .arg(j - 1));
            return failed();
        }
        // Without a reminder the file keeps no reminder times: refused rather
        // than dropped.
        if (item.info.m_nRemind < 0) {
            for (int t : {0, 3, 4}) {
                if (item.info.m_times[size_t(t)] != 0) {
                    in.fail(QStringLiteral("%1.times[%2]").arg(where).arg(t),
                            QStringLiteral("must be 0 for an item without reminder (remind below 0)"));
                    return failed();
                }
            }
        }
    }

    if (header.present) {
        tables.setDefaultIcons(headerIcons);
        tables.setRootSort(rootSort);
        tables.setCreationTime(created);
    }
    for (CParsedItem &item : parsed) {
        const int j = tables.appendItem(std::move(item.title), std::move(item.text), quint32(item.parent), item.info);
        tables.appendToOrder(quint32(j));
        if (item.info.m_nRemind >= 0)
            tables.appendReminder(quint32(j));
    }
    return true;
}
