#include "app/GuiPrompter.h"

#include "password/PasswordDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QMessageBox>
#include <QPushButton>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <limits>

CGuiPrompter::CGuiPrompter(Encode encode, Decode decode, QWidget *parent)
    : m_encode(std::move(encode))
    , m_decode(std::move(decode))
    , m_parent(parent)
{
}

namespace {

struct ButtonSet
{
    QMessageBox::StandardButtons shown;
    QMessageBox::StandardButton enter;
    QMessageBox::StandardButton escape;
};

ButtonSet buttonSet(IPrompter::Buttons buttons)
{
    using B = IPrompter::Buttons;
    using M = QMessageBox;
    switch (buttons) {
    case B::Ok:
        break;
    case B::OkCancel:
        return {M::Ok | M::Cancel, M::Cancel, M::Cancel};
    case B::OkCancelDefaultOk:
        return {M::Ok | M::Cancel, M::Ok, M::Cancel};
    case B::YesNo:
        return {M::Yes | M::No, M::No, M::No};
    case B::YesNoDefaultYes:
        return {M::Yes | M::No, M::Yes, M::No};
    case B::YesNoCancel:
        return {M::Yes | M::No | M::Cancel, M::Cancel, M::Cancel};
    case B::YesNoCancelDefaultYes:
        return {M::Yes | M::No | M::Cancel, M::Yes, M::Cancel};
    }
    return {M::Ok, M::Ok, M::Ok};
}

}  // namespace

IPrompter::Answer CGuiPrompter::message(const QString &text, Buttons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromLatin1(kTitle));
    box.setText(text);
    // Named, never left to the box: it would give Enter the first button.
    const ButtonSet set = buttonSet(buttons);
    box.setIcon(set.shown.testFlag(QMessageBox::Yes) ? QMessageBox::Question : QMessageBox::Warning);
    box.setStandardButtons(set.shown);
    box.setDefaultButton(set.enter);
    box.setEscapeButton(set.escape);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return set.escape == QMessageBox::No ? Answer::No : Answer::Cancel;
    }
}

bool CGuiPrompter::waitUntil(const QString &text, int waitMs, const std::function<bool()> &done, bool &cancelled)
{
    cancelled = false;
    if (done())
        return true;
    QProgressDialog dialog(m_parent);
    dialog.setWindowTitle(QString::fromLatin1(kTitle));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setLabelText(text);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setRange(0, 0);  // no end known: a busy bar
    // Shown only once the wait lasts: a wait of a moment shows nothing.
    dialog.setMinimumDuration(std::numeric_limits<int>::max());
    QTimer::singleShot(300, &dialog, [&dialog] { dialog.show(); });
    const QDeadlineTimer deadline(std::max(0, waitMs));
    bool succeeded = false;
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (dialog.wasCanceled()) {
            cancelled = true;
            loop.quit();
        } else if (done()) {
            succeeded = true;
            loop.quit();
        } else if (deadline.hasExpired()) {
            loop.quit();
        }
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    tick.start();
    loop.exec();
    return succeeded;
}

int CGuiPrompter::choose(const QString &text, const QStringList &choices)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromLatin1(kTitle));
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    QList<QPushButton *> buttons;
    for (const QString &choice : choices)
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    // Enter decides nothing: each answer gives something up (the notes
    // shown, or the other program's file at the next save).
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return int(buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
}

bool CGuiPrompter::waitFor(const QString &text, const std::function<void()> &work)
{
    QThread *thread = QThread::create(work);
    thread->start();
    bool cancelled = false;
    waitUntil(text, std::numeric_limits<int>::max(), [thread] { return thread->isFinished(); }, cancelled);
    if (cancelled && !thread->isFinished()) {
        // The work cannot be stopped halfway: it ends on its own, and its
        // result goes with the thread.
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        return false;
    }
    thread->wait();
    delete thread;
    return true;
}

IPrompter::PasswordAnswer CGuiPrompter::askPassword(const PasswordRequest &request)
{
    const QString current = request.currentUtf8 ? QString::fromUtf8(request.current) : m_decode(request.current);
    CPasswordDlg dlg(current, request.allowReload, request.duringOpen, m_encode, *this, m_parent);
    dlg.setProtection(request.protection);
    if (request.askOnly)
        dlg.setChoiceShown(false);
    PasswordAnswer answer;
    if (dlg.exec() != QDialog::Accepted)
        return answer;
    answer.accepted = true;
    answer.password = dlg.passwordBytes();
    answer.reload = dlg.reload();
    answer.encrypt = dlg.encrypt();
    answer.olderSealBytes = dlg.olderSealBytes();
    return answer;
}

QString CGuiPrompter::chooseSaveFile(const QString &title, const QString &proposedPath, const QString &filters)
{
    // A name typed without extension takes the one of the chosen filter. The
    // dialog's own overwrite question would see the name before that, so the
    // core asks instead, about the name that is really written.
    QString selectedFilter;
    QString path = QFileDialog::getSaveFileName(m_parent, title, proposedPath, filters, &selectedFilter,
                                                QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += defaultExtension(selectedFilter.isEmpty() ? filters : selectedFilter);
    return path;
}

QString CGuiPrompter::defaultExtension(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*(\\.[A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString CGuiPrompter::chooseOpenFile(const QString &title, const QString &folder, const QString &filters)
{
    return QFileDialog::getOpenFileName(m_parent, title, folder, filters);
}

QString CGuiPrompter::chooseFolder(const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(m_parent, title.isEmpty() ? QCoreApplication::translate("CGuiPrompter", "Select folder") : title,
                                             folder, QFileDialog::ShowDirsOnly);
}

namespace {

// A file dialog that also takes the folder it shows: Open with nothing
// selected chooses the folder itself; a selected folder is entered as usual.
class CFileOrFolderDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;
    QString chosen;

    void accept() override
    {
        const QStringList files = selectedFiles();
        const QString path = files.isEmpty() ? directory().absolutePath() : files.first();
        const QFileInfo info(path);
        if (info.isFile() || (info.isDir() && QDir(path) == directory())) {
            chosen = info.absoluteFilePath();
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

QString CGuiPrompter::chooseFileOrFolder(const QString &title, const QString &folder, const QString &filters)
{
    CFileOrFolderDialog dialog(m_parent, title, folder, filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen.isEmpty() ? dialog.selectedFiles().value(0) : dialog.chosen;
}
