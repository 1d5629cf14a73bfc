#include "app/IdleLock.h"

#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <utility>

CIdleLock::CIdleLock(CTorviQuillbookDoc &doc, CInfoTree &tree, QObject *parent) : QObject(parent), m_doc(doc), m_tree(tree)
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

bool CIdleLock::holdsUnsavedWork() const
{
    return m_locked && m_doc.isModified();
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
    m_locked = true;
    m_timer.stop();
    emit lockedChanged(true);
    // The dialogs the front end closed return from their loops first.
    QTimer::singleShot(0, this, &CIdleLock::dropWhenFree);
}

void CIdleLock::dropWhenFree()
{
    if (!m_locked || m_doc.isLocked())
        return;
    if (m_doc.busy() != CTorviQuillbookDoc::kIdle || (m_mayDrop && !m_mayDrop())) {
        QTimer::singleShot(kRetryMs, this, &CIdleLock::dropWhenFree);
        return;
    }
    m_outline = m_tree.outline();
    if (!m_doc.lockContents()) {
        QTimer::singleShot(kRetryMs, this, &CIdleLock::dropWhenFree);
        return;
    }
    QTimer::singleShot(0, this, &CIdleLock::askToUnlock);
}

bool CIdleLock::askToUnlock()
{
    if (!m_locked || m_asking)
        return !m_locked;
    m_asking = true;
    IPrompter::PasswordRequest request;
    request.protection = m_doc.protection();
    request.askOnly = true;
    bool right = false;
    for (;;) {
        IPrompter::PasswordAnswer answer = m_doc.prompter().askPassword(request);
        if (!answer.accepted)
            break;
        right = m_doc.isPassword(answer.password);
        answer.password.fill('\0');
        if (right)
            break;
        m_doc.prompter().message(QCoreApplication::translate("CIdleLock", kWrongPassword));
    }
    m_asking = false;
    if (!right)
        return false;
    // Not dropped yet (a dialog held the notes): nothing to read back.
    if (m_doc.isLocked()) {
        if (!m_doc.unlockContents())
            return false;
        m_tree.restoreOutline(std::exchange(m_outline, {}));
    }
    m_locked = false;
    restart();
    emit lockedChanged(false);
    // Another program may have written the file meanwhile. Its reload keeps
    // the selected note; the open folders are opened again here.
    CInfoTree::Outline shape = m_tree.outline();
    shape.selected = -1;
    m_doc.checkDiskChange();
    m_tree.restoreOutline(shape);
    return true;
}
