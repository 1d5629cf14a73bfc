#include "export/MarkdownFormat.h"
#include <QCoreApplication>

#include <QDateTime>
#include <QStringList>

#include <cmath>
#include <limits>

namespace markdown {

namespace {

constexpr QStringView kUnsafe = u"/\\:*?\"<>|";
// Windows takes COM and LPT with any digit, the superscript ones included.
constexpr const char16_t *kReserved[] = {u"CON",  u"PRN",  u"AUX",  u"NUL",  u"CONIN$", u"CONOUT$", u"COM0", u"COM1",
                                         u"COM2", u"COM3", u"COM4", u"COM5", u"COM6",   u"COM7",    u"COM8", u"COM9",
                                         u"COM\u00B9", u"COM\u00B2", u"COM\u00B3", u"LPT0", u"LPT1", u"LPT2", u"LPT3",
                                         u"LPT4", u"LPT5", u"LPT6", u"LPT7", u"LPT8", u"LPT9", u"LPT\u00B9", u"LPT\u00B2",
                                         u"LPT\u00B3"};
const char *const kModes[] = {"till", "from"};
const char *const kUnits[] = {"none", "day", "week", "month", "year"};
const char *const kSorts[] = {"manual", "alphabetical", "folders-first"};

bool isControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

void chopTrailingDotsAndBlanks(QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && (s[n - 1] == QLatin1Char('.') || s[n - 1] == QLatin1Char(' ')))
        --n;
    s.truncate(n);
}

// The longest start of `s` that fits `maxBytes` of UTF-8, never cutting a
// surrogate pair.
QString cutToBytes(const QString &s, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < s.size()) {
        const char16_t u = s[i].unicode();
        int width = 1;
        int units = 1;
        if (QChar::isHighSurrogate(u) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) {
            width = 4;
            units = 2;
        } else if (u >= 0x800) {
            width = 3;
        } else if (u >= 0x80) {
            width = 2;
        }
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        i += units;
    }
    return s.left(i);
}

int utf8Length(QStringView s)
{
    return int(s.toUtf8().size());
}

bool parseInt(QStringView text, qint32 &out)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return false;
    out = qint32(v);
    return true;
}

int indexOfWord(QStringView word, const char *const *words, int count)
{
    for (int i = 0; i < count; ++i) {
        if (word == QLatin1String(words[i]))
            return i;
    }
    return -1;
}

// "[1, 2, 3, 4, 5]"
std::optional<std::array<qint32, 5>> readIcons(QStringView value)
{
    value = value.trimmed();
    if (!value.startsWith(u'[') || !value.endsWith(u']'))
        return std::nullopt;
    const auto parts = value.sliced(1, value.size() - 2).split(u',');
    if (parts.size() != 5)
        return std::nullopt;
    std::array<qint32, 5> icons{};
    for (size_t i = 0; i < 5; ++i) {
        if (!parseInt(parts[qsizetype(i)], icons[i]))
            return std::nullopt;
    }
    return icons;
}

// "{mode: till, moment: ISO, lead: N, period: N, start: ISO, end: ISO, next: day}";
// mode, moment and period are needed, the window defaults to the moment.
std::optional<CReminderFields> readReminder(QStringView value)
{
    value = value.trimmed();
    if (!value.startsWith(u'{') || !value.endsWith(u'}'))
        return std::nullopt;
    CReminderFields r;
    bool haveMode = false, haveMoment = false, havePeriod = false, haveStart = false, haveEnd = false;
    for (QStringView part : value.sliced(1, value.size() - 2).split(u',')) {
        const qsizetype colon = part.indexOf(u':');
        if (colon < 0)
            return std::nullopt;
        const QStringView key = part.first(colon).trimmed();
        const std::optional<QString> text = scalar(part.sliced(colon + 1));
        if (!text)
            return std::nullopt;
        if (key == u"mode") {
            r.mode = indexOfWord(*text, kModes, 2);
            if (r.mode < 0 && !parseInt(*text, r.mode))
                return std::nullopt;
            haveMode = r.mode >= 0;
        } else if (key == u"next") {
            r.next = indexOfWord(*text, kUnits, 5);
            if (r.next < 0 && !parseInt(*text, r.next))
                return std::nullopt;
        } else if (key == u"lead" || key == u"period") {
            if (!parseInt(*text, r.times[key == u"lead" ? 1 : 2]))
                return std::nullopt;
            havePeriod = havePeriod || key == u"period";
        } else if (key == u"moment" || key == u"start" || key == u"end") {
            const std::optional<qint32> t = fromIsoTime(*text);
            if (!t)
                return std::nullopt;
            const size_t slot = key == u"moment" ? 0 : key == u"start" ? 3 : 4;
            r.times[slot] = *t;
            haveMoment = haveMoment || slot == 0;
            haveStart = haveStart || slot == 3;
            haveEnd = haveEnd || slot == 4;
        } else {
            return std::nullopt;
        }
    }
    if (!haveMode || !haveMoment || !havePeriod)
        return std::nullopt;
    if (!haveStart)
        r.times[3] = r.times[0];
    if (!haveEnd)
        r.times[4] = r.times[0];
    return r;
}

