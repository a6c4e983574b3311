#include "mainform.h"

#include "configuratorstate.h"
#include "displaytext.h"

namespace morvaw {

std::string LayoutCaption(const ConfiguratorState& state)
{
    std::string name = state.LayoutFileName;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return "KBD Layout: " + name + std::string(LanguageSuffix(state.CurrentLanguage));
}

MainForm::MainForm(ConfiguratorState& state, QWidget* parent) : QMainWindow(parent), m_state(state)
{
    setObjectName("MainForm");
    resize(800, 500);
    SetCaption();
}

void MainForm::SetCaption()
{
    // The file name is the local path's UTF-8 bytes; the suffix is plain ASCII.
    setWindowTitle(QString::fromStdString(LayoutCaption(m_state)));
}

} // namespace morvaw
