#pragma once

// Undo, Cut, Copy and Paste of one place the user types in: the tree with
// its label editor, the note pane, a text field of a dialog. The Edit
// commands ask the window which target is active and go there, so a new
// pane or field needs no change in the commands.
class IEditTarget
{
public:
    enum class Edit { Undo, Cut, Copy, Paste };

    virtual bool canRunEdit(Edit edit) const = 0;
    virtual void runEdit(Edit edit) = 0;

protected:
    ~IEditTarget() = default;
};
