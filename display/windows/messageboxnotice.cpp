#include "messageboxnotice.h"

#include <QApplication>

namespace vornestw {

std::unique_ptr<QMessageBox> MessageBoxNotice::MakeBox(QMessageBox::Icon icon, const QString& title,
                                                       const QString& text,
                                                       QMessageBox::StandardButtons buttons)
{
    auto box =
        std::make_unique<QMessageBox>(icon, title, text, buttons, QApplication::activeWindow());
    box->setTextFormat(Qt::PlainText);
    return box;
}

void MessageBoxNotice::message(Severity severity, const QString& title, const QString& text)
{
    const QMessageBox::Icon icon = severity == Severity::Information ? QMessageBox::Information
                                   : severity == Severity::Warning   ? QMessageBox::Warning
                                                                     : QMessageBox::Critical;
    MakeBox(icon, title, text, QMessageBox::Ok)->exec();
}

bool MessageBoxNotice::askYesNo(const QString& title, const QString& text)
{
    return MakeBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No)
               ->exec() == QMessageBox::Yes;
}

} // namespace vornestw
