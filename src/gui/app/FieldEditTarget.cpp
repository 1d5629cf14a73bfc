#include "app/FieldEditTarget.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// The calls of the two multi-line edits, which share no base class for them.
template <typename TextEdit>
bool canRun(const TextEdit *e, IEditTarget::Edit edit)
{
    switch (edit) {
    case IEditTarget::Edit::Undo:
        return !e->isReadOnly() && e->document()->isUndoAvailable();
    case IEditTarget::Edit::Cut:
        return !e->isReadOnly() && e->textCursor().hasSelection();
    case IEditTarget::Edit::Copy:
        return e->textCursor().hasSelection();
    case IEditTarget::Edit::Paste:
        return !e->isReadOnly() && e->canPaste();
    }
    return false;
}

template <typename TextEdit>
void run(TextEdit *e, IEditTarget::Edit edit)
{
    switch (edit) {
    case IEditTarget::Edit::Undo:
        e->undo();
        break;
    case IEditTarget::Edit::Cut:
        e->cut();
        break;
    case IEditTarget::Edit::Copy:
        e->copy();
        break;
    case IEditTarget::Edit::Paste:
        e->paste();
        break;
    }
}

bool canRun(const QLineEdit *e, IEditTarget::Edit edit)
{
    // A password field gives nothing away, as its own keys do not.
    const bool shown = e->echoMode() == QLineEdit::Normal;
    switch (edit) {
    case IEditTarget::Edit::Undo:
        return !e->isReadOnly() && e->isUndoAvailable();
    case IEditTarget::Edit::Cut:
        return !e->isReadOnly() && shown && e->hasSelectedText();
    case IEditTarget::Edit::Copy:
        return shown && e->hasSelectedText();
    case IEditTarget::Edit::Paste:
        return !e->isReadOnly() && !QApplication::clipboard()->text().isEmpty();
    }
    return false;
}

}  // namespace

bool CFieldEditTarget::isField(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget)
           || qobject_cast<const QTextEdit *>(widget);
}

bool CFieldEditTarget::canRunEdit(Edit edit) const
{
    if (const auto *line = qobject_cast<const QLineEdit *>(m_field))
        return canRun(line, edit);
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(m_field))
        return canRun(plain, edit);
    if (const auto *rich = qobject_cast<const QTextEdit *>(m_field))
        return canRun(rich, edit);
    return false;
}

void CFieldEditTarget::runEdit(Edit edit)
{
    if (!canRunEdit(edit))
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_field))
        run(line, edit);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_field))
        run(plain, edit);
    else if (auto *rich = qobject_cast<QTextEdit *>(m_field))
        run(rich, edit);
}
