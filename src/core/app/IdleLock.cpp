#include "app/IdleLock.h"

#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"

#include <QCoreApplication>

CIdleLock::CIdleLock(CTorviQuillbookDoc &doc, QObject *parent) : QObject(parent), m_doc(doc)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CIdleLock::lock);
    reload();
}

void CIdleLock::reload()
{
    m_minutes = m_doc.settings().number(CSettings::LockMinutes);
    restart();
}

void CIdleLock::setMinutes(int minutes)
{
    m_doc.settings().setNumber(CSettings::LockMinutes, minutes);
    reload();
}

void CIdleLock::setIntervalForTesting(int ms)
{
    m_testIntervalMs = ms;
    restart();
}

void CIdleLock::restart()
{
    if (m_locked || m_minutes <= 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(m_testIntervalMs > 0 ? m_testIntervalMs : m_minutes * 60 * 1000);
}

void CIdleLock::inputSeen()
{
    if (!m_locked && m_minutes > 0)
        restart();
}

void CIdleLock::lock()
{
    if (m_locked)
        return;
    // Without a password nothing could show the document again.
    if (!m_doc.hasPassword() || m_doc.busy() != CTorviQuillbookDoc::kIdle) {
        restart();
        return;
    }
    m_doc.saveBeforeLock();
    m_locked = true;
    m_timer.stop();
    emit lockedChanged(true);
}

bool CIdleLock::askToUnlock()
{
    if (!m_locked || m_asking)
        return !m_locked;
    m_asking = true;
    IPrompter::PasswordRequest request;
    request.protection = m_doc.protection();
    request.askOnly = true;
    for (;;) {
        IPrompter::PasswordAnswer answer = m_doc.prompter().askPassword(request);
        if (!answer.accepted)
            break;
        const bool right = m_doc.isPassword(answer.password);
        answer.password.fill('\0');
        if (right) {
            m_locked = false;
            break;
        }
        m_doc.prompter().message(QCoreApplication::translate("CIdleLock", kWrongPassword));
    }
    m_asking = false;
    if (!m_locked) {
        restart();
        emit lockedChanged(false);
    }
    return !m_locked;
}
