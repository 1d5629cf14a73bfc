#pragma once

#include <QCoreApplication>

#include "doc/Protection.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The key derived from a document password, and the rules on which passwords
// can encipher a document at all.
class CPasswordKey
{
public:
    // The one repeated-character password that is let through.
    static constexpr const char *kFixedRepeatedPassword = "22222";
    // Shown when a typed password has characters the document's code page cannot hold.
    static constexpr const char *kNotInCodePage =
        QT_TRANSLATE_NOOP("CPasswordKey", "The password contains characters that cannot be stored in this document's code page.");

    // One value per password character: (sum of the low seven bits) mod (the
    // character's low seven bits). Empty for an empty password. A password the
    // rules below refuse gives an empty key rather than dividing by zero.
    static std::vector<quint32> derive(const QByteArray &password);

    // The message the password dialog shows before it refuses a password for
    // the compatible cipher, or an empty string when it is acceptable. The
    // message never holds the password: it may end up on a screen being
    // shared or in a terminal's scroll-back.
    static QString refusal(const QByteArray &password, bool duringOpen);
};

// A password as typed, in the bytes each form of protection takes: the
// sealed form its UTF-8 bytes, whatever the code page; the compatible cipher
// the document's code page, which older versions read.
class CTypedPassword
{
public:
    CTypedPassword() = default;
    // `codePageBytes`: the text in the document's code page, none when a
    // character of it has no byte there.
    CTypedPassword(const QString &text, std::optional<QByteArray> codePageBytes);
    ~CTypedPassword() { wipe(); }
    CTypedPassword(const CTypedPassword &) = default;
    CTypedPassword &operator=(const CTypedPassword &) = default;

    bool isEmpty() const { return m_utf8.isEmpty(); }
    // Why this password cannot protect a document in `form`; empty when it can.
    QString refusal(Protection form, bool duringOpen) const;
    // The key bytes for `form`; for the compatible cipher only when refusal()
    // is empty. No protection takes none.
    QByteArray bytesFor(Protection form) const;
    const QByteArray &utf8() const { return m_utf8; }
    // The bytes earlier builds sealed with (the code page's), when they
    // differ from the UTF-8 ones.
    std::optional<QByteArray> olderSealBytes() const;
    void wipe();

private:
    QByteArray m_utf8;
    std::optional<QByteArray> m_codePage;
};
