#pragma once

#include "doc/Protection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The one way the core talks to the user: every message box text, question
// and password request goes through here, so the GUI shows them with dialogs,
// tqb writes them to standard error, and tests record them.
class IPrompter
{
public:
    // The answers a message offers and the one Enter gives (the default
    // button). A bare set gives to Enter the answer that does nothing (No or
    // Cancel); a set that names another default is for a question where that
    // answer loses nothing: no question's Enter throws away the user's work.
    // Escape gives Cancel, or No where there is none.
    enum class Buttons {
        Ok,
        OkCancel,               // Enter: Cancel
        OkCancelDefaultOk,      // Enter: OK
        YesNo,                  // Enter: No
        YesNoDefaultYes,        // Enter: Yes
        YesNoCancel,            // Enter: Cancel
        YesNoCancelDefaultYes,  // Enter: Yes
    };
    enum class Answer { Ok, Cancel, Yes, No };

    struct PasswordRequest
    {
        // Password held now: UTF-8 when `currentUtf8`, else in the
        // document's code page (the bytes each form keys with).
        QByteArray current;
        bool allowReload = false;  // "Reload Document" may be used
        bool duringOpen = false;   // the dialog runs as part of opening a file
        // The form of protection held now; while opening, the file's own.
        Protection protection = Protection::None;
        // Only the password is asked, to show a locked document again.
        bool askOnly = false;
        bool currentUtf8 = false;
    };
    struct PasswordAnswer
    {
        bool accepted = false;  // false: Cancel
        // The key bytes for the form answered (the one chosen, or the
        // request's when no choice is shown): UTF-8 for the sealed form, the
        // document's code page for the compatible cipher.
        QByteArray password;
        bool reload = false;
        // The form chosen for a new or changed password: sealed when true,
        // the compatible cipher when false. Not asked while a file opens.
        bool encrypt = false;
        // Sealed form only: the same password in the code page, which
        // earlier builds sealed with; none when equal or not representable.
        std::optional<QByteArray> olderSealBytes = std::nullopt;
    };

    virtual ~IPrompter() = default;

    // A message box; with Buttons::Ok the answer is always Ok.
    virtual Answer message(const QString &text, Buttons buttons = Buttons::Ok) = 0;
    virtual PasswordAnswer askPassword(const PasswordRequest &request) = 0;
    // Runs `work` and returns true once it is done, or false as soon as the
    // user gave up waiting for it. A front end with a window runs it on
    // another thread and shows `text` with Cancel meanwhile, so that the
    // window keeps answering; `work` then owns everything it touches, as it
    // may go on after a false return. This default runs it here.
    virtual bool waitFor(const QString &text, const std::function<void()> &work)
    {
        Q_UNUSED(text) work();
        return true;
    }
    // A question with answers of its own and Cancel, which Enter gives: the
    // index of the one chosen, -1 for Cancel. Front ends that cannot ask keep
    // this default (Cancel).
    virtual int choose(const QString &text, const QStringList &choices)
    {
        Q_UNUSED(text) Q_UNUSED(choices) return -1;
    }

    // Calls `done` every few milliseconds until it returns true (true then)
    // or `waitMs` have passed (false). A front end with a window shows
    // `text` with Cancel meanwhile and goes on handling events; `cancelled`
    // tells that the user stopped waiting. This default sleeps in between.
    virtual bool waitUntil(const QString &text, int waitMs, const std::function<bool()> &done, bool &cancelled);

    // File and folder choosers; an empty result means the user cancelled.
    // Front ends without dialogs keep these defaults. The save chooser
    // returns the final name (with the extension the chosen filter adds)
    // and does not ask about an existing file: the core asks, on that name.
    virtual QString chooseSaveFile(const QString &title, const QString &proposedPath, const QString &filters)
    {
        Q_UNUSED(title) Q_UNUSED(proposedPath) Q_UNUSED(filters) return {};
    }
    virtual QString chooseOpenFile(const QString &title, const QString &folder, const QString &filters)
    {
        Q_UNUSED(title) Q_UNUSED(folder) Q_UNUSED(filters) return {};
    }
    // An existing folder, starting in `folder` (empty: where the system likes).
    virtual QString chooseFolder(const QString &title, const QString &folder = {})
    {
        Q_UNUSED(title) Q_UNUSED(folder) return {};
    }
    // An existing file or folder, starting in `folder` (the favorites import
    // takes a folder, a shortcut or a bookmark file).
    virtual QString chooseFileOrFolder(const QString &title, const QString &folder, const QString &filters)
    {
        Q_UNUSED(title) Q_UNUSED(folder) Q_UNUSED(filters) return {};
    }
};
