#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// One of the single-byte Windows ANSI code pages in which titles and texts
// are stored, and the conversion between its bytes and QString.
//
// The byte table is built once per code page from the platform's own tables
// and shared by every CCodePage of that page. Bytes the code page leaves
// undefined are not mapped: they read as U+FFFD, and no character converts
// to them, so text never turns into a different character on the way back.
class CCodePage
{
public:
    static constexpr char16_t kReplacement = 0xFFFD;  // what an undefined byte reads as

    // Accepts "windows-1252", "cp1252", "CP1252" and "1252" alike; only the
    // single-byte ANSI pages (874 and 1250 to 1258) are valid.
    explicit CCodePage(const QString &name = QStringLiteral("windows-1252"));

    bool isValid() const { return m_table != nullptr; }
    // The canonical name, "windows-1252"; empty when not valid.
    QString name() const;
    // The page number, 1252; 0 when not valid.
    int number() const;

    // Whether the byte is a defined character of the page (byte 0 is U+0000).
    bool maps(quint8 byte) const;

    QString toUnicode(const QByteArray &bytes) const;
    // The character of one byte (U+FFFD for an undefined one).
    QChar charOf(quint8 byte) const;
    // std::nullopt when a character of the text has no byte in the page.
    std::optional<QByteArray> fromUnicode(const QString &text) const;
    // Index of the first QChar of the text that has no byte in the page, -1
    // when every one has. An invalid page holds no character at all; it also
    // converts nothing (empty string, std::nullopt), so callers check isValid().
    qsizetype firstUnmappable(const QString &text) const;
    // The text with `placeholder` for each QChar the page cannot hold: one
    // byte per QChar, so positions stay those of the text.
    QByteArray fromUnicodeOr(const QString &text, char placeholder) const;

    // The character at `at` as a message names it, itself and its code
    // point: "€" (U+20AC). A surrogate pair is the one character it makes.
    static QString describeCharacter(const QString &text, qsizetype at);
    // Why the character at `at` of `text` is refused.
    QString unmappableMessage(const QString &text, qsizetype at) const;

    // The canonical names of the pages this class can hold, in number order.
    static QStringList supportedNames();

    struct Table;

private:
    std::shared_ptr<const Table> m_table;
};
