#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class IKeySender;
class QClipboard;

// The text selected in the program that has the focus.
class ISelectionReader
{
public:
    // The text, or nothing when nothing new was selected or copied.
    using Done = std::function<void(std::optional<QString>)>;

    virtual ~ISelectionReader() = default;
    virtual bool isAvailable() const = 0;
    // Gets the text without blocking; `done` runs once, now or later.
    virtual void fetch(Done done) = 0;
};

// The primary selection (X11, and Wayland desktops that offer one): selecting
// text already puts it there, so no keys are sent to the other program. A
// selection this program owns is not another program's and counts as none.
class CPrimarySelectionReader : public ISelectionReader
{
public:
    bool isAvailable() const override;
    void fetch(Done done) override;
};

// Where there is no primary selection: sends Ctrl+C to the focused program and
// takes the clipboard only if it changes after that, within `waitMs`. Never
// the clipboard as it was before, which may hold a password copied earlier.
class CSyntheticCopyReader : public QObject, public ISelectionReader
{
public:
    static constexpr int kWaitMs = 1500;

    explicit CSyntheticCopyReader(IKeySender &keys, int waitMs = kWaitMs, QObject *parent = nullptr);
    bool isAvailable() const override;
    void fetch(Done done) override;

private:
    void finish(std::optional<QString> text);

    IKeySender &m_keys;
    QTimer m_timer;
    QMetaObject::Connection m_changed;
    Done m_done;
};

// No way to read another program's selection here.
class CNoSelectionReader : public ISelectionReader
{
public:
    bool isAvailable() const override { return false; }
    void fetch(Done done) override { done(std::nullopt); }
};

namespace Platform {
// The primary selection where the session has one, else synthetic Ctrl+C
// through `keys` where keys can be sent, else none. `keys` must outlive it.
std::unique_ptr<ISelectionReader> createSelectionReader(IKeySender &keys);
}  // namespace Platform
