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

QString CPasswordKey::refusal(const QByteArray &password, const QString &passwordText, bool duringOpen)
{
    // A character with its low seven bits all zero would divide by zero when
    // the key is derived; refuse it like a password that cannot code.
    if (hasUnkeyableCharacter(password)) {
        return QCoreApplication::translate("CPasswordKey", "This password contains a character that cannot be used for coding "
                              "(such as the euro sign or a character of code 128).\nUse another password");
    }
    if (!isOneCharacterRepeated(password) || password == kFixedRepeatedPassword)
        return {};
    QString text = QCoreApplication::translate("CPasswordKey", "This password does not code for your document\n") + passwordText;
    if (duringOpen) {
        text += QCoreApplication::translate("CPasswordKey", "\nIf this a password you have used before, \nyou need to change it, since it is not "
                               "workable. \nHowever, this time you are allowed to enter \nthe document without a "
                               "password by clicking Cancel.");
    } else {
        text += QCoreApplication::translate("CPasswordKey", "\nUse another password");
    }
    return text;
}
