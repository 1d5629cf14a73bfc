#include "password/PasswordDlg.h"
#include <QCoreApplication>

#include "Prompter.h"
#include "doc/PasswordKey.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

CPasswordDlg::CPasswordDlg(const QString &currentPassword, bool allowReload, bool duringOpen, Encode encode,
                           IPrompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_encode(std::move(encode))
    , m_duringOpen(duringOpen)
{
    setWindowTitle(tr("Password"));
    setModal(true);

    m_edit = new QLineEdit(currentPassword, this);
    m_edit->setObjectName(QStringLiteral("password"));
    m_edit->setEchoMode(QLineEdit::Password);
    // The platform style may mask with a bullet; the document's users know "*".
    m_edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    m_edit->setMinimumWidth(220);
    m_edit->setAccessibleName(tr("Password"));

    auto *clear = new QPushButton(tr("C&lear"), this);
    clear->setObjectName(QStringLiteral("clear"));
    clear->setAutoDefault(false);
    m_visible = new QCheckBox(tr("&Visible"), this);
    m_visible->setObjectName(QStringLiteral("visible"));
    m_reloadCheck = new QCheckBox(tr("&Reload Document"), this);
    m_reloadCheck->setObjectName(QStringLiteral("reload"));
    m_reloadCheck->setEnabled(allowReload);

    m_choice = new QWidget(this);
    m_choice->setObjectName(QStringLiteral("protection"));
    auto *choiceLayout = new QVBoxLayout(m_choice);
    choiceLayout->setContentsMargins(0, 6, 0, 0);
    const auto option = [this, choiceLayout](const char *text, const char *note, const char *name) {
        auto *radio = new QRadioButton(tr(text), m_choice);
        radio->setObjectName(QString::fromLatin1(name));
        auto *explanation = new QLabel(tr(note), m_choice);
        explanation->setObjectName(QString::fromLatin1(name) + QStringLiteral("Note"));
        explanation->setIndent(radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + 6);
        QFont small = explanation->font();
        small.setPointSizeF(small.pointSizeF() * 0.9);
        explanation->setFont(small);
        choiceLayout->addWidget(radio);
        choiceLayout->addWidget(explanation);
        return radio;
    };
    m_strong = option(kStrong, kStrongNote, "strong");
    m_compatible = option(kCompatible, kCompatibleNote, "compatible");
    m_strong->setChecked(true);
    m_choice->setVisible(!duringOpen);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_edit, 0, 0);
    layout->addWidget(clear, 0, 1);
    layout->addWidget(m_visible, 1, 0);
    layout->addWidget(m_reloadCheck, 2, 0);
    layout->addWidget(m_choice, 3, 0, 1, 2);
    layout->addWidget(buttons, 4, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_visible, &QCheckBox::toggled, this, &CPasswordDlg::onVisibleToggled);
    connect(clear, &QPushButton::clicked, this, &CPasswordDlg::onClear);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasswordDlg::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_edit->setFocus();
}

void CPasswordDlg::setProtection(Protection current)
{
    (current == Protection::Compatible ? m_compatible : m_strong)->setChecked(true);
    m_protection = current == Protection::Encrypted ? Protection::Encrypted : Protection::Compatible;
}

Protection CPasswordDlg::form() const
{
    if (m_choice->isHidden())
        return m_protection;
    return m_strong->isChecked() ? Protection::Encrypted : Protection::Compatible;
}

void CPasswordDlg::setChoiceShown(bool shown)
{
    m_choice->setVisible(shown);
}

bool CPasswordDlg::encrypt() const
{
    return m_strong->isChecked();
}

void CPasswordDlg::onVisibleToggled(bool visible)
{
    m_edit->setEchoMode(visible ? QLineEdit::Normal : QLineEdit::Password);
    m_edit->setFocus();
}

void CPasswordDlg::onClear()
{
    m_edit->clear();
    m_edit->setFocus();
}

void CPasswordDlg::refuse(const QString &message)
{
    m_prompter.message(message);
    m_edit->selectAll();
    m_edit->setFocus();
}

void CPasswordDlg::onOk()
{
    const QString text = m_edit->text();
    CTypedPassword typed(text, m_encode(text));
    const Protection chosen = form();
    const QString refusal = typed.refusal(chosen, m_duringOpen);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return;
    }
    m_password = text;
    m_passwordBytes = typed.bytesFor(chosen);
    m_olderSealBytes = chosen == Protection::Encrypted ? typed.olderSealBytes() : std::nullopt;
    m_reload = m_reloadCheck->isChecked();
    accept();
}
