#pragma once

#include "reminders/ReminderForm.h"

#include <QDialog>

#include <functional>

class IPrompter;
class QComboBox;
class QDateEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimeEdit;

// Shows, sets, changes or removes the reminder of one note. The rules that
// fill the controls and read them back are CReminderForm's; this dialog only
// copies them to and from the widgets.
class CReminderDlg : public QDialog
{
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;  // seconds since 1970, the document's "now"

    CReminderDlg(const CReminder &current, Clock now, IPrompter &prompter, QWidget *parent = nullptr);

    // After OK: whether the note keeps a reminder, and its values.
    bool hasReminder() const { return m_form.hasReminder; }
    const CReminder &reminder() const { return m_result; }
    // What the controls show now.
    CReminderForm form() const;

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(const CReminderForm &form);
    void onClear();
    QComboBox *countBox(int field) const { return m_counts[field]; }

    Clock m_now;
    IPrompter &m_prompter;
    CReminderForm m_form;
    CReminder m_result;

    QRadioButton *m_from;
    QRadioButton *m_till;
    QDateEdit *m_date;
    QTimeEdit *m_time;
    QComboBox *m_counts[3];
    QComboBox *m_units[3];
    QComboBox *m_next;
    QSlider *m_slider;
    QPushButton *m_clear;
};
