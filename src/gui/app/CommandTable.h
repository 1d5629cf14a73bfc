#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

// The program's commands in one place. Each has its numeric id, menu text,
// status text and tooltip, keys, toolbar image, handler and its enable and
// check rules. Menus, toolbar and context menus show the same QAction, so a
// command is greyed and refused alike wherever it comes from: a key goes
// through the QAction (a disabled action takes no shortcut) and the handler
// asks the enable rule once more before it runs.
class CCommandTable : public QObject
{
    Q_OBJECT

public:
    struct Command
    {
        int id = 0;
        const char *name = "";        // object name of the QAction (tests find actions by it)
        QString text;                 // menu text, "\t" before the key hint
        QString prompt;               // status text, "\n", tooltip (either part may be missing)
        QList<QKeySequence> keys;     // the first one is the one menus show
        int image = -1;               // toolbar image, -1: none
        std::function<void()> run;
        std::function<bool()> enabled;  // missing: always enabled
        std::function<bool()> checked;  // missing: no mark
        bool radio = false;             // the check mark is a radio dot
    };

    // Actions are children of `owner`, with shortcuts valid in its window.
    explicit CCommandTable(QWidget *owner);
    ~CCommandTable() override;

    QAction *add(Command command);
    QAction *action(int id) const;
    QAction *action(const QString &name) const;
    const Command *command(int id) const;
    QList<int> ids() const;

    static QString statusText(const QString &prompt);
    static QString toolTip(const QString &prompt);

    // A rule over all rules: a command it refuses is disabled whatever its
    // own rule says (a locked document allows almost nothing).
    void setGate(std::function<bool(int id)> gate) { m_gate = std::move(gate); }

    // Whether the rule allows the command now (unknown ids: false).
    bool isEnabled(int id) const;
    // Runs the command if its rule allows it; false when it was refused.
    bool execute(int id);

    // The update pass: every action's enabled and checked state from its rules.
    void update();

    // Appends a command's action to a menu.
    void addTo(QMenu *menu, int id) const;

signals:
    // After a command ran (its effects may change other commands' states).
    void executed(int id);

private:
    QWidget *m_owner;
    std::vector<Command> m_commands;
    QHash<int, int> m_byId;  // id -> index into m_commands
    QHash<int, QAction *> m_actions;
    bool m_updating = false;
    std::function<bool(int id)> m_gate;
};
