#include "reminders/ReminderDlg.h"

#include "Prompter.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimeEdit>
#include <QTimer>

namespace {

const QStringList kCountList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20", "25", "30", "40", "50", "60"};
// Shown translated; the dialog reads units by their place in the list.
const char *const kUnitList[] = {QT_TRANSLATE_NOOP("CReminderDlg", "minute"), QT_TRANSLATE_NOOP("CReminderDlg", "hour"),
                                 QT_TRANSLATE_NOOP("CReminderDlg", "day"),    QT_TRANSLATE_NOOP("CReminderDlg", "week"),
                                 QT_TRANSLATE_NOOP("CReminderDlg", "month"),  QT_TRANSLATE_NOOP("CReminderDlg", "year")};
const char *const kNextList[] = {"", QT_TRANSLATE_NOOP("CReminderDlg", "day"), QT_TRANSLATE_NOOP("CReminderDlg", "week"),
                                 QT_TRANSLATE_NOOP("CReminderDlg", "month"), QT_TRANSLATE_NOOP("CReminderDlg", "year")};
const char *const kObjectNames[3][2] = {{"inCount", "inUnit"}, {"eachCount", "eachUnit"},
                                        {"toleranceCount", "toleranceUnit"}};

}  // namespace

CReminderDlg::CReminderDlg(const CReminder &current, Clock now, IPrompter &prompter, QWidget *parent)
    : QDialog(parent), m_now(std::move(now)), m_prompter(prompter)
{
    setWindowTitle(tr("Reminder setting"));
    setModal(true);

    m_from = new QRadioButton(tr("Remind &from"), this);
    m_from->setObjectName(QStringLiteral("remindFrom"));
    m_till = new QRadioButton(tr("   Remind &till"), this);
    m_till->setObjectName(QStringLiteral("remindTill"));
    auto *modes = new QButtonGroup(this);
    modes->addButton(m_from, CReminderForm::kRemindFrom);
    modes->addButton(m_till, CReminderForm::kRemindTill);

    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    m_date->setCalendarPopup(true);
    m_date->setAccessibleName(tr("Date"));
    m_time = new QTimeEdit(this);
    m_time->setObjectName(QStringLiteral("time"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));  // a moment has no seconds
    m_time->setAccessibleName(tr("Time"));

    for (int i = 0; i < 3; ++i) {
        m_counts[i] = new QComboBox(this);
        m_counts[i]->setObjectName(QLatin1String(kObjectNames[i][0]));
        m_counts[i]->setEditable(true);
        m_counts[i]->setInsertPolicy(QComboBox::NoInsert);
        m_counts[i]->addItems(kCountList);
        m_counts[i]->installEventFilter(this);
        m_units[i] = new QComboBox(this);
        m_units[i]->setObjectName(QLatin1String(kObjectNames[i][1]));
        for (const char *unit : kUnitList)
            m_units[i]->addItem(tr(unit));
    }
    m_next = new QComboBox(this);
    m_next->setObjectName(QStringLiteral("next"));
    for (const char *unit : kNextList)
        m_next->addItem(*unit ? tr(unit) : QString());

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("slider"));
    m_slider->setRange(0, 100);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setAccessibleName(tr("Tolerance before or after"));
    m_slider->setAccessibleDescription(tr("How much of the tolerance lies before the moment"));

    m_clear = new QPushButton(tr("C&lear"), this);
    m_clear->setObjectName(QStringLiteral("clear"));
    m_clear->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_clear, QDialogButtonBox::ResetRole);

    auto *grid = new QGridLayout;
    grid->addWidget(m_from, 0, 0);
    grid->addWidget(m_till, 0, 1);
    grid->addWidget(m_date, 1, 0);
    grid->addWidget(m_time, 1, 1);
    const char *const labels[3] = {QT_TR_NOOP("&In"), QT_TR_NOOP("&Each"), QT_TR_NOOP("T&olerance")};
    const char *const unitNames[3] = {QT_TR_NOOP("In, unit"), QT_TR_NOOP("Each, unit"), QT_TR_NOOP("Tolerance, unit")};
    const int rows[3] = {2, 3, 5};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(tr(labels[i]), this);
        label->setBuddy(m_counts[i]);
        m_units[i]->setAccessibleName(tr(unitNames[i]));
        // On Linux a combo box is read out by its value, named by the label
        // whose buddy it is: this one is for screen readers only.
        auto *unitLabel = new QLabel(tr(unitNames[i]), this);
        unitLabel->setBuddy(m_units[i]);
        unitLabel->hide();
        grid->addWidget(label, rows[i], 0);
        auto *pair = new QHBoxLayout;
        pair->addWidget(m_counts[i]);
        pair->addWidget(m_units[i]);
        grid->addLayout(pair, rows[i], 1);
    }
    auto *nextLabel = new QLabel(tr("Repeat &next"), this);
    nextLabel->setBuddy(m_next);
    grid->addWidget(nextLabel, 4, 0);
    grid->addWidget(m_next, 4, 1);
    auto *split = new QHBoxLayout;
    split->addWidget(new QLabel(tr("Before"), this));
    split->addWidget(m_slider, 1);
    split->addWidget(new QLabel(tr("After"), this));
    grid->addLayout(split, 6, 0, 1, 2);
    // Tab follows the rows as they are read: "Repeat next" stands above "Tolerance".
    setTabOrder(m_units[1], m_next);
    setTabOrder(m_next, m_counts[2]);
    setTabOrder(m_counts[2], m_units[2]);
    setTabOrder(m_units[2], m_slider);

    auto *layout = new QGridLayout(this);
    layout->addLayout(grid, 0, 0);
    layout->addWidget(buttons, 1, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_clear, &QPushButton::clicked, this, &CReminderDlg::onClear);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReminderDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    show(CReminderForm::opening(current, m_now()));
}

