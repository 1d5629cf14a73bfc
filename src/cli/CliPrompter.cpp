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
    // Asked again while the document already holds the password given, it
    // did not read the file: the same answer again would never end.
    if (!m_password || request.current == *m_password) {
        if (!m_password)
            CConsole::error(QString::fromLatin1(kNoPasswordNote));
        return {};
    }
    PasswordAnswer answer;
    answer.accepted = true;
    answer.password = *m_password;
    return answer;
}
