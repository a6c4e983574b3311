#pragma once

#include "childform.h"

class QLineEdit;
class QPushButton;

namespace vornestw {

class DisplayUtility;

// The Aedex long text (40 characters), titled by the menu item that opened it.
class DisplayLongForm : public ChildForm
{
    Q_OBJECT
public:
    explicit DisplayLongForm(DisplayUtility& utility, QWidget* parent = nullptr);

protected:
    void onActivate() override;
    void onDeactivate() override;
    void onCancel() override { CloseForm(); }

private:
    void BtnSend_Click();

    DisplayUtility& m_utility;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_btnSend = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace vornestw
