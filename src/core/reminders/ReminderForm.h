#pragma once

#include <QCoreApplication>

#include "reminders/ReminderRules.h"

#include <QDate>
#include <QString>
#include <QTime>

// What the reminder setting dialog shows, control by control, and the rules
// that fill it and read it back. The dialog only copies these to widgets.
struct CReminderForm
{
    enum ModeIndex { kRemindFrom = 0, kRemindTill = 1 };
    enum Field { kNoField = -1, kIn = 0, kEach = 1, kTolerance = 2, kMoment = 3 };
    static constexpr int kMaxCountChars = 3;

    QDate date;       // the date picker, local
    QTime time;       // the time picker, local
    int modeIndex = kRemindTill;
    QString counts[3];        // "In", "Each", "Tolerance"
    int units[3] = {-1, -1, -1};  // unit index 0..5, -1 none selected
    int slider = 50;
    int nextIndex = CReminder::kNoNext;
    bool hasReminder = false;

    bool operator==(const CReminderForm &) const = default;

    // Date and time now; "In" 1 month, "Each" 1 week, "Tolerance" 2 day,
    // slider 50, "Remind till", no repeat-next unit; has-reminder set.
    static CReminderForm defaults(qint64 now);
    // What "Clear" shows: time 0, no counts, no units, slider 50, "Remind till".
    static CReminderForm cleared();
    // The controls on opening for a note: its reminder shown again, or the
    // defaults when it has none. Either way has-reminder is set.
    static CReminderForm opening(const CReminder &reminder, qint64 now);

    // A count field's text read as the C library's text-to-integer
    // conversion reads it: leading blanks, a sign, then digits; else 0.
    static qint64 countFromText(const QString &text);

    struct Result
    {
        bool ok = false;
        QString message;          // why not, for a message box
        Field field = kNoField;   // the control to give the focus to
        bool unit = false;        // its unit list rather than its count
        CReminder reminder;       // the values to store, when ok
    };
    // Reads the controls as OK does: checks every count, unit and the stored
    // width, then computes the reminder at `now`.
    Result compute(qint64 now) const;

    static const char *const kFieldNames[3];
    static constexpr const char *kTooManyChars = QT_TRANSLATE_NOOP("CReminderForm", "Enter no more than 3 characters.");
    static constexpr const char *kCountTooSmall = QT_TRANSLATE_NOOP("CReminderForm", "\"%1\" needs a whole number of at least 1.");
    static constexpr const char *kNoUnit = QT_TRANSLATE_NOOP("CReminderForm", "\"%1\" needs a unit.");
    static constexpr const char *kSpanTooLong = QT_TRANSLATE_NOOP("CReminderForm", "\"%1\" is too long to be stored: a span can be at most 68 years.");
    static constexpr const char *kOutOfRange =
        QT_TRANSLATE_NOOP("CReminderForm", "This reminder cannot be stored: its dates must lie between 1902 and 2037.");
};
