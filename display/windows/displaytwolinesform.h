#pragma once

#include "childform.h"

class QLineEdit;
class QPushButton;

namespace vornestw {

class DisplayUtility;

// Two lines of text for the display, 20 characters each.
class DisplayTwoLinesForm : public ChildForm
{
    Q_OBJECT
public:
    explicit DisplayTwoLinesForm(DisplayUtility& utility, QWidget* parent = nullptr);

protected:
    void onActivate() override;
    void onDeactivate() override;
    void onCancel() override { CloseForm(); }

private:
    void BtnSend_Click();

    DisplayUtility& m_utility;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QPushButton* m_btnSend = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace vornestw
