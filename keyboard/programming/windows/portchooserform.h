#pragma once

#include "portchooser.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace morvaw {

class UserDialogs;

// "Serial ports": the machine's serial devices, which COMn each is bound to
// and whether it can be used; binds a device to COMn or unbinds it. The
// list follows devices being plugged in and out.
class PortChooserForm : public QDialog
{
    Q_OBJECT
public:
    PortChooserForm(const PortChooser& chooser, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Opens with COMn (1..4) offered for binding.
    void openForPort(int comNumber);

signals:
    // COMn now leads to the device the user chose.
    void bound(int comNumber);

private:
    void refresh();
    void showSelected();
    void bindSelected();
    void unbindPort();
    [[nodiscard]] const PortRow* selectedRow() const;
    [[nodiscard]] int chosenPort() const;

    const PortChooser& m_chooser;
    UserDialogs& m_dialogs;
    std::vector<PortRow> m_rows;
    QTreeWidget* m_list = nullptr; // PortList
    QLabel* m_details = nullptr;   // PortDetails
    QComboBox* m_port = nullptr;   // BindPort
    QPushButton* m_btnBind = nullptr;
    QPushButton* m_btnUnbind = nullptr;
    QPushButton* m_btnClose = nullptr;
};

} // namespace morvaw
