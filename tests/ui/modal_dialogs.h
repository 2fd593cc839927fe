#pragma once
// Driving a modal dialog from a test: the test calls WhenModal with what the
// user does in the dialog and then opens it; `act` runs once the dialog is
// up and should end it (a button that closes it, Esc); a dialog still open
// after it is rejected.
#include <QWidget>
#include <functional>

void WhenModal(std::function<void(QWidget& dialog)> act);

// Fails the test when a dialog opens before control returns to the event
// loop; call QCoreApplication::processEvents() right after the code that
// must not open one.
void ExpectNoModal();

// Clicks the dialog's push button of that objectName.
void ClickButton(QWidget& dialog, const char* name);
