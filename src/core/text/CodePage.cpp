#include "text/CodePage.h"
#include <QCoreApplication>

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#else
#include <iconv.h>
#endif

struct CCodePage::Table
{
    int number = 0;
    std::array<char16_t, 256> toUnicode{};
    std::array<bool, 256> mapped{};
    std::array<qint16, 128> fromAscii{};                 // byte of U+0000..U+007F, -1 when none
    std::vector<std::pair<char16_t, quint8>> fromOther;  // the rest, sorted by character

    std::optional<quint8> byteOf(char16_t ch) const
    {
        if (ch < 0x80) {
            const qint16 b = fromAscii[ch];
            return b < 0 ? std::nullopt : std::optional<quint8>(quint8(b));
        }
        const auto it = std::lower_bound(fromOther.begin(), fromOther.end(), ch,
                                         [](const std::pair<char16_t, quint8> &e, char16_t c) { return e.first < c; });
        if (it == fromOther.end() || it->first != ch)
            return std::nullopt;
        return it->second;
    }
};

namespace {

constexpr std::array<int, 10> kPages{874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

// The characters of one page, one per byte; std::nullopt for an undefined byte.
using RawTable = std::array<std::optional<char16_t>, 256>;

int pageNumber(const QString &name)
{
    QString n = name.trimmed().toLower();
    if (n.startsWith(QLatin1String("windows-")))
        n = n.mid(8);
    else if (n.startsWith(QLatin1String("cp")))
        n = n.mid(2);
    bool ok = false;
    const int number = n.toInt(&ok);
    if (!ok || std::find(kPages.begin(), kPages.end(), number) == kPages.end())
        return 0;
    return number;
}

#ifdef Q_OS_WIN
std::optional<RawTable> systemTable(int number)
{
    RawTable raw;
    for (int b = 0; b < 256; ++b) {
        const char in = char(b);
        wchar_t out[2];
        if (MultiByteToWideChar(UINT(number), MB_ERR_INVALID_CHARS, &in, 1, out, 2) == 1)
            raw[b] = char16_t(out[0]);
    }
    return raw;
}
#else
std::optional<RawTable> systemTable(int number)
{
    iconv_t cd = iconv_t(-1);
    for (const QByteArray &prefix : {QByteArray("WINDOWS-"), QByteArray("CP")}) {
        cd = iconv_open("UTF-16LE", (prefix + QByteArray::number(number)).constData());
        if (cd != iconv_t(-1))
            break;
    }
    if (cd == iconv_t(-1))
        return std::nullopt;
    RawTable raw;
    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char out[8];
        char *inPtr = &in;
        char *outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        // Some pages hold back a letter that a combining mark may follow; the
        // flush call releases it.
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)
            || iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1))
            continue;
        if (sizeof out - outLeft == 2)
            raw[b] = char16_t(quint8(out[0]) | (quint8(out[1]) << 8));
    }
    iconv_close(cd);
    return raw;
}
#endif

// Qt's own converter, for a platform whose system tables lack the page.
std::optional<RawTable> qtTable(int number)
{
    const QByteArray name = "windows-" + QByteArray::number(number);
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    RawTable raw;
    for (int b = 0; b < 256; ++b) {
        const char in = char(b);
        // A byte the converter cannot read comes out as U+FFFD, which the
        // caller drops; its error mark is not used, as it stays set for every
        // later byte.
        const QString s = decoder.decode(QByteArrayView(&in, 1));
        if (s.size() == 1)
            raw[b] = s.at(0).unicode();
    }
    return raw;
}

// Some tables fill the gaps of a page with C1 controls, private-use
// characters or U+FFFD so that every byte converts; none of these is a
// character of a Windows ANSI page.
bool isFiller(char16_t ch)
{
    return (ch >= 0x80 && ch <= 0x9F) || ch == CCodePage::kReplacement || (ch >= 0xD800 && ch <= 0xF8FF);
}