std::optional<double> readOrder(QStringView value)
{
    const std::optional<QString> text = scalar(value);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const double v = text->toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Reads one line of the block into `matter`; false when it is not one of
// ours or does not read.
bool readLine(QStringView line, CFrontMatter &matter)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon <= 0)
        return false;
    const QStringView key = line.first(colon);
    const QStringView value = line.sliced(colon + 1);
    if (key == u"title") {
        if (auto title = scalar(value))
            return matter.title = std::move(title), true;
    } else if (key == u"order") {
        if (auto order = readOrder(value))
            return matter.order = order, true;
    } else if (key == u"icons") {
        if (auto icons = readIcons(value))
            return matter.icons = icons, true;
    } else if (key == u"reminder") {
        if (auto reminder = readReminder(value))
            return matter.reminder = reminder, true;
    } else if (key == u"sort") {
        // A word for the known types, a number for any other stored value.
        qint32 sort = indexOfWord(value.trimmed(), kSorts, 3);
        if (sort >= 0 || parseInt(value, sort))
            return matter.sort = sort, true;
    }
    return false;
}

bool isFenceLine(QStringView line, bool closing)
{
    const QStringView t = line.trimmed();
    return t == u"---" || (closing && t == u"...");
}

// Every line feed, alone or after a CR, becomes CR LF.
QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n')
            continue;
        const qsizetype end = i > start && text[i - 1] == u'\r' ? i - 1 : i;
        out += text.sliced(start, end - start);
        out += QLatin1String("\r\n");
        start = i + 1;
    }
    out += text.sliced(start);
    return out;
}

}  // namespace

QString safeName(const QString &title)
{
    QString s;
    s.reserve(title.size());
    for (const QChar c : title)
        s += isControl(c.unicode()) || kUnsafe.contains(c) ? QLatin1Char('_') : c;
    if (s.startsWith(QLatin1Char('.')))
        s[0] = QLatin1Char('_');
    chopTrailingDotsAndBlanks(s);
    // Windows takes "CON", "con.txt" and "CON .md" alike for the device.
    qsizetype base = s.indexOf(QLatin1Char('.'));
    if (base < 0)
        base = s.size();
    qsizetype stem = base;
    while (stem > 0 && s[stem - 1] == QLatin1Char(' '))
        --stem;
    for (const char16_t *reserved : kReserved) {
        if (s.first(stem).compare(QStringView(reserved), Qt::CaseInsensitive) == 0) {
            s.insert(stem, QLatin1Char('_'));
            break;
        }
    }
    s = cutToBytes(s, kNameMaxBytes);
    chopTrailingDotsAndBlanks(s);
    if (s.isEmpty())
        s = QCoreApplication::translate("CTorviQuillbookDoc", kUntitled);
    return s;
}

QString CNameSet::key(const QString &name)
{
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

bool CNameSet::isFree(const QString &name) const
{
    const QString k = key(name);
    return !m_taken.contains(k) && !m_taken.contains(k + QLatin1String(kExtension));
}

QString CNameSet::claim(const QString &safe)
{
    QString name = safe;
    if (!isFree(name)) {
        const QString base = key(safe);
        int n = m_next.value(base, 2);
        for (;; ++n) {
            const QString suffix = QStringLiteral(" (%1)").arg(n);
            name = cutToBytes(safe, kNameMaxBytes - utf8Length(suffix)) + suffix;
            if (isFree(name))
                break;
        }
        m_next.insert(base, n + 1);
    }
    const QString k = key(name);
    m_taken.insert(k);
    m_taken.insert(k + QLatin1String(kExtension));
    return name;
}

QString quoted(const QString &value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'"': out += QLatin1String("\\\""); continue;
        case u'\\': out += QLatin1String("\\\\"); continue;
        case u'\t': out += QLatin1String("\\t"); continue;
        case u'\n': out += QLatin1String("\\n"); continue;
        case u'\r': out += QLatin1String("\\r"); continue;
        case 0: out += QLatin1String("\\0"); continue;
        case 0x2028: out += QLatin1String("\\L"); continue;
        case 0x2029: out += QLatin1String("\\P"); continue;
        case 0xFEFF: out += QLatin1String("\\uFEFF"); continue;
        default: break;
        }
        if (isControl(u))
            out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    out += QLatin1Char('"');
    return out;
}

