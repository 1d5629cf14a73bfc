#pragma once

#include <QObject>
#include <QTimer>

class CCodePage;
class CTorviQuillbookDoc;
class ITone;
class QWidget;

// The reminder check of a window: every 30 s it asks the document which
// reminder is due and announces it with a tone, the window brought to the
// front and the popup. The owner connects showNote to selecting the item.
class CReminderChecker : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 30000;

    CReminderChecker(CTorviQuillbookDoc &doc, ITone &tone, const CCodePage &codePage, QWidget *window,
                     QObject *parent = nullptr);

    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    bool isActive() const { return m_timer.isActive(); }

    // One tick. Skipped while a popup or any modal dialog of the program is
    // open, so that popups never nest and nothing changes under a question.
    void check();

signals:
    void reminderDue(int index);  // about to show the popup for this item
    void showNote(int index);     // the user chose "Show the note"

private:
    CTorviQuillbookDoc &m_doc;
    ITone &m_tone;
    const CCodePage &m_codePage;
    QWidget *m_window;
    QTimer m_timer;
    bool m_announcing = false;
};
