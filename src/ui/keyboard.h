#pragma once
// Enter (or Return) presses a focused button, as Space does, without making
// any button a dialog's default: Enter typed in a text field still presses
// nothing.
#include <QList>

class QPushButton;

namespace tqm5 {

void pressOnEnter(const QList<QPushButton*>& buttons);

}  // namespace tqm5
