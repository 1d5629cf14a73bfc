#include "app/CommandTable.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

CCommandTable::CCommandTable(QWidget *owner) : QObject(owner), m_owner(owner)
{
}

CCommandTable::~CCommandTable() = default;

QString CCommandTable::statusText(const QString &prompt)
{
    return prompt.section(QLatin1Char('\n'), 0, 0);
}

QString CCommandTable::toolTip(const QString &prompt)
{
    const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : prompt.mid(newline + 1);
}

QAction *CCommandTable::add(Command command)
{
    Q_ASSERT(!m_byId.contains(command.id));
    auto *a = new QAction(command.text, m_owner);
    a->setObjectName(QString::fromLatin1(command.name));
    a->setStatusTip(statusText(command.prompt));
    const QString tip = toolTip(command.prompt);
    // A tooltip comes from the prompt; without one the menu text stands in.
    a->setToolTip(tip.isEmpty() ? QString(command.text).remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0).trimmed()
                                : tip);
    if (!command.keys.isEmpty()) {
        a->setShortcuts(command.keys);
        a->setShortcutContext(Qt::WindowShortcut);
        // The menu text already shows the key hint the way the program words it.
        a->setShortcutVisibleInContextMenu(false);
    }
    if (command.checked)
        a->setCheckable(true);
    m_owner->addAction(a);  // its keys work wherever the focus is in the window
    const int id = command.id;
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    m_byId.insert(id, int(m_commands.size()));
    m_actions.insert(id, a);
    m_commands.push_back(std::move(command));
    return a;
}

QAction *CCommandTable::action(int id) const
{
    return m_actions.value(id);
}

QAction *CCommandTable::action(const QString &name) const
{
    for (const Command &c : m_commands) {
        if (QLatin1String(c.name) == name)
            return m_actions.value(c.id);
    }
    return nullptr;
}

const CCommandTable::Command *CCommandTable::command(int id) const
{
    const auto it = m_byId.constFind(id);
    return it == m_byId.constEnd() ? nullptr : &m_commands[size_t(*it)];
}

QList<int> CCommandTable::ids() const
{
    QList<int> out;
    for (const Command &c : m_commands)
        out.append(c.id);
    return out;
}

bool CCommandTable::isEnabled(int id) const
{
    const Command *c = command(id);
    return c && (!m_gate || m_gate(id)) && (!c->enabled || c->enabled());
}

bool CCommandTable::execute(int id)
{
    const Command *c = command(id);
    // The state may have changed since the last update pass: ask again.
    if (!c || !isEnabled(id) || !c->run) {
        update();
        return false;
    }
    // A handler may add commands (none does) or run a modal loop: keep a copy.
    const std::function<void()> run = c->run;
    run();
    update();
    emit executed(id);
    return true;
}

void CCommandTable::update()
{
    if (m_updating)
        return;
    m_updating = true;
    for (const Command &c : m_commands) {
        QAction *a = m_actions.value(c.id);
        a->setEnabled(isEnabled(c.id));
        if (c.checked)
            a->setChecked(c.checked());
    }
    m_updating = false;
}

void CCommandTable::addTo(QMenu *menu, int id) const
{
    if (QAction *a = action(id))
        menu->addAction(a);
}
