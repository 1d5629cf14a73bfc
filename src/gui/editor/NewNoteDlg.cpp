#include "editor/NewNoteDlg.h"

#include "Prompter.h"
#include "editor/CaptureSplit.h"
#include "text/CodePage.h"
#include "tree/InfoTree.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

CNewNoteDlg::CNewNoteDlg(CInfoTree &tree, const CCodePage &codePage, IPrompter &prompter, QWidget *parent)
    : QDialog(parent), m_tree(tree), m_codePage(codePage), m_prompter(prompter)
{
    setWindowTitle(tr(kCaption));
    setModal(false);

    m_title = new QLineEdit(this);
    m_title->setAccessibleName(tr("Title"));
    m_text = new QPlainTextEdit(this);
    m_text->setAccessibleName(tr("Text"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setTabChangesFocus(true);
    // Check boxes drawn as toggle buttons.
    m_autoTitle = new QPushButton(tr(kAutoTitle), this);
    m_autoTitle->setCheckable(true);
    m_autoTitle->setChecked(true);
    m_autoTitle->setAutoDefault(false);
    m_asRoot = new QPushButton(tr(kAsRoot), this);
    m_asRoot->setCheckable(true);
    m_asRoot->setAutoDefault(false);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_note->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewNoteDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewNoteDlg::reject);
    // Clicking "Auto title" redoes the split; edits in the boxes are lost.
    connect(m_autoTitle, &QPushButton::clicked, this, &CNewNoteDlg::splitText);

    auto *toggles = new QHBoxLayout;
    toggles->addWidget(m_autoTitle);
    toggles->addWidget(m_asRoot);
    toggles->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_text, 1);
    layout->addLayout(toggles);
    layout->addWidget(m_note);
    layout->addWidget(new QLabel(tr(kFolderHint), this));
    layout->addWidget(buttons);
    resize(460, 320);
}

QString CNewNoteDlg::unmappableMessage(const CCodePage &codePage, const QString &text, qsizetype at)
{
    return codePage.unmappableMessage(text, at) + tr(" Change or remove it, then click OK again.");
}

void CNewNoteDlg::capture(const QString &text)
{
    m_captured = text;
    m_note->hide();
    splitText();
}

bool CNewNoteDlg::fillFromClipboard()
{
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (text.isEmpty())
        return false;
    capture(text);
    return true;
}

void CNewNoteDlg::showNothingCaptured()
{
    m_note->setText(tr(kNothingCaptured));
    m_note->show();
}

void CNewNoteDlg::splitText()
{
    const CaptureSplit::Result parts = CaptureSplit::split(m_captured, m_autoTitle->isChecked());
    m_title->setText(parts.title);
    m_text->setPlainText(parts.text);
    m_asRoot->setChecked(false);
}

void CNewNoteDlg::showCentred()
{
    show();
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    raise();
    activateWindow();
}

void CNewNoteDlg::accept()
{
    const QString title = m_title->text();
    // The document keeps line breaks as CR LF.
    QString text = m_text->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    for (const QString *part : {&title, static_cast<const QString *>(&text)}) {
        const qsizetype bad = m_codePage.firstUnmappable(*part);
        if (bad >= 0) {
            m_prompter.message(unmappableMessage(m_codePage, *part, bad));
            return;
        }
    }
    const std::optional<QByteArray> titleBytes = m_codePage.fromUnicode(title);
    const std::optional<QByteArray> textBytes = m_codePage.fromUnicode(text);
    if (!titleBytes || !textBytes)
        return;
    if (m_activateTreePane)
        m_activateTreePane();
    if (m_tree.addNote(*titleBytes, *textBytes, m_asRoot->isChecked()) == CInfoTree::kNone)
        return;  // reported by the tree; what was typed stays for another try
    QDialog::accept();
}
