#pragma once
// Keyboard access of a window: every menu title, menu item and push button
// whose caption holds a letter has a mnemonic, and no two share one where
// the keyboard reaches them together: the menu bar's titles with the
// window's push buttons (Alt+letter), and the items of each menu.
#include <QStringList>
#include <QWidget>

// One line per fault; empty when the window is fine.
QStringList MnemonicFaults(const QWidget& window);