void CReminderDlg::show(const CReminderForm &form)
{
    m_form = form;
    (form.modeIndex == CReminderForm::kRemindFrom ? m_from : m_till)->setChecked(true);
    m_date->setDate(form.date);
    m_time->setTime(form.time);
    for (int i = 0; i < 3; ++i) {
        m_counts[i]->setCurrentIndex(-1);
        m_counts[i]->setEditText(form.counts[i]);
        m_units[i]->setCurrentIndex(form.units[i]);
    }
    m_next->setCurrentIndex(form.nextIndex);
    m_slider->setValue(form.slider);
    m_clear->setText(form.hasReminder ? tr("C&lear") : tr("Initiali&ze"));
}

CReminderForm CReminderDlg::form() const
{
    CReminderForm form;
    form.date = m_date->date();
    form.time = QTime(m_time->time().hour(), m_time->time().minute());
    form.modeIndex = m_from->isChecked() ? CReminderForm::kRemindFrom : CReminderForm::kRemindTill;
    for (int i = 0; i < 3; ++i) {
        form.counts[i] = m_counts[i]->currentText();
        form.units[i] = m_units[i]->currentIndex();
    }
    form.slider = m_slider->value();
    form.nextIndex = qMax(0, m_next->currentIndex());
    form.hasReminder = m_form.hasReminder;
    return form;
}

void CReminderDlg::onClear()
{
    show(m_form.hasReminder ? CReminderForm::cleared() : CReminderForm::defaults(m_now()));
}

bool CReminderDlg::eventFilter(QObject *watched, QEvent *event)
{
    // A count that loses the focus is shown as the number it reads as; one
    // that is not positive takes the focus back. The cleared controls are
    // left empty: they are not read.
    if (event->type() == QEvent::FocusOut && m_form.hasReminder) {
        for (QComboBox *box : m_counts) {
            if (watched != box)
                continue;
            const qint64 count = CReminderForm::countFromText(box->currentText());
            box->setEditText(QString::number(count));
            if (count <= 0)
                QTimer::singleShot(0, box, [box] { box->setFocus(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CReminderDlg::accept()
{
    const CReminderForm entered = form();
    if (entered.hasReminder) {
        const CReminderForm::Result result = entered.compute(m_now());
        if (!result.ok) {
            m_prompter.message(result.message);
            if (result.field == CReminderForm::kMoment)
                m_date->setFocus();
            else
                (result.unit ? m_units[result.field] : m_counts[result.field])->setFocus();
            return;
        }
        m_result = result.reminder;
    }
    m_form = entered;
    QDialog::accept();
}
