#pragma once

#include <QString>

class QLineEdit;
class QRadioButton;
class QWidget;

namespace morvaw {

// Checks or clears one option button of a group; clearing the checked one
// leaves the group with none, as for a value that no button stands for.
void SetOptionChecked(QRadioButton* option, bool checked);

// Shows a text in a box without moving the caret of one that already holds it.
void ShowText(QLineEdit* box, const QString& text);

} // namespace morvaw
