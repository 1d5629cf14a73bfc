#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QString>

#include <memory>

// A key combination that reaches this program whichever program has the focus.
class IGlobalHotKey : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether this session offers global hot keys at all (an X11 server, a
    // desktop portal under Wayland, Windows).
    virtual bool isAvailable() const = 0;
    // Asks for the key: a letter or digit with Ctrl, Shift, Alt or Meta.
    // False when it cannot be had; errorString() says why. Some services
    // answer later: they report a refusal through grabFailed().
    virtual bool grab(QKeyCombination key) = 0;
    virtual void release() = 0;
    virtual bool isGrabbed() const = 0;
    QString errorString() const { return m_error; }

Q_SIGNALS:
    void activated();
    void grabFailed(const QString &reason);

protected:
    void setErrorString(const QString &error) { m_error = error; }

private:
    QString m_error;
};

namespace Platform {
// The hot-key service of this session; one that says it is unavailable where
// there is none (for example the offscreen platform).
std::unique_ptr<IGlobalHotKey> createGlobalHotKey(QObject *parent = nullptr);
}  // namespace Platform
