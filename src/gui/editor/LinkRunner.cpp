#include "editor/LinkRunner.h"

#include "doc/TorviQuillbookDoc.h"
#include "platform/Dialer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

class CDesktopLauncher : public CLinkRunner::ILauncher
{
public:
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
    void startProgram(const QString &program) override
    {
        // An argument list, never a command line for a shell.
        QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
    }
    void dial(const QString &number) override { m_dialer.dial(number); }

private:
    CDialer m_dialer;
};

} // namespace

CLinkRunner::CLinkRunner(CTorviQuillbookDoc &doc)
    : m_doc(doc), m_ownLauncher(std::make_unique<CDesktopLauncher>()), m_launcher(m_ownLauncher.get())
{
}

CLinkRunner::~CLinkRunner() = default;

void CLinkRunner::setLauncher(ILauncher *launcher)
{
    m_launcher = launcher ? launcher : m_ownLauncher.get();
}

void CLinkRunner::run(const links::Action &action, const std::function<void()> &copy)
{
    switch (action.kind) {
    case links::Action::None:
        return;
    case links::Action::Message:
        m_doc.prompter().message(action.target);
        return;
    case links::Action::Copy:
        copy();
        return;
    case links::Action::Call:
        m_launcher->dial(action.target);
        return;
    case links::Action::Open:
        break;
    }
    const QString &target = action.target;
    if (links::opensWithoutAsking(target)) {
        m_launcher->openUrl(QUrl(links::directUrl(target), QUrl::TolerantMode));
        return;
    }
    if (links::targetKind(target) != links::TargetKind::LocalPath) {
        // Asked because it may do more than show something (a mail with an
        // attachment, an unknown scheme): Enter must not agree.
        if (m_doc.prompter().message(QCoreApplication::translate("links", links::kOpenQuestion).arg(target),
                                     IPrompter::Buttons::YesNo) == IPrompter::Answer::Yes)
            m_launcher->openUrl(QUrl(target, QUrl::TolerantMode));
        return;
    }
    const QFileInfo file(QDir::fromNativeSeparators(target));
    const bool executable = file.isFile() && file.isExecutable();
    const bool runs = links::runsCode(file.fileName(), executable);
    const QString question = QString::fromLatin1(runs ? links::kRunQuestion : links::kOpenQuestion)
                                 .arg(QDir::toNativeSeparators(target));
    if (m_doc.prompter().message(question, runs ? IPrompter::Buttons::YesNo : IPrompter::Buttons::YesNoDefaultYes) !=
        IPrompter::Answer::Yes)
        return;
    if (executable)
        m_launcher->startProgram(file.absoluteFilePath());
    else
        m_launcher->openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}
