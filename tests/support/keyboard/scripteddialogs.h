#pragma once

#include "userdialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace morvaw::test {

// Records every message and question ("title: text") and answers the
// questions from a list (No when it is empty).
class RecordingDialogs : public UserDialogs
{
public:
    void inform(const QString& text, const QString& title) override
    {
        shown << title + QStringLiteral(": ") + text;
    }
    void warn(const QString& text, const QString& title) override
    {
        shown << QStringLiteral("(!) ") + title + QStringLiteral(": ") + text;
    }
    Answer askYesNo(const QString& text, const QString& title) override
    {
        shown << QStringLiteral("? ") + title + QStringLiteral(": ") + text;
        if (onQuestion)
            onQuestion();
        if (answers.empty())
            return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    Answer askYesNoCancel(const QString& text, const QString& title) override
    {
        return askYesNo(text, title);
    }
    std::optional<QString> openFileName(const FileDialogSettings&) override { return {}; }
    std::optional<QString> saveFileName(const FileDialogSettings&) override { return {}; }

    QStringList shown;
    std::deque<Answer> answers;
    std::function<void()> onQuestion;
};

} // namespace morvaw::test
