#include "editor/QuickCapture.h"

#include "editor/NewNoteDlg.h"
#include "platform/HotKey.h"
#include "platform/KeySender.h"
#include "platform/SelectionReader.h"
#include "platform/WindowRaiser.h"

#include <QEvent>
#include <QKeySequence>
#include <QWidget>

struct CQuickCapture::Owned
{
    std::unique_ptr<IGlobalHotKey> hotKey = Platform::createGlobalHotKey();
    std::unique_ptr<IKeySender> keys = Platform::createKeySender();
    std::unique_ptr<ISelectionReader> reader = Platform::createSelectionReader(*keys);
    CWindowRaiser raiser;
};

CQuickCapture::CQuickCapture(QWidget *window, CNewNoteDlg &dialog, QObject *parent)
    : CQuickCapture(window, dialog, std::make_unique<Owned>(), parent)
{
}

CQuickCapture::CQuickCapture(QWidget *window, CNewNoteDlg &dialog, IGlobalHotKey &hotKey, ISelectionReader &reader,
                             IWindowRaiser &raiser, QObject *parent)
    : QObject(parent), m_window(window), m_dialog(dialog), m_hotKey(hotKey), m_reader(reader), m_raiser(raiser)
{
    connectServices();
}

CQuickCapture::CQuickCapture(QWidget *window, CNewNoteDlg &dialog, std::unique_ptr<Owned> owned, QObject *parent)
    : QObject(parent), m_owned(std::move(owned)), m_window(window), m_dialog(dialog), m_hotKey(*m_owned->hotKey),
      m_reader(*m_owned->reader), m_raiser(m_owned->raiser)
{
    connectServices();
}

CQuickCapture::~CQuickCapture()
{
    stop();
}

void CQuickCapture::connectServices()
{
    if (m_window)
        m_window->installEventFilter(this);
    connect(&m_hotKey, &IGlobalHotKey::activated, this, &CQuickCapture::capture);
    connect(&m_hotKey, &IGlobalHotKey::grabFailed, this, &CQuickCapture::report);
}

bool CQuickCapture::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::WindowActivate && !m_started)
            start();
        // A close hides the window; minimizing does not come this way (it is
        // a spontaneous hide, from the window system).
        else if (event->type() == QEvent::Hide && !event->spontaneous())
            stop();
    }
    return QObject::eventFilter(watched, event);
}

void CQuickCapture::start()
{
    if (m_started)
        return;
    m_started = true;
    if (!m_hotKey.grab(kHotKey))
        report(m_hotKey.errorString());
}

void CQuickCapture::stop()
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_hotKey.release();
}

bool CQuickCapture::isRegistered() const
{
    return m_hotKey.isGrabbed();
}

void CQuickCapture::report(const QString &reason)
{
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT statusMessage(tr("Quick capture is off: the hot key %1 could not be registered (%2).")
                             .arg(QKeySequence(kHotKey).toString(QKeySequence::NativeText), reason));
}

void CQuickCapture::capture()
{
    if (m_busy || m_paused)
        return;  // a repeat of the key while the last capture is still reading, or locked
    m_busy = true;
    QPointer<CQuickCapture> self(this);
    m_reader.fetch([self](std::optional<QString> text) {
        if (!self)
            return;
        self->m_busy = false;
        self->m_raiser.bringForward(self->m_window);
        self->m_dialog.showCentred();
        if (text)
            self->m_dialog.capture(*text);
        else
            self->m_dialog.showNothingCaptured();
        Q_EMIT self->captured(text.has_value());
    });
}
