#include "optioncontrols.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

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

QScrollBar* MakeByteScrollBar(QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
    return bar;
}

void ShowText(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace morvaw
