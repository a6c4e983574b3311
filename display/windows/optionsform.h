#pragma once

#include "printqueue.h"
#include "radiochoiceform.h"

#include <optional>

class QLabel;
class QListWidget;
class QRadioButton;

namespace vornestw {

class DisplayUtility;
class UserNotice;

// Chooses the channel: COM1..COM4 or the printer, and for the printer the
// print server's queue ("default printer" first).
class OptionsForm : public RadioChoiceForm
{
    Q_OBJECT
public:
    OptionsForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent = nullptr);

    // Opening from the main window: the current channel and queue selected;
    // the print server is asked for its queues once the window shows.
    void OpenForChannel();

protected:
    void BtnOk_Click() override;

private:
    void ListPrintQueues();
    // Nothing while the print server has not been asked yet.
    void ShowQueues(const std::optional<PrintQueueList>& answer);
    void SelectQueue(const QString& queue);
    [[nodiscard]] QString SelectedQueue() const;

    DisplayUtility& m_utility;
    UserNotice& m_notice;
    QRadioButton* m_printerOption = nullptr;
    QListWidget* m_queueList = nullptr; // PrinterQueues
    QLabel* m_queueNote = nullptr;      // PrinterQueueNote
    bool m_listing = false;
};

} // namespace vornestw
