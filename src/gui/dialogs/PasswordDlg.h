#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class IPrompter;
class QCheckBox;
class QLineEdit;

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

    // What was entered; meaningful only after OK.
    QString password() const { return m_password; }
    QByteArray passwordBytes() const { return m_passwordBytes; }
    bool reload() const { return m_reload; }

private:
    void onVisibleToggled(bool visible);
    void onClear();
    void onOk();
    void refuse(const QString &message);

    IPrompter &m_prompter;
    Encode m_encode;
    bool m_duringOpen;
    QString m_password;
    QByteArray m_passwordBytes;
    bool m_reload = false;

    QLineEdit *m_edit;
    QCheckBox *m_visible;
    QCheckBox *m_reloadCheck;
};
