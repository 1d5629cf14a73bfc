#include "CliPrompter.h"

#include "Console.h"

IPrompter::Answer CCliPrompter::message(const QString &text, Buttons buttons)
{
    ++m_messages;
    CConsole::error(text);
    // Nobody can answer a question here: Cancel leaves everything as it is.
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

IPrompter::PasswordAnswer CCliPrompter::askPassword(const PasswordRequest &request)
{
    if (!m_password) {
        CConsole::error(QString::fromLatin1(kNoPasswordNote));
        return {};
    }
    // The form of the file asked about decides which bytes are its key.
    const QString refusal = m_password->refusal(request.protection, request.duringOpen);
    if (!refusal.isEmpty()) {
        message(refusal);
        return {};
    }
    PasswordAnswer answer;
    answer.password = m_password->bytesFor(request.protection);
    // Asked again while the document already holds the password given, it
    // did not read the file: the same answer again would never end.
    if (request.current == answer.password)
        return {};
    answer.accepted = true;
    if (request.protection == Protection::Encrypted)
        answer.olderSealBytes = m_password->olderSealBytes();
    return answer;
}