std::optional<QString> scalar(QStringView value)
{
    value = value.trimmed();
    if (value.isEmpty())
        return std::nullopt;
    const auto onlyCommentAfter = [](QStringView rest) {
        rest = rest.trimmed();
        return rest.isEmpty() || rest.startsWith(u'#');
    };
    if (value.startsWith(u'\'')) {
        QString out;
        for (qsizetype i = 1; i < value.size(); ++i) {
            if (value[i] != u'\'') {
                out += value[i];
            } else if (i + 1 < value.size() && value[i + 1] == u'\'') {
                out += u'\'';
                ++i;
            } else {
                return onlyCommentAfter(value.sliced(i + 1)) ? std::optional<QString>(out) : std::nullopt;
            }
        }
        return std::nullopt;
    }
    if (value.startsWith(u'"')) {
        QString out;
        for (qsizetype i = 1; i < value.size(); ++i) {
            const QChar c = value[i];
            if (c == u'"')
                return onlyCommentAfter(value.sliced(i + 1)) ? std::optional<QString>(out) : std::nullopt;
            if (c != u'\\') {
                out += c;
                continue;
            }
            if (++i >= value.size())
                return std::nullopt;
            const char16_t e = value[i].unicode();
            int hexDigits = 0;
            switch (e) {
            case u'0': out += QChar(0); break;
            case u'a': out += QChar(7); break;
            case u'b': out += QChar(8); break;
            case u't': case u'\t': out += QChar(9); break;
            case u'n': out += QChar(10); break;
            case u'v': out += QChar(11); break;
            case u'f': out += QChar(12); break;
            case u'r': out += QChar(13); break;
            case u'e': out += QChar(0x1B); break;
            case u' ': case u'"': case u'/': case u'\\': out += QChar(e); break;
            case u'N': out += QChar(0x85); break;
            case u'_': out += QChar(0xA0); break;
            case u'L': out += QChar(0x2028); break;
            case u'P': out += QChar(0x2029); break;
            case u'x': hexDigits = 2; break;
            case u'u': hexDigits = 4; break;
            case u'U': hexDigits = 8; break;
            default: return std::nullopt;
            }
            if (hexDigits == 0)
                continue;
            if (i + hexDigits >= value.size())
                return std::nullopt;
            bool ok = false;
            const uint code = value.sliced(i + 1, hexDigits).toUInt(&ok, 16);
            if (!ok || code > 0x10FFFF)
                return std::nullopt;
            // Not through a UTF-32 decoder, which takes U+FEFF for a byte-order mark and drops it.
            if (QChar::requiresSurrogates(code)) {
                out += QChar(QChar::highSurrogate(code));
                out += QChar(QChar::lowSurrogate(code));
            } else {
                out += QChar(char16_t(code));
            }
            i += hexDigits;
        }
        return std::nullopt;
    }
    // A plain scalar ends before a comment.
    const qsizetype comment = value.indexOf(u" #");
    return (comment >= 0 ? value.first(comment) : value).trimmed().toString();
}

QString isoTime(qint32 seconds)
{
    const int offset = QDateTime::fromSecsSinceEpoch(seconds).offsetFromUtc();
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::OffsetFromUTC, offset).toString(Qt::ISODate);
}

