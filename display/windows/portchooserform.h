#pragma once

#include "portchooser.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace vornestw {

class UserNotice;

// "Serial ports": the machine's serial devices, which COMn each is bound to
// and whether it can be used; binds a device to COMn or unbinds it. The
// list follows devices being plugged in and out.
class PortChooserForm : public QDialog
{
    Q_OBJECT
public:
    PortChooserForm(PortChooser& chooser, UserNotice& notice, QWidget* parent = nullptr);

    // Opens with COMn (1..4) offered for binding.
    void OpenForPort(int comNumber);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Refresh();
    void ShowSelected();
    void BtnBind_Click();
    void BtnUnbind_Click();
    [[nodiscard]] const PortRow* SelectedRow() const;
    [[nodiscard]] int ChosenPort() const;

    PortChooser& m_chooser;
    UserNotice& m_notice;
    std::vector<PortRow> m_rows;
    QTreeWidget* m_list = nullptr; // PortList
    QLabel* m_details = nullptr;   // PortDetails
    QComboBox* m_port = nullptr;   // BindPort
    QPushButton* m_btnBind = nullptr;
    QPushButton* m_btnUnbind = nullptr;
    QPushButton* m_btnClose = nullptr;
};

} // namespace vornestw
