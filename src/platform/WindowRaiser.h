#pragma once

#include <memory>

class QWidget;

// Brings a top-level window in front of the other programs' windows,
// restoring it when it is minimized.
class IWindowRaiser
{
public:
    virtual ~IWindowRaiser() = default;
    virtual bool isAvailable() const = 0;
    virtual void bringForward(QWidget *window) = 0;
};

class CWindowRaiser : public IWindowRaiser
{
public:
    bool isAvailable() const override;
    void bringForward(QWidget *window) override;
};

namespace PlatformWindow {
// The operating system's own step to make the window the foreground one,
// after Qt's raise and activate; nothing where those suffice.
void makeForeground(QWidget *window);
}  // namespace PlatformWindow
