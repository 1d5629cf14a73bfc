#include "doc/PasswordKey.h"
#include <QCoreApplication>

namespace {

bool hasUnkeyableCharacter(const QByteArray &password)
{
    for (char c : password) {
        if ((quint8(c) & 0x7F) == 0)
            return true;
    }
    return false;
}

bool isOneCharacterRepeated(const QByteArray &password)
{
    return !password.isEmpty() && password.count(password.front()) == password.size();
}

}  // namespace

std::vector<quint32> CPasswordKey::derive(const QByteArray &password)
{
    if (hasUnkeyableCharacter(password))
        return {};
    quint32 sum = 0;
    for (char c : password)
        sum += quint32(quint8(c) & 0x7F);
    std::vector<quint32> key;
    key.reserve(size_t(password.size()));
    for (char c : password)
        key.push_back(sum % quint32(quint8(c) & 0x7F));
    return key;
}

QString CPasswordKey::refusal(const QByteArray &password, bool duringOpen)
{
    // A character with its low seven bits all zero would divide by zero when
    // the key is derived; refuse it like a password that cannot code.
    if (hasUnkeyableCharacter(password)) {
        return QCoreApplication::translate("CPasswordKey", "This password contains a character that cannot be used for coding "
                              "(such as the euro sign or a character of code 128).\nUse another password");
    }
    if (!isOneCharacterRepeated(password) || password == kFixedRepeatedPassword)
        return {};
    QString text = QCoreApplication::translate("CPasswordKey", "This password does not code for your document\n");
    if (duringOpen) {
        text += QCoreApplication::translate("CPasswordKey", "\nIf this a password you have used before, \nyou need to change it, since it is not "
                               "workable. \nHowever, this time you are allowed to enter \nthe document without a "
                               "password by clicking Cancel.");
    } else {
        text += QCoreApplication::translate("CPasswordKey", "\nUse another password");
    }
    return text;
}

CTypedPassword::CTypedPassword(const QString &text, std::optional<QByteArray> codePageBytes)
    : m_utf8(text.toUtf8()), m_codePage(std::move(codePageBytes))
{
}

QString CTypedPassword::refusal(Protection form, bool duringOpen) const
{
    // The sealed form takes any bytes; an empty password means none.
    if (form == Protection::Encrypted || m_utf8.isEmpty())
        return {};
    if (!m_codePage)
        return QCoreApplication::translate("CPasswordKey", CPasswordKey::kNotInCodePage);
    return CPasswordKey::refusal(*m_codePage, duringOpen);
}

QByteArray CTypedPassword::bytesFor(Protection form) const
{
    if (form == Protection::Encrypted)
        return m_utf8;
    return m_codePage.value_or(QByteArray());
}

std::optional<QByteArray> CTypedPassword::olderSealBytes() const
{
    if (!m_codePage || *m_codePage == m_utf8)
        return std::nullopt;
    return m_codePage;
}

void CTypedPassword::wipe()
{
    // Only this object's own copy: a shared buffer is let go, not cleared.
    if (!m_utf8.isDetached())
        m_utf8 = QByteArray();
    m_utf8.fill('\0');
    m_utf8.clear();
    if (m_codePage) {
        if (!m_codePage->isDetached())
            m_codePage = QByteArray();
        m_codePage->fill('\0');
    }
    m_codePage.reset();
}
