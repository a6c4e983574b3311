#pragma once

#include "usernotice.h"

namespace vornestw {

// Messages and questions as modal message boxes over the active window.
class MessageBoxNotice : public UserNotice
{
public:
    void message(Severity severity, const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
};

} // namespace vornestw
