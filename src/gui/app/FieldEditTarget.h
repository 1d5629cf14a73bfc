#pragma once

#include "EditTarget.h"

#include <QPointer>
#include <QWidget>

// The Edit commands on a text field outside the two panes (the search
// field, a field of a dialog): what the field's own keys would do.
class CFieldEditTarget : public IEditTarget
{
public:
    // Whether the Edit commands can work on `widget` as on a text field.
    static bool isField(const QWidget *widget);

    void setField(QWidget *field) { m_field = field; }

    bool canRunEdit(Edit edit) const override;
    void runEdit(Edit edit) override;

private:
    QPointer<QWidget> m_field;
};
