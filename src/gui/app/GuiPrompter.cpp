#include "app/GuiPrompter.h"

#include "dialogs/PasswordDlg.h"

#include <QFileDialog>
#include <QMessageBox>

CGuiPrompter::CGuiPrompter(Encode encode, Decode decode, QWidget *parent)
    : m_encode(std::move(encode))
    , m_decode(std::move(decode))
    , m_parent(parent)
{
}

IPrompter::Answer CGuiPrompter::message(const QString &text, Buttons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromLatin1(kTitle));
    box.setText(text);
    switch (buttons) {
    case Buttons::Ok:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNoCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

IPrompter::PasswordAnswer CGuiPrompter::askPassword(const PasswordRequest &request)
{
    CPasswordDlg dlg(m_decode(request.current), request.allowReload, request.duringOpen, m_encode, *this, m_parent);
    PasswordAnswer answer;
    if (dlg.exec() != QDialog::Accepted)
        return answer;
    answer.accepted = true;
    answer.password = dlg.passwordBytes();
    answer.reload = dlg.reload();
    return answer;
}

QString CGuiPrompter::chooseSaveFile(const QString &title, const QString &proposedPath, const QString &filters)
{
    // The dialog asks before it lets an existing file be chosen.
    return QFileDialog::getSaveFileName(m_parent, title, proposedPath, filters);
}

QString CGuiPrompter::chooseFolder(const QString &title)
{
    return QFileDialog::getExistingDirectory(m_parent, title.isEmpty() ? QStringLiteral("Select folder") : title,
                                             QString(), QFileDialog::ShowDirsOnly);
}
