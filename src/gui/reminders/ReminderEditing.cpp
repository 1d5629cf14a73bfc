#include "reminders/ReminderEditing.h"

#include "doc/TorviQuillbookDoc.h"
#include "reminders/ReminderDlg.h"
#include "reminders/Reminders.h"

bool ReminderEditing::edit(CTorviQuillbookDoc &doc, int index, IPrompter &prompter, QWidget *parent)
{
    if (index < 0 || index >= doc.count())
        return false;
    CReminderDlg dlg(CReminder::of(doc.info(index)),
                     [&doc] { return doc.now().toSecsSinceEpoch(); }, prompter, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    return Reminders::confirmDialog(doc, index, dlg.hasReminder(), dlg.reminder());
}
