#pragma once

#include "send2comlogic.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace morvaw {

class PortChooserForm;

// "Program Kbd": the port buttons, "&Program", "&Cancel" and the progress
// texts; during a keyboard-port transfer the outlines of the keyboard's keys.
// It forwards its events to its logic and shows the logic's view.
// When it is done it hides itself, hands back to the main window and is
// deleted (after the transfer that runs inside its Program click unwinds).
class Send2Com : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kOutlines = 84;

    // backToMain: enables, shows and refreshes the main window.
    Send2Com(const ProgrammingServices& services, std::function<void()> backToMain,
             QWidget* parent = nullptr);
    ~Send2Com() override;

    [[nodiscard]] Send2ComLogic& logic() { return m_logic; }

    // The program is asked to end: a transfer stops as by Cancel, a question
    // of it is answered No, the window hands back to the main window, and
    // `then` runs once the transfer has unwound (the repeat settings are back).
    void terminate(std::function<void()> then);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void build();
    void syncView();
    void placeControls();
    void leave();
    void programClicked();
    void testClicked();
    void openPortChooser();
    // Runs a click whose waits let the window's events in: the window may be
    // asked to go meanwhile, and must outlive it.
    void runGuarded(const std::function<void()>& click);
    // "Log…": the record of the units, in a window of its own.
    void showLog();
    // The progress of a transfer under the labels; returns the bottom.
    int placeProgress(int top, int width);
    // Twips of the window's scale (15 to a pixel at 96 dpi), grown with the font.
    [[nodiscard]] int px(int twips) const;

    Send2ComLogic m_logic;
    std::function<void()> m_backToMain;

    QGroupBox* m_frame = nullptr;
    std::array<QRadioButton*, 5> m_options{};
    QLabel* m_kbdNote = nullptr;
    QPushButton* m_ports = nullptr;
    QPushButton* m_test = nullptr;
    QLabel* m_testResult = nullptr;
    PortChooserForm* m_portChooser = nullptr;
    QPushButton* m_program = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_memory = nullptr;
    QLabel* m_info = nullptr;
    QLabel* m_info2 = nullptr;
    QLabel* m_info3 = nullptr;
    QLabel* m_keepInFront = nullptr;
    QCheckBox* m_fast = nullptr;
    QPushButton* m_log = nullptr;
    QLabel* m_unit = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressText = nullptr;
    std::array<QFrame*, kOutlines + 1> m_outlines{}; // 1..84
    double m_scale = 1.0;
    int m_clickDepth = 0; // Program or Test clicks running, their waits letting events in
    bool m_unloadWanted = false;
    bool m_grabbing = false;
    std::function<void()> m_afterTransfer; // terminate()'s `then`, while a transfer unwinds
    std::optional<bool> m_shownYellow;     // the corner keys' fill as last drawn
};

// The main window's "&Program Kbd" command: hides the main window and shows
// the programming window.
[[nodiscard]] std::function<void()> ProgrammingWindowOpener(const ProgrammingServices& services,
                                                            QWidget* mainWindow,
                                                            std::function<void()> refreshMain);

// A termination request: ends the programming window's work if it is open
// (Send2Com::terminate), then runs `then`, which does what the request does
// when no transfer runs.
void TerminateProgramming(QWidget* mainWindow, std::function<void()> then);

} // namespace morvaw
