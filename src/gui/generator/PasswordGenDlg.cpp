#include "generator/PasswordGenDlg.h"

#include "doc/TorviQuillbookDoc.h"
#include "reminders/ReminderEditing.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CPasswordGenDlg::CPasswordGenDlg(CSettings &settings, QWidget *parent, CPasswordGenerator::Source source)
    : QDialog(parent), m_settings(settings), m_generator(std::move(source))
{
    setWindowTitle(tr(kCaption));

    m_length = new QListWidget(this);
    for (int length = CPasswordGenerator::kMinLength; length <= CPasswordGenerator::kMaxLength; ++length)
        m_length->addItem(QString::number(length));
    m_numbers = new QCheckBox(tr("&Numbers"), this);
    m_letters = new QCheckBox(tr("&Letters"), this);
    m_special = new QCheckBox(tr("&Special symbols"), this);
    m_reminder = new QCheckBox(tr("Set &reminder"), this);
    m_password = new QLineEdit(this);
    m_password->setMaxLength(1000);
    m_password->setAccessibleName(tr("Password"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_next = buttons->addButton(tr("Ne&xt"), QDialogButtonBox::ActionRole);
    m_next->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasswordGenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasswordGenDlg::reject);
    connect(m_next, &QPushButton::clicked, this, &CPasswordGenDlg::generate);

    auto *grid = new QGridLayout;
    auto *lengthLabel = new QLabel(tr("Symbols &quantity"), this);
    lengthLabel->setBuddy(m_length);
    m_length->setAccessibleName(tr("Symbols quantity"));  // item views do not take their label's
    grid->addWidget(lengthLabel, 0, 0);
    grid->addWidget(m_length, 1, 0, 4, 1);
    grid->addWidget(m_numbers, 1, 1);
    grid->addWidget(m_letters, 2, 1);
    grid->addWidget(m_special, 3, 1);
    grid->addWidget(m_reminder, 4, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_password);
    layout->addWidget(buttons);

    const CPasswordGenSettings stored = CPasswordGenSettings::load(settings);
    // A stored index outside the list selects the default length rather than
    // no entry, which would make passwords shorter than the shortest offered.
    const int row = CPasswordGenerator::validIndex(stored.quantity) ? stored.quantity
                                                                    : CPasswordGenerator::kDefaultLengthIndex;
    m_length->setCurrentRow(row);
    m_length->scrollToItem(m_length->currentItem());
    const CPasswordGenerator::Classes classes = CPasswordGenerator::classesOf(stored);
    m_numbers->setChecked(classes.digits);
    m_letters->setChecked(classes.letters);
    m_special->setChecked(classes.special);
    m_reminder->setChecked(stored.reminder != 0);
    generate();
}

void CPasswordGenDlg::generate()
{
    const QByteArray set = CPasswordGenerator::allowedSet(
        {m_numbers->isChecked(), m_letters->isChecked(), m_special->isChecked()});
    if (set.isEmpty())
        return;
    const int length = CPasswordGenerator::lengthForIndex(m_length->currentRow());
    m_password->setText(QString::fromLatin1(m_generator.generate(length, set)));
}

QString CPasswordGenDlg::password() const
{
    return m_password->text();
}

bool CPasswordGenDlg::setReminderTicked() const
{
    return m_reminder->isChecked();
}

void CPasswordGenDlg::accept()
{
    // Selected and scrolled into view, as the user will see it copied.
    m_password->setCursorPosition(0);
    m_password->selectAll();
    QGuiApplication::clipboard()->setText(m_password->text(), QClipboard::Clipboard);
    CPasswordGenSettings values;
    values.quantity = m_length->currentRow();
    values.numbers = m_numbers->isChecked() ? 1 : 0;
    values.letters = m_letters->isChecked() ? 1 : 0;
    values.special = m_special->isChecked() ? 1 : 0;
    values.reminder = m_reminder->isChecked() ? 1 : 0;
    values.store(m_settings);
    QDialog::accept();
}

bool PasswordGenCommand::run(CTorviQuillbookDoc &doc, IPrompter &prompter,
                             const std::function<void(const QString &)> &insertAtCaret, QWidget *parent,
                             CPasswordGenerator::Source source)
{
    CPasswordGenDlg dlg(doc.settings(), parent, std::move(source));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (insertAtCaret)
        insertAtCaret(dlg.password());
    if (dlg.setReminderTicked() && doc.m_nCurItem >= 0)
        ReminderEditing::edit(doc, doc.m_nCurItem, prompter, parent);
    return true;
}
