#pragma once

#include <QKeyCombination>

#include <memory>

// Synthetic key presses, as if typed on the keyboard, for the program that
// has the focus.
class IKeySender
{
public:
    virtual ~IKeySender() = default;
    virtual bool isAvailable() const = 0;
    // Presses the modifiers, clicks the key (a letter or digit), releases the
    // modifiers. False when the keys could not be sent.
    virtual bool send(QKeyCombination keys) = 0;
};

namespace Platform {
std::unique_ptr<IKeySender> createKeySender();
}  // namespace Platform
