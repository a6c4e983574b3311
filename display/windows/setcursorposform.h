#pragma once

#include "childform.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vornestw {

class DisplayUtility;

// Line and column of the display's cursor.
class SetCursorPosForm : public ChildForm
{
    Q_OBJECT
public:
    explicit SetCursorPosForm(DisplayUtility& utility, QWidget* parent = nullptr);

protected:
    void onActivate() override;
    void onCancel() override;

private:
    void HScrXPos_Change(int value);
    void TextXPos_Enter();
    void BtnSend_Click();

    DisplayUtility& m_utility;
    int m_column = 1;
    int m_line = 1;
    QRadioButton* m_optLine1 = nullptr;
    QRadioButton* m_optLine2 = nullptr;
    QScrollBar* m_hScrXPos = nullptr;
    QLineEdit* m_textXPos = nullptr;
    QPushButton* m_btnSend = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace vornestw
