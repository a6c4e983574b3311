#pragma once

#include "printer.h"
#include "usernotice.h"

#include <deque>
#include <string>
#include <vector>

namespace vornestw::test {

struct Notice
{
    QString title;
    QString text;
    UserNotice::Severity severity = UserNotice::Severity::Information;
};

// Records every message and answers questions from a list (No when empty).
struct RecordingNotice : UserNotice
{
    void message(Severity severity, const QString& title, const QString& text) override
    {
        messages.push_back({title, text, severity});
    }
    bool askYesNo(const QString& title, const QString& text) override
    {
        questions.push_back({title, text});
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return yes;
    }

    std::vector<Notice> messages;
    std::vector<Notice> questions;
    std::deque<bool> answers;
};

// Collects the raw jobs; fails them with `error` when set.
struct FakePrinter : Printer
{
    std::optional<QString> printRaw(std::string_view bytes) override
    {
        ++attempts;
        if (!error)
            jobs.emplace_back(bytes);
        return error;
    }

    std::optional<QString> error;
    std::vector<std::string> jobs;
    int attempts = 0;
};

} // namespace vornestw::test
