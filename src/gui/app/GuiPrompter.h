#pragma once

#include "Prompter.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

// The desktop's answer to the core's questions: message boxes, the password
// dialog and the file and folder choosers.
class CGuiPrompter : public IPrompter
{
public:
    // Between text and the document's code page; Encode gives nothing for a
    // character the code page cannot hold.
    using Encode = std::function<std::optional<QByteArray>(const QString &)>;
    using Decode = std::function<QString(const QByteArray &)>;

    static constexpr const char *kTitle = "Torvi Quillbook";

    CGuiPrompter(Encode encode, Decode decode, QWidget *parent = nullptr);

    // The window the dialogs are centred on; may come after construction.
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    Answer message(const QString &text, Buttons buttons = Buttons::Ok) override;
    PasswordAnswer askPassword(const PasswordRequest &request) override;
    int choose(const QString &text, const QStringList &choices) override;
    // A small window with the text, a busy bar and Cancel, shown once the
    // wait has lasted a moment; the window behind it goes on painting.
    bool waitUntil(const QString &text, int waitMs, const std::function<bool()> &done, bool &cancelled) override;
    // The work on a thread of its own, waited for as waitUntil() waits.
    bool waitFor(const QString &text, const std::function<void()> &work) override;
    QString chooseSaveFile(const QString &title, const QString &proposedPath, const QString &filters) override;
    QString chooseOpenFile(const QString &title, const QString &folder, const QString &filters) override;
    QString chooseFolder(const QString &title, const QString &folder = {}) override;
    QString chooseFileOrFolder(const QString &title, const QString &folder, const QString &filters) override;

    // ".txt" for "Text Files (*.txt)": the first extension a filter names.
    static QString defaultExtension(const QString &filter);

private:
    Encode m_encode;
    Decode m_decode;
    QPointer<QWidget> m_parent;
};
