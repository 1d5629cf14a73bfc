#include "import/ImportPlaceDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

CImportPlaceDlg::CImportPlaceDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Where place imported notes?"));
    auto *layout = new QVBoxLayout(this);
    auto *group = new QButtonGroup(this);
    const char *texts[3] = {QT_TR_NOOP("&Selected folder"), QT_TR_NOOP("As &Root folder"), QT_TR_NOOP("&New document")};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = new QRadioButton(tr(texts[i]), this);
        group->addButton(m_buttons[i], i);
        layout->addWidget(m_buttons[i], 0, Qt::AlignLeft);  // as wide as its text: a click beside it is no choice
    }
    m_buttons[kSelectedFolder]->setChecked(true);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    // The question is the title: wide enough that a window manager need not cut it.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 4 * fontMetrics().height() + 48);
}

int CImportPlaceDlg::place() const
{
    for (int i = 0; i < 3; ++i) {
        if (m_buttons[i]->isChecked())
            return i;
    }
    return kSelectedFolder;
}

void CImportPlaceDlg::setPlace(int place)
{
    if (place >= 0 && place < 3)
        m_buttons[place]->setChecked(true);
}

QRadioButton *CImportPlaceDlg::button(int place) const
{
    return place >= 0 && place < 3 ? m_buttons[place] : nullptr;
}
