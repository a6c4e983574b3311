#pragma once

#include "helpadapter.h"
#include "userdialogs.h"

#include <QString>

#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

namespace morvaw::test {

// Answers prompts and file dialogs from a script and records what was shown;
// anything the script did not expect fails the test.
class ScriptedDialogs : public UserDialogs
{
public:
    struct Shown
    {
        QString text;
        QString title;
        bool warning = false; // reported with the warning icon
    };

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> fileNames; // nullopt: the dialog is cancelled
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::vector<FileDialogSettings> dialogs;

    void inform(const QString& text, const QString& title) override
    {
        messages.push_back({text, title});
    }
    void warn(const QString& text, const QString& title) override
    {
        messages.push_back({text, title, true});
    }
    Answer askYesNo(const QString& text, const QString& title) override
    {
        const Answer a = askYesNoCancel(text, title);
        if (a != Answer::Yes && a != Answer::No)
            throw std::logic_error("a Yes/No question has no other answer");
        return a;
    }
    Answer askYesNoCancel(const QString& text, const QString& title) override
    {
        questions.push_back({text, title});
        if (answers.empty())
            throw std::logic_error("unexpected question: " + text.toStdString());
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> openFileName(const FileDialogSettings& s) override { return next(s); }
    std::optional<QString> saveFileName(const FileDialogSettings& s) override { return next(s); }

private:
    std::optional<QString> next(const FileDialogSettings& settings)
    {
        dialogs.push_back(settings);
        if (fileNames.empty())
            throw std::logic_error("unexpected file dialog");
        auto name = fileNames.front();
        fileNames.pop_front();
        return name;
    }
};

class RecordingHelp : public HelpAdapter
{
public:
    struct Request
    {
        QString file;
        HelpCommand command;
        int context;
    };
    std::vector<Request> requests;

    void showHelp(const QString& file, HelpCommand command, int context) override
    {
        requests.push_back({file, command, context});
    }
};

} // namespace morvaw::test
