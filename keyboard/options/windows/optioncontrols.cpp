#include "optioncontrols.h"

#include <QLineEdit>
#include <QRadioButton>

namespace morvaw {

void SetOptionChecked(QRadioButton* option, bool checked)
{
    if (option->isChecked() == checked)
        return;
    const bool exclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(checked);
    option->setAutoExclusive(exclusive);
}

void ShowText(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace morvaw
