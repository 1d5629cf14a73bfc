#include "app/ImportPlaceDlg.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

CImportPlaceDlg::CImportPlaceDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    auto *layout = new QVBoxLayout(this);
    const char *const texts[3] = {"Selected folder", "As Root folder", "New document"};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QRadioButton(QString::fromLatin1(texts[i]), this);
        m_buttons[i]->setObjectName(QStringLiteral("place%1").arg(i));
        layout->addWidget(m_buttons[i]);
    }
    m_buttons[kSelectedFolder]->setChecked(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CImportPlaceDlg::Place CImportPlaceDlg::place() const
{
    for (int i = 0; i < 3; ++i) {
        if (m_buttons[i]->isChecked())
            return Place(i);
    }
    return kSelectedFolder;
}
