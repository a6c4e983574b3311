#pragma once

#include "usernotice.h"

#include <QMessageBox>

#include <memory>

namespace vornestw {

// Messages and questions as modal message boxes over the active window.
class MessageBoxNotice : public UserNotice
{
public:
    void message(Severity severity, const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;

    // The box either of them shows. Texts carry names and words from outside
    // (queue names, a printer's state message, file paths): they are shown
    // as they are, never taken as markup.
    [[nodiscard]] static std::unique_ptr<QMessageBox> MakeBox(QMessageBox::Icon icon,
                                                              const QString& title,
                                                              const QString& text,
                                                              QMessageBox::StandardButtons buttons);
};

} // namespace vornestw
