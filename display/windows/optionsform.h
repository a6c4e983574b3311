#pragma once

#include "printqueue.h"
#include "radiochoiceform.h"

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vornestw {

class DisplayUtility;
class PortChooser;
class PortChooserForm;
class UserNotice;

// Chooses the channel: COM1..COM4 or the printer, and for the printer the
// print server's queue ("default printer" first). "Ports…" binds COMn to a
// device; "Test" says whether the display on the chosen port is ready.
class OptionsForm : public RadioChoiceForm
{
    Q_OBJECT
public:
    OptionsForm(DisplayUtility& utility, PortChooser& ports, UserNotice& notice,
                QWidget* parent = nullptr);

    // Opening from the main window: the current channel and queue selected;
    // the print server is asked for its queues once the window shows.
    void OpenForChannel();

protected:
    void BtnOk_Click() override;
    void optionChosen(int index) override;

private:
    void ListPrintQueues();
    // Nothing while the print server has not been asked yet.
    void ShowQueues(const std::optional<PrintQueueList>& answer);
    void SelectQueue(const QString& queue);
    [[nodiscard]] QString SelectedQueue() const;
    void BtnPorts_Click();
    void BtnTest_Click();

    DisplayUtility& m_utility;
    PortChooser& m_ports;
    UserNotice& m_notice;
    QPushButton* m_btnPorts = nullptr;
    QPushButton* m_btnTest = nullptr;
    QLabel* m_testResult = nullptr; // ConnectionTest
    PortChooserForm* m_portChooser = nullptr;
    QRadioButton* m_printerOption = nullptr;
    QListWidget* m_queueList = nullptr; // PrinterQueues
    QLabel* m_queueNote = nullptr;      // PrinterQueueNote
    bool m_listing = false;
};

} // namespace vornestw
