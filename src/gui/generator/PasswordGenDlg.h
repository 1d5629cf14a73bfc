#pragma once

#include "generator/PasswordGenerator.h"

#include <QDialog>

#include <functional>

class CSettings;
class CTorviQuillbookDoc;
class IPrompter;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The password generator: length and character classes, a password to
// accept, edit or draw again ("Next"). OK copies the password shown to the
// clipboard and keeps the choices in the settings.
class CPasswordGenDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *kCaption = QT_TR_NOOP("Password Generator");

    explicit CPasswordGenDlg(CSettings &settings, QWidget *parent = nullptr,
                             CPasswordGenerator::Source source = {});

    // Next: a new password from the controls; with no class ticked the
    // password shown stays.
    void generate();
    // The password shown (after OK: the one accepted, edits included).
    QString password() const;
    bool setReminderTicked() const;

    QListWidget *lengthList() const { return m_length; }
    QCheckBox *numbersBox() const { return m_numbers; }
    QCheckBox *lettersBox() const { return m_letters; }
    QCheckBox *specialBox() const { return m_special; }
    QCheckBox *reminderBox() const { return m_reminder; }
    QLineEdit *passwordEdit() const { return m_password; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *okButton() const { return m_ok; }

    void accept() override;

private:
    CSettings &m_settings;
    CPasswordGenerator m_generator;
    QListWidget *m_length;
    QCheckBox *m_numbers;
    QCheckBox *m_letters;
    QCheckBox *m_special;
    QCheckBox *m_reminder;
    QLineEdit *m_password;
    QPushButton *m_next;
    QPushButton *m_ok;
};

namespace PasswordGenCommand {

// The generator command of the note editor: runs the dialog; after OK hands
// the password to `insertAtCaret` (which replaces the editor's selection)
// and, with "Set reminder" ticked, opens the reminder dialog for the current
// note. False when the dialog was cancelled.
bool run(CTorviQuillbookDoc &doc, IPrompter &prompter, const std::function<void(const QString &)> &insertAtCaret,
         QWidget *parent, CPasswordGenerator::Source source = {});

}  // namespace PasswordGenCommand
