#pragma once

#include "childform.h"

#include <QList>
#include <QStringList>

#include <vector>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace vornestw {

// What the protocol and connection windows share: a column of options, Ok
// (the default button, also pressed by Enter on an option), the window's own
// buttons, then Cancel.
class RadioChoiceForm : public ChildForm
{
    Q_OBJECT
public:
    // Opening from the main window: option `index` selected and focused.
    void OpenWithOption(int index);

protected:
    explicit RadioChoiceForm(QWidget* parent);

    // The options are named `<name>_0`, `<name>_1`, ... and sit in `frame`
    // when one is given; `extra` buttons go between Ok and Cancel.
    void buildChoice(const QString& name, const QStringList& captions, QGroupBox* frame,
                     const QList<QPushButton*>& extra = {});

    [[nodiscard]] int chosen() const { return m_chosen; }
    void setChosen(int index)
    {
        m_chosen = index;
        optionChosen(index);
    }
    // An option was selected.
    virtual void optionChosen(int) {}

    virtual void BtnOk_Click() = 0;
    void onCancel() override { CloseForm(); }

    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;

private:
    std::vector<QRadioButton*> m_options;
    int m_chosen = 0;
};

} // namespace vornestw