std::optional<qint32> fromIsoTime(QStringView text)
{
    const QDateTime t = QDateTime::fromString(text.trimmed().toString(), Qt::ISODate);
    if (!t.isValid())
        return std::nullopt;
    const qint64 s = t.toSecsSinceEpoch();
    if (s < std::numeric_limits<qint32>::min() || s > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(s);
}

QString writeFrontMatter(const CFrontMatter &matter)
{
    QString out = QStringLiteral("---\n");
    if (matter.title)
        out += QLatin1String("title: ") + quoted(*matter.title) + QLatin1Char('\n');
    if (matter.order) {
        const double o = *matter.order;
        out += QLatin1String("order: ")
            + (o == std::floor(o) && std::abs(o) < 1e15 ? QString::number(qint64(o)) : QString::number(o, 'g', 17))
            + QLatin1Char('\n');
    }
    if (matter.icons) {
        const auto &i = *matter.icons;
        out += QStringLiteral("icons: [%1, %2, %3, %4, %5]\n").arg(i[0]).arg(i[1]).arg(i[2]).arg(i[3]).arg(i[4]);
    }
    if (matter.reminder) {
        const CReminderFields &r = *matter.reminder;
        const QString mode = r.mode >= 0 && r.mode < 2 ? QLatin1String(kModes[r.mode]) : QString::number(r.mode);
        const QString next = r.next >= 0 && r.next < 5 ? QLatin1String(kUnits[r.next]) : QString::number(r.next);
        out += QStringLiteral("reminder: {mode: %1, moment: %2, lead: %3, period: %4, start: %5, end: %6, next: %7}\n")
                   .arg(mode, isoTime(r.times[0]))
                   .arg(r.times[1])
                   .arg(r.times[2])
                   .arg(isoTime(r.times[3]), isoTime(r.times[4]), next);
    }
    if (matter.sort) {
        const qint32 s = *matter.sort;
        out += QLatin1String("sort: ") + (s >= 0 && s < 3 ? QLatin1String(kSorts[s]) : QString::number(s)) + QLatin1Char('\n');
    }
    out += QLatin1String("---\n");
    return out;
}

QString writeNote(const CFrontMatter &matter, const QString &text)
{
    const QString block = writeFrontMatter(matter);
    if (!text.startsWith(QLatin1String("---\n")))
        return block + text;
    // The note's block: up to its closing line, with no key that ours has too.
    qsizetype at = 4;
    for (;;) {
        const qsizetype lf = text.indexOf(u'\n', at);
        if (lf < 0)
            return block + text;  // never closed: no block, only text
        const QStringView line = QStringView(text).sliced(at, lf - at);
        if (line == u"---" || line == u"...")
            break;
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0) {
            const QStringView key = line.first(colon);
            if ((key == u"title" && matter.title) || (key == u"order" && matter.order) || (key == u"icons" && matter.icons)
                || (key == u"reminder" && matter.reminder) || (key == u"sort" && matter.sort))
                return block + text;
        }
        at = lf + 1;
    }
    return block.chopped(4) + QLatin1String(kOwnKeysEnd) + QLatin1Char('\n') + text.sliced(4);
}

CNote readNote(QStringView file)
{
    CNote note;
    if (file.startsWith(QChar(0xFEFF)))
        file = file.sliced(1);
    // The block: a "---" line first, up to the next "---" (or "...") line.
    const auto lineEnd = [&file](qsizetype from) {
        const qsizetype lf = file.indexOf(u'\n', from);
        return lf < 0 ? file.size() : lf;
    };
    qsizetype end = lineEnd(0);
    if (end >= file.size() || !isFenceLine(file.first(end), false)) {
        note.text = withCrLf(file);
        return note;
    }
    qsizetype at = end + 1;
    QString kept;
    bool keptAny = false;
    for (;;) {
        if (at > file.size()) {
            note = CNote();  // no closing line: no block at all
            note.text = withCrLf(file);
            return note;
        }
        end = lineEnd(at);
        QStringView line = file.sliced(at, end - at);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line == QLatin1String(kOwnKeysEnd)) {
            // The rest is the note's own block and text, as it was.
            note.text = withCrLf(QLatin1String("---\n") + kept + file.sliced(std::min(end + 1, file.size())).toString());
            return note;
        }
        if (isFenceLine(line, true)) {
            at = std::min(end + 1, file.size());
            break;
        }
        if (!readLine(line, note.matter)) {
            kept += line;
            kept += QLatin1Char('\n');
            keptAny = keptAny || !line.trimmed().isEmpty();
        }
        at = end + 1;
    }
    QString text;
    if (keptAny)
        text = QLatin1String("---\n") + kept + QLatin1String("---\n");
    text += file.sliced(at);
    note.text = withCrLf(text);
    return note;
}

}  // namespace markdown
