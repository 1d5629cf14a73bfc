#pragma once

#include "doc/Protection.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class IPrompter;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QWidget;

// Asks for the document password. The rule on which passwords are refused
// lives in CPasswordKey; this dialog only shows it.
class CPasswordDlg : public QDialog
{
    Q_OBJECT

public:
    // Text to the document's code page; nothing when a character cannot be held.
    using Encode = std::function<std::optional<QByteArray>(const QString &)>;

    CPasswordDlg(const QString &currentPassword, bool allowReload, bool duringOpen, Encode encode,
                 IPrompter &prompter, QWidget *parent = nullptr);

    static constexpr const char *kStrong = QT_TRANSLATE_NOOP("CPasswordDlg", "&Strong encryption (recommended)");
    static constexpr const char *kStrongNote =
        QT_TRANSLATE_NOOP("CPasswordDlg", "Only this password opens the notes; older versions cannot read the file.");
    static constexpr const char *kCompatible = QT_TRANSLATE_NOOP("CPasswordDlg", "C&ompatible with older versions (light protection)");
    static constexpr const char *kCompatibleNote =
        QT_TRANSLATE_NOOP("CPasswordDlg", "Older versions read the file, but anyone with the file can read the notes.");

    // The form the document has now; a document without password starts on
    // strong encryption. While a file opens, the file decides and no choice
    // is shown: the password is then checked against that form's rules.
    void setProtection(Protection current);
    // Hides the choice where only the password is asked.
    void setChoiceShown(bool shown);

    // What was entered; meaningful only after OK.
    QString password() const { return m_password; }
    // The key bytes for the form chosen (UTF-8 for the sealed form, the
    // code page for the compatible one).
    QByteArray passwordBytes() const { return m_passwordBytes; }
    // The code-page bytes earlier builds sealed with, when they differ.
    std::optional<QByteArray> olderSealBytes() const { return m_olderSealBytes; }
    bool reload() const { return m_reload; }
    bool encrypt() const;

private:
    void onVisibleToggled(bool visible);
    void onClear();
    void onOk();
    void refuse(const QString &message);
    Protection form() const;

    IPrompter &m_prompter;
    Encode m_encode;
    bool m_duringOpen;
    QString m_password;
    QByteArray m_passwordBytes;
    std::optional<QByteArray> m_olderSealBytes;
    bool m_reload = false;
    // The form when no choice is shown: the file's while it opens.
    Protection m_protection = Protection::Compatible;

    QLineEdit *m_edit;
    QCheckBox *m_visible;
    QCheckBox *m_reloadCheck;
    QWidget *m_choice;
    QRadioButton *m_strong;
    QRadioButton *m_compatible;
};
