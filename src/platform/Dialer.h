#pragma once

#include <QString>

// Hands a phone number to whatever dials on this system. The result is not
// reported: dialling is the system's business once the number is handed over.
class IDialer
{
public:
    virtual ~IDialer() = default;
    virtual void dial(const QString &number) = 0;
};

// Windows: the assisted-telephony request, its library loaded on the first
// call and kept (a failed load is not tried again). Elsewhere: a "tel:" URL
// handed to the desktop.
class CDialer : public IDialer
{
public:
    void dial(const QString &number) override;
};
