#pragma once

#include <QString>

namespace vornestw {

// Modal messages and questions of the logic; the windows show them as
// message boxes, tests answer them.
class UserNotice
{
public:
    // Information for the user's questions (About), a warning when something
    // did not work but the user can go on, critical when a device or file
    // cannot be used at all.
    enum class Severity { Information, Warning, Critical };

    virtual ~UserNotice() = default;

    virtual void message(Severity severity, const QString& title, const QString& text) = 0;
    // True for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
};

} // namespace vornestw
