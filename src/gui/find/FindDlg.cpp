#include "find/FindDlg.h"

#include "find/FindReplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFindDlg::CFindDlg(CFindReplace &find, QWidget *parent)
    : QDialog(parent),
      m_findReplace(find),
      m_find(new QLineEdit(this)),
      m_case(new QCheckBox(tr("&Case sensitive"), this)),
      m_replace(new QLineEdit(this)),
      m_thisNote(new QCheckBox(tr("This note &only"), this)),
      m_findNext(new QPushButton(tr("Find &next"), this)),
      m_replaceButton(new QPushButton(tr("Re&place"), this)),
      m_replaceAll(new QPushButton(tr("Replace &all"), this)),
      m_close(new QPushButton(tr("Close"), this)),
      m_result(new QLabel(this))
{
    setWindowTitle(tr(kCaption));
    setModal(false);

    auto *findLabel = new QLabel(tr("&Find"), this);
    findLabel->setBuddy(m_find);
    auto *replaceLabel = new QLabel(tr("&Replace"), this);
    replaceLabel->setBuddy(m_replace);

    m_result->setAccessibleName(tr("Result"));

    auto *fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(m_case, 1, 1);
    fields->addWidget(replaceLabel, 2, 0);
    fields->addWidget(m_replace, 2, 1);
    fields->addWidget(m_thisNote, 3, 1);
    fields->addWidget(m_result, 4, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_findNext, m_replaceButton, m_replaceAll, m_close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    // Enter anywhere in the dialog is "Find next".
    m_findNext->setDefault(true);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(m_findNext, &QPushButton::clicked, this, &CFindDlg::findNext);
    connect(m_replaceButton, &QPushButton::clicked, this, &CFindDlg::replace);
    connect(m_replaceAll, &QPushButton::clicked, this, &CFindDlg::replaceAll);
    connect(m_close, &QPushButton::clicked, this, &QDialog::hide);  // Escape hides it too (reject)
}

void CFindDlg::takeValues()
{
    m_strFind = m_find->text();
    m_strReplace = m_replace->text();
    m_bCase = m_case->isChecked();
    m_bThisNote = m_thisNote->isChecked();
    m_result->clear();
}

void CFindDlg::clearResult()
{
    m_result->clear();
}

void CFindDlg::findNext()
{
    takeValues();
    if (!m_strFind.isEmpty())
        m_findReplace.findNext(m_strFind, m_bCase, m_bThisNote);
    // The search moved the focus to the main window; the user goes on here.
    activateWindow();
    m_findNext->setFocus();
}

void CFindDlg::replace()
{
    takeValues();
    m_findReplace.replace(m_strFind, m_bCase, m_strReplace);
}

void CFindDlg::replaceAll()
{
    takeValues();
    if (m_strFind.isEmpty())
        return;
    const int count = m_findReplace.replaceAll(m_strFind, m_bCase, m_strReplace, m_bThisNote);
    // As after Find next, the user goes on here: a refused pair ("This is a
    // loop...") is mended in the find field, not typed into the note.
    activateWindow();
    if (count < 0) {
        m_find->setFocus();
        return;
    }
    m_replaceAll->setFocus();
    m_result->setText(m_findReplace.lastMessage());
    emit replacedAll(count);
}

void CFindDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_bShownBefore) {
        m_bShownBefore = true;
        if (QWidget *owner = parentWidget()) {
            QRect frame = frameGeometry();
            frame.moveCenter(owner->window()->frameGeometry().center());
            move(frame.topLeft());
        }
    }
    if (m_strFind.isEmpty())
        m_find->setFocus();
    else
        m_findNext->setFocus();
}
