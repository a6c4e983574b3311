#pragma once

#include <QMainWindow>

namespace vornestw {

// The display utility's main window.
class MainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
};

} // namespace vornestw
