#include "messageboxnotice.h"

#include <QApplication>
#include <QMessageBox>

namespace vornestw {

void MessageBoxNotice::message(Severity severity, const QString& title, const QString& text)
{
    QWidget* parent = QApplication::activeWindow();
    switch (severity) {
    case Severity::Information:
        QMessageBox::information(parent, title, text);
        break;
    case Severity::Warning:
        QMessageBox::warning(parent, title, text);
        break;
    case Severity::Critical:
        QMessageBox::critical(parent, title, text);
        break;
    }
}

bool MessageBoxNotice::askYesNo(const QString& title, const QString& text)
{
    return QMessageBox::question(QApplication::activeWindow(), title, text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace vornestw
