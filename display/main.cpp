#include "mainform.h"
#include "terminationsignal.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    vornestw::TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vornest");

    vornestw::MainForm mainForm;
    vornestw::TerminationSignal termination;
    QObject::connect(&termination, &vornestw::TerminationSignal::received, &mainForm,
                     &QWidget::close);
    mainForm.show();
    return app.exec();
}
