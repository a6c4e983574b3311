#pragma once

#include "childform.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vornestw {

class DisplayUtility;

// The Aedex command prefix: two character codes, by scroll bar, by number
// or by typing the two characters.
class PrefixForm : public ChildForm
{
    Q_OBJECT
public:
    explicit PrefixForm(DisplayUtility& utility, QWidget* parent = nullptr);

protected:
    void onActivate() override;
    void onCancel() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HScroll_Change(int which);
    void CodeBox_Enter(int which);
    void Text3_KeyPress(QChar typed);
    void BtnSend_Click();
    void BtnOk_Click();

    DisplayUtility& m_utility;
    char m_oldPrefix1 = '!';
    char m_oldPrefix2 = '#';
    QLineEdit* m_codeBox[2] = {};  // Text1, Text2
    QScrollBar* m_hScroll[2] = {}; // HScroll1, HScroll2
    QLineEdit* m_text3 = nullptr;
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnSend = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace vornestw
