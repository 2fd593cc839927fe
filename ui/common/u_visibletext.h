#pragma once
// Names and tags as the windows show them. A control character (a line
// break or a tab in a file name, which Linux allows) would cut the text
// short or break a row; it is shown as a visible mark instead: a line break
// of any kind as "⏎" ("bad⏎name.mp3"), a tab as "⇥", any other control
// character and bytes that are no UTF-8 as "�". Only what is shown changes:
// paths keep their bytes for every file operation.
#include <QString>

#include <string>

QString VisibleText(const std::string& text);
