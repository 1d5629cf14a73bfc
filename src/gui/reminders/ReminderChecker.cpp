#include "reminders/ReminderChecker.h"

#include "doc/TorviQuillbookDoc.h"
#include "platform/Tone.h"
#include "reminders/ReminderPopupDlg.h"
#include "reminders/Reminders.h"
#include "text/CodePage.h"

#include <QApplication>
#include <QWidget>

CReminderChecker::CReminderChecker(CTorviQuillbookDoc &doc, ITone &tone, const CCodePage &codePage, QWidget *window,
                                   QObject *parent)
    : QObject(parent), m_doc(doc), m_tone(tone), m_codePage(codePage), m_window(window)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CReminderChecker::check);
}

void CReminderChecker::check()
{
    if (m_announcing || QApplication::activeModalWidget() || m_doc.busy() != CTorviQuillbookDoc::kIdle)
        return;
    const Reminders::CDue due = Reminders::dueCheck(m_doc);
    if (due.index < 0 || due.index >= m_doc.count())
        return;

    m_announcing = true;
    m_tone.play(600, 2000);
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
    }
    CReminderPopupDlg popup(m_codePage.toUnicode(m_doc.title(due.index)), Reminders::dateText(due.moment),
                            m_window);
    emit reminderDue(due.index);
    const bool show = popup.exec() == QDialog::Accepted;
    m_announcing = false;
    if (!show)
        return;
    emit showNote(due.index);
    if (m_window && m_window->isMinimized())
        m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
}
