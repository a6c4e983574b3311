#include "configuratorstate.h"
#include "mainform.h"
#include "terminationsignal.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    morvaw::TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("MORVAW");

    auto state = std::make_unique<morvaw::ConfiguratorState>();
    morvaw::InitialiseConfigurator(*state, QCoreApplication::applicationDirPath().toStdString());
    state->LayoutFileName = "UNTITLED.KBD";

    morvaw::MainForm mainForm(*state);
    morvaw::TerminationSignal termination;
    QObject::connect(&termination, &morvaw::TerminationSignal::received, &mainForm,
                     &QWidget::close);
    mainForm.show();
    return app.exec();
}
