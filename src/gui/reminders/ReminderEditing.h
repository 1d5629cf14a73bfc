#pragma once

class CTorviQuillbookDoc;
class IPrompter;
class QWidget;

namespace ReminderEditing {

// The "Reminder" command and the list's "Edit": opens the setting dialog for
// note `index` and, when it is confirmed, stores what it gives through the
// document's rules (list, due check, modified). False when nothing was shown
// or the dialog was cancelled.
bool edit(CTorviQuillbookDoc &doc, int index, IPrompter &prompter, QWidget *parent);

}  // namespace ReminderEditing
