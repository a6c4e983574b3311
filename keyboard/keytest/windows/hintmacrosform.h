#pragma once

#include <QWidget>

#include <array>

namespace morvaw {

struct ConfiguratorState;
class InputLinePicture;
class MainForm;

// "List key macros": the readable form of the three definitions of the key
// in WorkKey. It only reads; any click on it hides it and hands back.
class HintMacrosForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kLines = 3;

    explicit HintMacrosForm(const ConfiguratorState& state, QWidget* parent = nullptr);

    // Every opening paints the lines afresh from WorkKey.
    void open();

    // The right mouse button on a key opens this window over the disabled main window.
    void attachToMainForm(MainForm& mainForm);

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void leave();

    const ConfiguratorState& m_state;
    std::array<InputLinePicture*, kLines> m_lines{};
};

} // namespace morvaw
