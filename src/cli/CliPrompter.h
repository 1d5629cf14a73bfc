#pragma once

#include "Prompter.h"
#include "doc/PasswordKey.h"

#include <QByteArray>

#include <optional>

// The core's messages for a command-line run: every message goes to standard
// error on one line, questions get the cautious answer (Cancel), and the
// password request is answered with the password read from standard input.
class CCliPrompter : public IPrompter
{
public:
    // The password to give when the document asks; none: answer Cancel.
    void setPassword(std::optional<CTypedPassword> password) { m_password = std::move(password); }
    int messageCount() const { return m_messages; }

    Answer message(const QString &text, Buttons buttons = Buttons::Ok) override;
    PasswordAnswer askPassword(const PasswordRequest &request) override;

    static constexpr const char *kNoPasswordNote =
        "The document asks for a password and none was given (--password-stdin).";

private:
    std::optional<CTypedPassword> m_password;
    int m_messages = 0;
};
