#include "import/ImportFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

CImportFile CImportFile::read(const QString &path)
{
    CImportFile file;
    QFile f(path);
    // A folder opens on some systems and reads as nothing: not a file.
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly))
        return file;
    file.bytes = f.readAll();
    file.ok = f.error() == QFileDevice::NoError;
    return file;
}

CImportDecoder::CImportDecoder(const QString &codePageName)
    : m_page(codePageName)
{
    if (!m_page.isValid())
        m_page = CCodePage(QStringLiteral("windows-1252"));
    m_fromUnicode = std::make_shared<std::array<qint16, 0x10000>>();
    m_fromUnicode->fill(-1);
    for (int b = 0; b < 256; ++b) {
        if (!m_page.maps(quint8(b)))
            continue;
        const QString ch = m_page.toUnicode(QByteArray(1, char(b)));
        if (ch.size() == 1)
            (*m_fromUnicode)[ch[0].unicode()] = qint16(b);
    }
}

bool CImportDecoder::isUtf8(const QByteArray &bytes, bool &hasBom)
{
    hasBom = bytes.startsWith("\xEF\xBB\xBF");
    if (hasBom)
        return true;
    bool ascii = true;
    for (char c : bytes) {
        if (quint8(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    // Plain ASCII reads the same either way; keep it as it is.
    if (ascii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text)
    return !decoder.hasError();
}

QByteArray CImportDecoder::toCodePage(const QByteArray &bytes, const QString &name)
{
    bool bom = false;
    if (!isUtf8(bytes, bom))
        return bytes;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return fromUnicode(decoder.decode(bom ? bytes.mid(3) : bytes), name);
}

QByteArray CImportDecoder::fromUnicode(const QString &text, const QString &name)
{
    QByteArray out;
    out.reserve(text.size());
    const auto &table = *m_fromUnicode;
    int replaced = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const qint16 b = table[u];
        if (b >= 0) {
            out += char(b);
            continue;
        }
        // A surrogate pair is one character: one "?".
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        out += '?';
        ++replaced;
    }
    if (replaced > 0 && m_replaced == 0)
        m_firstReplacedIn = name;
    m_replaced += replaced;
    return out;
}

QByteArray CImportDecoder::toUtf8(const QByteArray &bytes) const
{
    bool bom = false;
    if (isUtf8(bytes, bom))
        return bom ? bytes.mid(3) : bytes;
    return m_page.toUnicode(bytes).toUtf8();
}

QString CImportDecoder::replacedMessage() const
{
    if (m_replaced == 0)
        return {};
    return QStringLiteral("%1: %2 character(s) that the code page %3 cannot hold were imported as \"?\".")
        .arg(QDir::toNativeSeparators(m_firstReplacedIn))
        .arg(m_replaced)
        .arg(m_page.name());
}
