#include "import/ImportFile.h"
#include <QCoreApplication>

#include "io/InputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

CImportFile CImportFile::read(const QString &path)
{
    CImportFile file;
    switch (CInputFile::read(path, CInputFile::kMaxImportBytes, file.bytes, true)) {
    case CInputFile::Status::Ok:
        file.ok = true;
        break;
    case CInputFile::Status::NotRegular:
        file.refusal = CInputFile::notRegularText(path);
        break;
    case CInputFile::Status::Denied:
        file.refusal = CInputFile::deniedText(path);
        break;
    case CInputFile::Status::TooLarge:
        file.bytes.clear();
        file.refusal = CInputFile::tooLargeText(path, CInputFile::kMaxImportBytes);
        break;
    case CInputFile::Status::Missing:
    case CInputFile::Status::Folder:
    case CInputFile::Status::Unreadable:
        break;
    }
    return file;
}

QString titleFromFileName(QString name)
{
    for (QChar &c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return name;
}

CImportDecoder::CImportDecoder(const QString &codePageName)
    : m_page(codePageName)
{
    if (!m_page.isValid())
        m_page = CCodePage(QStringLiteral("windows-1252"));
    m_fromUnicode = std::make_shared<std::array<qint16, 0x10000>>();
    m_fromUnicode->fill(-1);
    for (int b = 0; b < 256; ++b) {
        m_defined[size_t(b)] = m_page.maps(quint8(b));
        if (!m_defined[size_t(b)])
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

bool CImportDecoder::isUtf16(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

QByteArray CImportDecoder::toCodePage(const QByteArray &bytes, const QString &name)
{
    if (isUtf16(bytes)) {
        // The decoder reads the mark, takes its byte order and drops it.
        QStringDecoder decoder(QStringDecoder::Utf16, QStringDecoder::Flag::Stateless);
        return fromUnicode(decoder.decode(bytes), name);
    }
    bool bom = false;
    if (isUtf8(bytes, bom)) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return fromUnicode(decoder.decode(bom ? bytes.mid(3) : bytes), name);
    }
    // Bytes the page leaves undefined would make a document that no longer
    // converts to text.
    QByteArray out = bytes;
    int replaced = 0;
    for (char &c : out) {
        if (!m_defined[quint8(c)]) {
            c = '?';
            ++replaced;
        }
    }
    countReplaced(replaced, name);
    return out;
}

void CImportDecoder::countReplaced(int replaced, const QString &name)
{
    if (replaced <= 0)
        return;
    if (m_replaced == 0)
        m_firstReplacedIn = name;
    // A file's title and text come one after the other: counted once.
    if (m_filesReplaced == 0 || name != m_lastReplacedIn)
        ++m_filesReplaced;
    m_lastReplacedIn = name;
    m_replaced += replaced;
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
    countReplaced(replaced, name);
    return out;
}

QByteArray CImportDecoder::toUtf8(const QByteArray &bytes) const
{
    if (isUtf16(bytes)) {
        QStringDecoder decoder(QStringDecoder::Utf16, QStringDecoder::Flag::Stateless);
        return QString(decoder.decode(bytes)).toUtf8();
    }
    bool bom = false;
    if (isUtf8(bytes, bom))
        return bom ? bytes.mid(3) : bytes;
    return m_page.toUnicode(bytes).toUtf8();
}

QString CImportDecoder::replacedMessage() const
{
    if (m_replaced == 0)
        return {};
    if (m_filesReplaced > 1)
        return QCoreApplication::translate("ImportFile", kReplacedInFiles)
            .arg(QDir::toNativeSeparators(m_firstReplacedIn))
            .arg(m_filesReplaced - 1)
            .arg(m_replaced)
            .arg(m_page.name());
    return QCoreApplication::translate("ImportFile", "%1: %2 character(s) that the code page %3 cannot hold were imported as \"?\".")
        .arg(QDir::toNativeSeparators(m_firstReplacedIn))
        .arg(m_replaced)
        .arg(m_page.name());
}
