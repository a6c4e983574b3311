#include "mainform.h"

namespace vornestw {

MainForm::MainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("MainForm");
    setWindowTitle("Vornest");
}

} // namespace vornestw
