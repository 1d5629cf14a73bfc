#pragma once

#include "Prompter.h"

#include <QList>
#include <QStringList>

#include <functional>

// A prompter for tests: records every text it is shown and answers from
// queues the test fills beforehand. An unscripted question gets the cautious
// answer (Cancel) and is counted, so a test can tell it was not expected.
class CFakePrompter : public IPrompter
{
public:
    QStringList messages;
    QList<Buttons> messageButtons;
    QList<Answer> answers;
    int unscriptedQuestions = 0;

    QList<int> choices;  // answers to choose(); none left: -1 (Cancel), counted as unscripted
    QList<QStringList> choiceLists;
    std::function<void()> whileChoosing;  // what happens elsewhere while a choice is shown
    int choose(const QString &text, const QStringList &options) override
    {
        if (whileChoosing)
            whileChoosing();
        messages.append(text);
        messageButtons.append(Buttons::OkCancel);
        choiceLists.append(options);
        if (choices.isEmpty()) {
            ++unscriptedQuestions;
            return -1;
        }
        return choices.takeFirst();
    }

    QList<PasswordRequest> passwordRequests;
    QList<PasswordAnswer> passwordAnswers;

    QStringList chooserTitles;
    QStringList folderAnswers;
    QStringList folderStarts;  // where each folder chooser started
    QStringList saveFileAnswers;

    Answer message(const QString &text, Buttons buttons = Buttons::Ok) override
    {
        messages.append(text);
        messageButtons.append(buttons);
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (answers.isEmpty()) {
            ++unscriptedQuestions;
            return Answer::Cancel;
        }
        return answers.takeFirst();
    }

    std::function<void()> whileAskingPassword;  // what the user sees meanwhile, for a test to look at
    PasswordAnswer askPassword(const PasswordRequest &request) override
    {
        if (whileAskingPassword)
            whileAskingPassword();
        passwordRequests.append(request);
        if (passwordAnswers.isEmpty()) {
            ++unscriptedQuestions;
            return {};
        }
        return passwordAnswers.takeFirst();
    }

    QString chooseSaveFile(const QString &title, const QString &proposedPath, const QString &filters) override
    {
        Q_UNUSED(proposedPath) Q_UNUSED(filters)
        chooserTitles.append(title);
        return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.takeFirst();
    }

    QStringList openFileAnswers;
    QString chooseOpenFile(const QString &title, const QString &folder, const QString &filters) override
    {
        Q_UNUSED(folder) Q_UNUSED(filters)
        chooserTitles.append(title);
        return openFileAnswers.isEmpty() ? QString() : openFileAnswers.takeFirst();
    }

    QStringList fileOrFolderAnswers;
    QString chooseFileOrFolder(const QString &title, const QString &folder, const QString &filters) override
    {
        Q_UNUSED(folder) Q_UNUSED(filters)
        chooserTitles.append(title);
        return fileOrFolderAnswers.isEmpty() ? QString() : fileOrFolderAnswers.takeFirst();
    }

    QString chooseFolder(const QString &title, const QString &folder = {}) override
    {
        chooserTitles.append(title);
        folderStarts.append(folder);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
};
