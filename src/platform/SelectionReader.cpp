#include "platform/SelectionReader.h"

#include "platform/KeySender.h"

#include <QClipboard>
#include <QGuiApplication>

#include <utility>

bool CPrimarySelectionReader::isAvailable() const
{
    return QGuiApplication::clipboard()->supportsSelection();
}

void CPrimarySelectionReader::fetch(Done done)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection() || clipboard->ownsSelection()) {
        done(std::nullopt);
        return;
    }
    const QString text = clipboard->text(QClipboard::Selection);
    done(text.isEmpty() ? std::nullopt : std::optional<QString>(text));
}

CSyntheticCopyReader::CSyntheticCopyReader(IKeySender &keys, int waitMs, QObject *parent)
    : QObject(parent), m_keys(keys)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(waitMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { finish(std::nullopt); });
}

bool CSyntheticCopyReader::isAvailable() const
{
    return m_keys.isAvailable();
}

void CSyntheticCopyReader::fetch(Done done)
{
    if (m_done) {
        // A capture is under way; this one gets nothing rather than its text.
        done(std::nullopt);
        return;
    }
    m_done = std::move(done);
    QClipboard *clipboard = QGuiApplication::clipboard();
    // Listening before the keys go out: only a change they caused counts.
    m_changed = connect(clipboard, &QClipboard::dataChanged, this, [this, clipboard] {
        const QString text = clipboard->text(QClipboard::Clipboard);
        finish(text.isEmpty() ? std::nullopt : std::optional<QString>(text));
    });
    if (!m_keys.send(QKeyCombination(Qt::ControlModifier, Qt::Key_C))) {
        finish(std::nullopt);
        return;
    }
    m_timer.start();
}

void CSyntheticCopyReader::finish(std::optional<QString> text)
{
    m_timer.stop();
    disconnect(m_changed);
    if (Done done = std::exchange(m_done, nullptr))
        done(std::move(text));
}

std::unique_ptr<ISelectionReader> Platform::createSelectionReader(IKeySender &keys)
{
    if (QGuiApplication::clipboard()->supportsSelection())
        return std::make_unique<CPrimarySelectionReader>();
    if (keys.isAvailable())
        return std::make_unique<CSyntheticCopyReader>(keys);
    return std::make_unique<CNoSelectionReader>();
}
