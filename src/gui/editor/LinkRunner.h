#pragma once

#include "editor/LinkActions.h"

#include <functional>
#include <memory>

class CTorviQuillbookDoc;
class QString;
class QUrl;

// Carries out what a link action of the note pane decided: asks first where
// opening may do more than show something (a program, an unknown scheme),
// then hands the target to the desktop, or to a test's launcher.
class CLinkRunner
{
public:
    class ILauncher
    {
    public:
        virtual ~ILauncher() = default;
        virtual void openUrl(const QUrl &url) = 0;
        virtual void startProgram(const QString &program) = 0;
        virtual void dial(const QString &number) = 0;
    };

    explicit CLinkRunner(CTorviQuillbookDoc &doc);
    ~CLinkRunner();

    // nullptr: the desktop's own (QDesktopServices, QProcess, the dialler).
    void setLauncher(ILauncher *launcher);
    // `copy` copies the pane's selection, for the actions that only copy.
    void run(const links::Action &action, const std::function<void()> &copy);

private:
    CTorviQuillbookDoc &m_doc;
    std::unique_ptr<ILauncher> m_ownLauncher;
    ILauncher *m_launcher;
};
