#include "messageboxnotice.h"

#include <QApplication>
#include <QMessageBox>

namespace vornestw {

void MessageBoxNotice::message(const QString& title, const QString& text)
{
    QMessageBox::information(QApplication::activeWindow(), title, text);
}

bool MessageBoxNotice::askYesNo(const QString& title, const QString& text)
{
    return QMessageBox::question(QApplication::activeWindow(), title, text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace vornestw