std::shared_ptr<const CCodePage::Table> tableFrom(int number, const std::optional<RawTable> &raw)
{
    if (!raw)
        return nullptr;
    auto table = std::make_shared<CCodePage::Table>();
    table->number = number;
    table->fromAscii.fill(-1);
    for (int b = 0; b < 256; ++b) {
        std::optional<char16_t> ch = b == 0 ? std::optional<char16_t>(0) : (*raw)[b];
        if (ch && b >= 0x80 && isFiller(*ch))
            ch.reset();
        table->mapped[b] = ch.has_value();
        table->toUnicode[b] = ch.value_or(CCodePage::kReplacement);
        if (!ch)
            continue;
        if (*ch < 0x80) {
            if (table->fromAscii[*ch] < 0)
                table->fromAscii[*ch] = qint16(b);
        } else {
            table->fromOther.emplace_back(*ch, quint8(b));
        }
    }
    // A character held by two bytes goes back to the lower one.
    std::stable_sort(table->fromOther.begin(), table->fromOther.end(),
                     [](const auto &l, const auto &r) { return l.first < r.first; });
    table->fromOther.erase(std::unique(table->fromOther.begin(), table->fromOther.end(),
                                       [](const auto &l, const auto &r) { return l.first == r.first; }),
                           table->fromOther.end());

    // Every ANSI page holds printable ASCII; a table without it is not the page asked for.
    for (char16_t c = 0x20; c < 0x7F; ++c) {
        if (table->fromAscii[c] != qint16(c))
            return nullptr;
    }
    return table;
}

std::shared_ptr<const CCodePage::Table> buildTable(int number)
{
    if (auto table = tableFrom(number, systemTable(number)))
        return table;
    return tableFrom(number, qtTable(number));
}

std::shared_ptr<const CCodePage::Table> sharedTable(int number)
{
    static QMutex mutex;
    static QHash<int, std::shared_ptr<const CCodePage::Table>> tables;
    QMutexLocker lock(&mutex);
    auto it = tables.find(number);
    if (it == tables.end())
        it = tables.insert(number, buildTable(number));
    return it.value();
}

} // namespace

CCodePage::CCodePage(const QString &name)
{
    if (const int number = pageNumber(name))
        m_table = sharedTable(number);
}

QString CCodePage::name() const
{
    return m_table ? QStringLiteral("windows-%1").arg(m_table->number) : QString();
}

int CCodePage::number() const
{
    return m_table ? m_table->number : 0;
}

bool CCodePage::maps(quint8 byte) const
{
    return m_table && m_table->mapped[byte];
}

QString CCodePage::toUnicode(const QByteArray &bytes) const
{
    if (!m_table)
        return {};
    QString result(bytes.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (const char c : bytes)
        *out++ = QChar(m_table->toUnicode[quint8(c)]);
    return result;
}

std::optional<QByteArray> CCodePage::fromUnicode(const QString &text) const
{
    if (!m_table)
        return std::nullopt;
    QByteArray result(text.size(), Qt::Uninitialized);
    char *out = result.data();
    for (const QChar ch : text) {
        const std::optional<quint8> b = m_table->byteOf(ch.unicode());
        if (!b)
            return std::nullopt;
        *out++ = char(*b);
    }
    return result;
}

qsizetype CCodePage::firstUnmappable(const QString &text) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!m_table || !m_table->byteOf(text.at(i).unicode()))
            return i;
    }
    return -1;
}

QChar CCodePage::charOf(quint8 byte) const
{
    return m_table ? QChar(m_table->toUnicode[byte]) : QChar(kReplacement);
}

QByteArray CCodePage::fromUnicodeOr(const QString &text, char placeholder) const
{
    QByteArray result(text.size(), placeholder);
    if (!m_table)
        return result;
    char *out = result.data();
    for (const QChar ch : text) {
        if (const std::optional<quint8> b = m_table->byteOf(ch.unicode()))
            *out = char(*b);
        ++out;
    }
    return result;
}

QString CCodePage::describeCharacter(const QString &text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return {};
    char32_t code = text.at(at).unicode();
    qsizetype length = 1;
    if (text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
        length = 2;
    } else if (text.at(at).isLowSurrogate() && at > 0 && text.at(at - 1).isHighSurrogate()) {
        code = QChar::surrogateToUcs4(text.at(at - 1), text.at(at));
        --at;
        length = 2;
    }
    return QStringLiteral("\"%1\" (U+%2)")
        .arg(text.mid(at, length), QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

QString CCodePage::unmappableMessage(const QString &text, qsizetype at) const
{
    return QCoreApplication::translate("CCodePage", "The character %1 cannot be kept in this document's code page (%2).")
        .arg(describeCharacter(text, at), name());
}

QStringList CCodePage::supportedNames()
{
    QStringList names;
    for (const int number : kPages)
        names << QStringLiteral("windows-%1").arg(number);
    return names;
}
