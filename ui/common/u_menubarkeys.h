#pragma once
// F10 opens the first menu of a window's menu bar, as it does in the
// desktops' own programs; Alt and the titles' mnemonics reach the rest.
// The windows with a menu bar call it once their menus are built.
class QMenuBar;

void OpenFirstMenuOnF10(QMenuBar& bar);
