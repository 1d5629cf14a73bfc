#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QString>

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

    // The message the password dialog shows before it refuses a password,
    // or an empty string when the password is acceptable. `passwordText` is
    // the password as the user sees it (decoded from the code page).
    static QString refusal(const QByteArray &password, const QString &passwordText, bool duringOpen);
};
