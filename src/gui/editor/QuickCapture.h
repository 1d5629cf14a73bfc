#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QPointer>

#include <memory>

class CNewNoteDlg;
class IGlobalHotKey;
class IKeySender;
class ISelectionReader;
class IWindowRaiser;
class QWidget;

// Quick capture: the system-wide Ctrl+J takes the text selected in another
// program into the capture dialog.
//
// Wiring in the main window:
//     m_capture = new CQuickCapture(this, *m_newNoteDlg, this);
//     connect(m_capture, &CQuickCapture::statusMessage, statusBar(),
//             [this](const QString &t) { statusBar()->showMessage(t); });
//     // in closeEvent, once the close is accepted:
//     m_capture->stop();
// The hot key is registered at the window's first activation (the
// controller watches for it) and released by stop(), by the window hiding
// (closing), or when the controller is destroyed.
class CQuickCapture : public QObject
{
    Q_OBJECT

public:
    static constexpr QKeyCombination kHotKey{Qt::ControlModifier, Qt::Key_J};

    // Uses this session's own platform services.
    CQuickCapture(QWidget *window, CNewNoteDlg &dialog, QObject *parent = nullptr);
    // With given services (tests); they must outlive the controller.
    CQuickCapture(QWidget *window, CNewNoteDlg &dialog, IGlobalHotKey &hotKey, ISelectionReader &reader,
                  IWindowRaiser &raiser, QObject *parent = nullptr);
    ~CQuickCapture() override;

    // Registers the hot key (done at the window's first activation). A key
    // that cannot be had is reported once through statusMessage().
    void start();
    void stop();
    // Paused, the hot key does nothing (the document is locked).
    void setPaused(bool paused) { m_paused = paused; }
    bool isRegistered() const;

    // What the hot key does: read the other program's selection, bring the
    // window forward, show the dialog filled with the text (or, when nothing
    // was selected, with its last values and a note saying so).
    void capture();

Q_SIGNALS:
    // One line for the status bar.
    void statusMessage(const QString &text);
    // The dialog is showing after a capture; `gotText`: new text was taken.
    void captured(bool gotText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Owned;
    CQuickCapture(QWidget *window, CNewNoteDlg &dialog, std::unique_ptr<Owned> owned, QObject *parent);
    void connectServices();
    void report(const QString &reason);

    std::unique_ptr<Owned> m_owned;
    QPointer<QWidget> m_window;
    CNewNoteDlg &m_dialog;
    IGlobalHotKey &m_hotKey;
    ISelectionReader &m_reader;
    IWindowRaiser &m_raiser;
    bool m_started = false;
    bool m_reported = false;
    bool m_busy = false;
    bool m_paused = false;
};
