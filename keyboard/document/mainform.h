#pragma once

#include <QMainWindow>

#include <string>

namespace morvaw {

struct ConfiguratorState;

// "KBD Layout: " + the layout's file name without trailing spaces + the language suffix.
[[nodiscard]] std::string LayoutCaption(const ConfiguratorState& state);

// The configurator's main window: the keyboard picture and the menus.
class MainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainForm(ConfiguratorState& state, QWidget* parent = nullptr);

    void SetCaption();

private:
    ConfiguratorState& m_state;
};

} // namespace morvaw
