#pragma once

#include "userdialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

namespace morvaw::test {

// Answers prompts and file dialogs from a script and records what was shown,
// also as one list of "title: text" lines. Anything the script did not expect
// fails the test, unless lenient: then a question is answered No.
class ScriptedDialogs : public UserDialogs
{
public:
    struct Shown
    {
        QString text;
        QString title;
        bool warning = false; // reported with the warning icon
    };

    explicit ScriptedDialogs(bool lenient = false) : m_lenient(lenient) {}

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> fileNames; // nullopt: the dialog is cancelled
    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::vector<FileDialogSettings> dialogs;
    QStringList shown; // messages "title: text", warnings "(!) ...", questions "? ..."

    void inform(const QString& text, const QString& title) override
    {
        messages.push_back({text, title});
        shown << title + QStringLiteral(": ") + text;
    }
    void warn(const QString& text, const QString& title) override
    {
        messages.push_back({text, title, true});
        shown << QStringLiteral("(!) ") + title + QStringLiteral(": ") + text;
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
        shown << QStringLiteral("? ") + title + QStringLiteral(": ") + text;
        return take(answers, Answer::No, "unexpected question: " + text.toStdString());
    }
    std::optional<QString> openFileName(const FileDialogSettings& s) override { return next(s); }
    std::optional<QString> saveFileName(const FileDialogSettings& s) override { return next(s); }

private:
    std::optional<QString> next(const FileDialogSettings& settings)
    {
        dialogs.push_back(settings);
        return take(fileNames, std::optional<QString>(), "unexpected file dialog");
    }
    template <typename T> T take(std::deque<T>& script, T otherwise, const std::string& what)
    {
        if (script.empty() && !m_lenient)
            throw std::logic_error(what);
        if (script.empty())
            return otherwise;
        T first = script.front();
        script.pop_front();
        return first;
    }

    bool m_lenient;
};

} // namespace morvaw::test
