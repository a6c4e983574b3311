#pragma once

#include <QString>

namespace vornestw {

// Modal messages and questions of the logic; the windows show them as
// message boxes, tests answer them.
class UserNotice
{
public:
    virtual ~UserNotice() = default;

    virtual void message(const QString& title, const QString& text) = 0;
    // True for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
};

} // namespace vornestw
